// The sender and subject information lines at the top of a body.
#include "engine/compose/sender_info.h"

#include <gtest/gtest.h>

#include "compose_fixture.h"

namespace velnora::testing {
namespace {

constexpr std::string_view kNamed = "From: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@s.example>";

class SenderInfoTest : public ComposeTest {
 protected:
  std::string Sender(std::string_view from, int part = 0, CharsetCode body = 2) {
    Load(std::string(from) + "\r\nSubject: Re: " + SJIS(u8"件名") + "\r\n\r\nbody");
    return SenderInfoLine(message, *account, part, body, options);
  }
};

TEST_F(SenderInfoTest, OrdinaryLineInTheBodysCharacterSet) {
  EXPECT_EQ(Sender(kNamed, 0, 2), "From:\x1b$B;3ED\x42\x40O:\x1b(B <taro@s.example>\r\n");
  EXPECT_EQ(Sender(kNamed, 0, 1), "From:" + SJIS(u8"山田太郎") + " <taro@s.example>\r\n");
  EXPECT_EQ(Sender("From: plain@s.example", 0, 14), "From:plain@s.example\r\n");
  EXPECT_EQ(Sender("From: =?iso-8859-1?Q?Andr=E9?= <a@s.example>", 0, 14), "From:Andr\xE9 <a@s.example>\r\n");
  EXPECT_EQ(Sender("From: =?iso-8859-1?Q?Andr=E9?= <a@s.example>", 0, 2), "From:Andre <a@s.example>\r\n")
      << "a Latin name in a Japanese body";
  EXPECT_EQ(Sender("From: =?UTF-8?B?5bGx55Sw?= <y@s.example>", 0, 2), "From:\x1b$B;3ED\x1b(B <y@s.example>\r\n")
      << "a UTF-8 name in a Japanese body";
  EXPECT_EQ(Sender(kNamed, 1), "") << "only the first part";
  EXPECT_EQ(Sender("From:"), "From:\r\n");
  EXPECT_EQ(Sender("From"), "");
  EXPECT_EQ(Sender("X-None: x"), "");
}

TEST_F(SenderInfoTest, FeaturePhoneLineShowsTheNameOrTheComment) {
  account->phoneMode = 1;
  EXPECT_EQ(Sender(kNamed), "Fm:\x1b$B;3ED\x42\x40O:\x1b(B \r\n");
  EXPECT_EQ(Sender("From: \"Taro\" <taro@s.example>"), "Fm:Taro \r\n");
  EXPECT_EQ(Sender("From: <taro@s.example>"), "Fm:<taro@s.example>\r\n");
  EXPECT_EQ(Sender("From: taro@s.example (Taro)"), "(Taro)\r\n");
  EXPECT_EQ(Sender("From: taro@s.example"), "Fm:taro@s.example\r\n");
  account->phoneConvertBody = account->phoneUtf8 = 1;
  EXPECT_EQ(Sender(kNamed), "Fm:\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E \r\n");
}

TEST_F(SenderInfoTest, SubjectInformationLine) {
  account->phoneMode = 1;
  Load("Subject: Re: caf\xE9\r\n\r\nbody");
  EXPECT_EQ(SubjectInfoLine(message, *account, 0, options), "St:<cafe\r\n");
  account->phoneSplit = 1;
  account->phoneSplitMaxMails = 5;
  account->phoneKeepReFw = 1;
  EXPECT_EQ(SubjectInfoLine(message, *account, 1, options), "2)Re: cafe\r\n");
  account->phoneShortenSubject = 1;
  account->phoneSubjectBytes = 4;
  EXPECT_EQ(SubjectInfoLine(message, *account, 1, options), "2)Re\r\n");
  Load("From: a@b\r\n\r\nbody");
  SetText(account->subjectPrefix, "[x]");
  account->subjectPrefixOn = 1;
  account->phoneShortenSubject = 0;
  EXPECT_EQ(SubjectInfoLine(message, *account, 0, options), "1)[x](no subject)\r\n");
}

}  // namespace
}  // namespace velnora::testing
