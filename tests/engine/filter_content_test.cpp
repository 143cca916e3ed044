// The first classification of a message that passes the filters: layout,
// character set and transfer code from its content lines, with the subject
// and the body as fall-backs.
#include "engine/filter/filter_content.h"

#include <gtest/gtest.h>

#include <string>

#include "convert/charset_code.h"
#include "engine/filter_test_support.h"

namespace velnora {
namespace {

struct ContentCase {
  const char* name;
  std::string header;
  std::string body;
  bool phone;
  bool phone8bit;
  bool multipart;
  int layout;
  int charset;
  int transfer;
};

std::string ContentCaseName(const ::testing::TestParamInfo<ContentCase>& p) {
  return p.param.name;
}

class FilterContentTest : public ::testing::TestWithParam<ContentCase> {};

TEST_P(FilterContentTest, Classifies) {
  const ContentCase& c = GetParam();
  auto account = testing::BlankAccount();
  account->phoneMode = c.phone;
  account->phoneAllow8bit = c.phone8bit;
  MailMessage m = testing::Parsed(c.header + "\r\n" + c.body);
  EXPECT_EQ(ClassifyContent(m, *account), c.multipart);
  EXPECT_EQ(m.partLayout, c.layout);
  if (!c.multipart) {
    EXPECT_EQ(m.contentCharset, c.charset);
    EXPECT_EQ(m.bodyEncoding, c.transfer);
  }
}

const char kUtf8Subject[] = "Subject: =?utf-8?B?5bGx55Sw?=\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, FilterContentTest,
    ::testing::Values(
        ContentCase{"Multipart", "Content-Type: Multipart/Mixed; boundary=\"x\"\r\n", "b", false,
                    false, true, 98, 0, 99},
        ContentCase{"MultipartWithoutBoundaryIsNotSplit", "Content-Type: multipart/mixed\r\n", "b",
                    false, false, false, 98, 99, 99},
        ContentCase{"AttachedText",
                    "Content-Type: text/plain\r\nContent-Disposition: attachment; filename=a\r\n"
                    "Content-Transfer-Encoding: base64\r\n",
                    "b", false, false, false, 1, 0, 4},
        ContentCase{"PlainLatin9",
                    "Content-Type: text/plain; charset=ISO-8859-15\r\n"
                    "Content-Transfer-Encoding: quoted-printable\r\n",
                    "b", false, false, false, 1, 28, 3},
        ContentCase{"PlainLatin1", "Content-Type: text/plain; charset=iso-8859-1\r\n", "b", false,
                    false, false, 1, 14, 99},
        ContentCase{"HtmlJis",
                    "Content-Type: text/html; charset=\"ISO-2022-JP\"\r\n"
                    "Content-Transfer-Encoding: 7bit\r\n",
                    "b", false, false, false, 2, 2, 1},
        ContentCase{"Partial", "Content-Type: message/partial; id=1; number=1\r\n", "b", false,
                    false, false, 94, 99, 99},
        ContentCase{"CharsetFromSubject",
                    std::string("Content-Type: text/plain\r\n") + kUtf8Subject, "b", false, false,
                    false, 1, 13, 99},
        ContentCase{"PhoneWithoutEightBitGetsJis",
                    std::string("Content-Type: text/plain\r\n") + kUtf8Subject, "b", true, false,
                    false, 1, 2, 99},
        ContentCase{"PhoneWithEightBitLooksAtSubject",
                    std::string("Content-Type: text/plain\r\nContent-Transfer-Encoding: 8bit\r\n") +
                        kUtf8Subject,
                    "b", true, true, false, 1, 13, 2},
        ContentCase{"NoCharsetAnywhere", "Content-Type: text/plain\r\n", "b", false, false, false,
                    1, 99, 99},
        ContentCase{"NoContentTypeAsciiBody", "Subject: s\r\n", "plain text\r\n", false, false,
                    false, 1, 60, 99},
        ContentCase{"NoContentTypeEightBitBody", "Subject: s\r\n", "\x93\xfa\x96\x7b\r\n", false,
                    false, false, 1, 2, 99}),
    ContentCaseName);

TEST(FilterContentPhoneTest, PhoneAccountDropsAnInlineDisposition) {
  auto account = testing::BlankAccount();
  MailMessage ordinary = testing::Parsed(
      "Content-Type: text/plain\r\nContent-Disposition: inline\r\n\r\nb");
  ClassifyContent(ordinary, *account);
  EXPECT_EQ(ordinary.contentDisposition, "Content-Disposition: inline");
  account->phoneMode = 1;
  MailMessage phone = testing::Parsed(
      "Content-Type: text/plain\r\nContent-Disposition: inline\r\n\r\nb");
  ClassifyContent(phone, *account);
  EXPECT_TRUE(phone.contentDisposition.empty());
}

}  // namespace
}  // namespace velnora
