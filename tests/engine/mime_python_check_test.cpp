// Rebuilt multipart mail as it leaves, read by an independent MIME parser
// (Python's email package): no defects, every text decodes strictly under
// the charset it is labelled with, files keep their decoded size.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "compose_fixture.h"
#include "engine/content/mime_process.h"
#include "engine/filter/filter_content.h"
#include "support/case_name.h"
#include "support/test_paths.h"

namespace velnora::testing {
namespace {

// The parts that Python's email package sees, one line each, or its reason to refuse.
std::string PythonParts(const std::string& path) {
  const std::string command =
      "/usr/bin/python3 " + SourceDir() + "/tests/support/mime_parts_check.py " + path + " 2>&1";
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "no python";
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "refused: " + out;
}

const std::string kMixed =
    "From: a@s.example\r\nSubject: parts\r\nMIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"out\"\r\n\r\n"
    "--out\r\nContent-Type: multipart/alternative; boundary=\"in\"\r\n\r\n"
    "--in\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    "5pel5pys6KqeIHRleHQNCg==\r\n"
    "--in\r\nContent-Type: text/html; Charset=\"UTF-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
    "<html><body><p>=E6=97=A5=E6=9C=AC=E8=AA=9E <a href=3D\"https://example.org/\">link</a></p></body></html>\r\n"
    "--in--\r\n"
    "--out\r\nContent-Type: application/pdf\r\nContent-Disposition: attachment;\r\n"
    " filename*=utf-8''evil%0D%0A--out%0D%0AContent-Type%3A%20text%2Fhtml%0D%0A.pdf\r\n"
    "Content-Transfer-Encoding: base64\r\n\r\nJVBERi0xLjQK\r\n"
    "--out--\r\n";

struct PythonCase {
  const char* name;
  std::function<void(AccountSettings&)> set;
  std::string expected;
};

const PythonCase kCases[] = {
    {"html preferred, file removed",
     [](AccountSettings& a) {
       a.partProcessing = 1, a.preferHtmlPart = 1, a.htmlToText = 1, a.extractLinks = 1, a.htmlUseUtf8 = 1,
       a.htmlBase64 = 1;
     },
     "text/plain \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E|[ https://example.org/ ]|link|\n"
     "text/plain --REMOVED FILE--|evil__--out__Content-Type: text/html__.pdf|Size = 1 KB||\n"},
    {"text in shift_jis, file kept",
     [](AccountSettings& a) { a.partProcessing = 1, a.oversizeKb = 1000, a.unicodeToJis = 1; },
     "text/plain \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E text\napplication/pdf 9 bytes\n"},
};

class MimePythonCheck : public ComposeTest, public ::testing::WithParamInterface<PythonCase> {};

TEST_P(MimePythonCheck, RebuiltMailParsesCleanly) {
  const PythonCase& c = GetParam();
  c.set(*account);
  Load(kMixed);
  ASSERT_TRUE(ClassifyContent(message, *account));
  ASSERT_EQ(ProcessMultipartMessage(message, *account, *common), 1);
  ASSERT_EQ(ComposeParsed(), 1);
  const std::string path = folder.File("sent.eml");
  std::ofstream(path, std::ios::binary) << Part();
  EXPECT_EQ(PythonParts(path), c.expected) << Part();
}

INSTANTIATE_TEST_SUITE_P(Options, MimePythonCheck, ::testing::ValuesIn(kCases),
                         CaseName<PythonCase>);

}  // namespace
}  // namespace velnora::testing
