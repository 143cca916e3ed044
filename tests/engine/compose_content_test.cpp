// Content-Type and Content-Transfer-Encoding by the layout that content
// processing chose, and the lines after them.
#include <gtest/gtest.h>

#include "compose_fixture.h"
#include "engine/compose/compose_content.h"

namespace velnora::testing {
namespace {

constexpr std::string_view kMultipart =
    "From: t@s.example\r\nSubject: x\r\n"
    "Content-Type: multipart/related;\r\n boundary=\"b1=_x\"; type=\"text/html\"\r\n"
    "Content-Transfer-Encoding: 7bit\r\n"
    "Content-Disposition: inline\r\n\r\n--b1=_x\r\n\r\ntext\r\n--b1=_x--\r\n";

TEST_F(ComposeTest, ContentTypeByLayout) {
  struct Case {
    int32_t layout;
    int32_t charset;
    int16_t dropSplitBodies;
    std::string_view lines;
  };
  const Case cases[] = {
      {98, 99, 0,
       "Content-Type: multipart/related;\r\n boundary=\"b1=_x\"; type=\"text/html\"\r\n"
       "Content-Disposition: inline\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {94, 99, 0,
       "Content-Type: multipart/related;\r\n boundary=\"b1=_x\"; type=\"text/html\"\r\n"
       "Content-Disposition: inline\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {94, 99, 1, "Content-Type: text/plain; charset=\"SHIFT_JIS\"\r\nContent-Transfer-Encoding: 8bit\r\n"},
      {96, 2, 0, "Content-Type: multipart/alternative; boundary=\"b1=_x\"\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {93, 2, 0, "Content-Type: multipart/mixed; boundary=\"b1=_x\"\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {95, 2, 0, "Content-Type: multipart/mixed; boundary=\"b1=_x\"\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {97, 2, 0, "Content-Type: multipart/mixed; boundary=\"b1=_x\"\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {1, 2, 0, "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {2, 13, 0, "Content-Type: text/html; charset=\"utf-8\"\r\nContent-Transfer-Encoding: 7bit\r\n"},
      {1, 99, 0, "Content-Type: text/plain; \r\nContent-Transfer-Encoding: 7bit\r\n"},
  };
  for (const Case& c : cases) {
    account->dropSplitBodies = c.dropSplitBodies;
    Load(kMultipart);
    message.partLayout = c.layout;
    message.contentCharset = c.charset;
    message.bodyEncoding = 1;
    ASSERT_EQ(ComposeParsed(), 1);
    const std::string head = Head();
    const std::size_t at = head.find("Content-");
    ASSERT_NE(at, std::string::npos) << c.layout;
    EXPECT_EQ(head.substr(at, head.find("X-Mailer:") - at), c.lines) << c.layout;
  }
}

TEST_F(ComposeTest, TransferEncodingByCode) {
  const std::pair<int32_t, std::string_view> cases[] = {
      {4, "base64"}, {3, "quoted-printable"}, {2, "8bit"}, {1, "7bit"}, {99, "7bit"}};
  for (const auto& [code, name] : cases) {
    Load("Subject: x\r\n\r\nYWJj\r\n");
    message.partLayout = 1;
    message.bodyEncoding = code;
    ASSERT_EQ(ComposeParsed(), 1);
    EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: " + std::string(name));
  }
}

TEST_F(ComposeTest, AnEightBitBodyIsLabelledEightBit) {
  const std::string body = "plain\r\n" + std::string(1, '\xE9') + "\r\n";
  for (int32_t layoutCode : {1, 98, 94}) {
    Load("Subject: x\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" + body);
    message.partLayout = layoutCode;
    message.bodyEncoding = 1;
    ASSERT_EQ(ComposeParsed(), 1);
    EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: 8bit") << layoutCode;
    EXPECT_EQ(message.bodyEncoding, 2);
  }
  Load("Subject: x\r\nContent-Transfer-Encoding: 7bit\r\n\r\nascii only\r\n");
  message.partLayout = 98;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: 7bit");
}

TEST_F(ComposeTest, BoundaryParameterIsTakenWholeAndBounded) {
  EXPECT_EQ(BoundaryParameter("Content-Type: multipart/mixed; BOUNDARY=abc; x=y"), "BOUNDARY=abc");
  EXPECT_EQ(BoundaryParameter("Content-Type: multipart/mixed; boundary=\"a;b c\""),
            "boundary=\"a;b c\"");
  EXPECT_EQ(BoundaryParameter("Content-Type: multipart/mixed"), "");
  const std::string longOne = "Content-Type: multipart/mixed; boundary=\"" + std::string(400, 'q');
  EXPECT_EQ(BoundaryParameter(longOne).size(), kMaxBoundaryParameter);
}

TEST_F(ComposeTest, AccountNameLineForDevelopers) {
  SetText(common->developerOptions, "x kq480317");
  SetText(account->accountName, SJIS(u8"仕事用"));
  ASSERT_EQ(Compose("Subject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(HeaderLine("X-Mailer-Info:"), "X-Mailer-Info: AccountName==?ISO-2022-JP?B?GyRCO0U7dk1RGyhC?=");
  SetText(account->accountName, "work");
  ASSERT_EQ(Compose("Subject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(HeaderLine("X-Mailer-Info:"), "X-Mailer-Info: AccountName=work");
  SetText(common->developerOptions, "");
  ASSERT_EQ(Compose("Subject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(HeaderLine("X-Mailer-Info:"), "");
}

}  // namespace
}  // namespace velnora::testing

namespace velnora::testing {
namespace {

TEST_F(ComposeTest, FeaturePhoneMessageIsOnePlainTextPartWithTheNextMailNumber) {
  account->phoneMode = account->phoneSplit = account->phoneNumberSubjects = 1;
  account->phoneSplitMaxMails = 3;
  account->phoneSplitBytes = 360;
  account->mailNumber = 99;
  account->phoneConvertBody = 1;
  Load("From: t@s.example\r\nSubject: x\r\nContent-Type: multipart/mixed; boundary=q\r\n\r\nbody");
  message.partLayout = 98;
  message.contentCharset = 2;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(int{account->mailNumber}, 0);
  EXPECT_EQ(int{message.partNumber}, 1);
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: 001)x");
  EXPECT_EQ(HeaderLine("Content-Type:"), "Content-Type: text/plain; charset=\"shift_jis\"");
  account->phoneUtf8 = 1;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(int{account->mailNumber}, 1);
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: 011)x");
  EXPECT_EQ(HeaderLine("Content-Type:"), "Content-Type: text/plain; charset=\"utf-8\"");
}

}  // namespace
}  // namespace velnora::testing
