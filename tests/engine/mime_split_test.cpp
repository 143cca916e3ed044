// Taking a multipart body apart by offsets: which lines are delimiters,
// where nested boundaries come from, and when a body is left whole.
#include "engine/content/mime_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/case_name.h"

namespace velnora {
namespace {

struct SplitCase {
  const char* name;
  std::string contentType;
  std::string body;
  bool split;
  std::vector<std::string> bodies;  // of every part, containers included
};

std::string ManyParts(int count) {
  std::string body;
  for (int n = 0; n < count; ++n) body += "--b\r\n\r\npart\r\n";
  return body + "--b--\r\n";
}

const SplitCase kSplitCases[] = {
    {"plain", "Content-Type: multipart/mixed; boundary=\"b\"",
     "preamble\r\n--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b\r\n\r\ntwo\r\n--b--\r\nepilogue",
     true, {"one\r\n", "two\r\n"}},
    {"empty boundary is unusable", "Content-Type: multipart/mixed; boundary=\"\"",
     "--\r\n\r\none\r\n----\r\n", false, {}},
    {"boundary over 70 characters is unusable",
     "Content-Type: multipart/mixed; boundary=" + std::string(71, 'x'),
     "--" + std::string(71, 'x') + "\r\n\r\none\r\n", false, {}},
    {"boundary inside a word is no delimiter", "Content-Type: multipart/mixed; boundary=mail",
     "--mail\r\n\r\nsend an e-mail today\r\n--mailbox\r\n--mail--\r\n", true,
     {"send an e-mail today\r\n--mailbox\r\n"}},
    {"delimiter may end in blanks", "Content-Type: multipart/mixed; boundary=b",
     "--b  \r\n\r\none\r\n--b\t\r\n\r\ntwo\n--b--", true, {"one\r\n", "two\n"}},
    {"no delimiter in the body", "Content-Type: multipart/mixed; boundary=b", "just text\r\n",
     false, {}},
    {"nested boundary from a multipart header",
     "Content-Type: multipart/mixed; boundary=out",
     "--out\r\nContent-Type: multipart/alternative; boundary=in\r\n\r\n--in\r\n\r\nA\r\n--in\r\n\r\nB\r\n"
     "--in--\r\n--out\r\n\r\nC\r\n--out--\r\n",
     true, {"--in\r\n\r\nA\r\n--in\r\n\r\nB\r\n--in--\r\n", "A\r\n", "B\r\n", "C\r\n"}},
    {"attached message keeps its own boundary text", "Content-Type: multipart/mixed; boundary=out",
     "--out\r\nContent-Type: message/rfc822\r\n\r\nContent-Type: multipart/mixed; boundary=inner\r\n\r\n"
     "--inner\r\n\r\nx\r\n--inner--\r\n--out--\r\n",
     true, {"Content-Type: multipart/mixed; boundary=inner\r\n\r\n--inner\r\n\r\nx\r\n--inner--\r\n"}},
    {"100 parts", "Content-Type: multipart/mixed; boundary=b", ManyParts(100), true,
     std::vector<std::string>(100, "part\r\n")},
    {"101 parts are too many", "Content-Type: multipart/mixed; boundary=b", ManyParts(101), false, {}},
    {"part without an empty line is text", "Content-Type: multipart/mixed; boundary=b",
     "--b\r\nno headers here\r\n--b--\r\n", true, {"no headers here\r\n"}},
};

class MimeSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(MimeSplitTest, FindsThePartsByTheirDelimiters) {
  const SplitCase& c = GetParam();
  MimePartTable table;
  ASSERT_EQ(SplitMultipart(c.contentType, c.body, table), c.split);
  if (!c.split) return;
  std::vector<std::string> bodies;
  for (const MimePart& part : table.parts) bodies.emplace_back(part.Body(c.body));
  EXPECT_EQ(bodies, c.bodies);
}

INSTANTIATE_TEST_SUITE_P(Bodies, MimeSplitTest, ::testing::ValuesIn(kSplitCases),
                         testing::CaseName<SplitCase>);

}  // namespace
}  // namespace velnora
