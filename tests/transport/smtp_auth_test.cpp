// The AUTH texts: mechanism choice and the client lines of each mechanism.
#include <gtest/gtest.h>

#include <string>

#include "transport/smtp/smtp_auth.h"

namespace velnora {
namespace {

struct ChoiceCase {
  const char* ehlo;
  SmtpAuthMechanism expected;
};

const ChoiceCase kChoiceCases[] = {
    {"250-mx\r\n250-AUTH PLAIN LOGIN CRAM-MD5\r\n250 OK\r\n", SmtpAuthMechanism::Login},
    {"250-mx\r\n250 AUTH CRAM-MD5 PLAIN\r\n", SmtpAuthMechanism::Plain},
    {"250-mx\r\n250 AUTH CRAM-MD5\r\n", SmtpAuthMechanism::CramMd5},
    {"250-mx\r\n250 8BITMIME\r\n", SmtpAuthMechanism::None},
    // The search covers the whole reply, not just the AUTH line.
    {"250-LOGIN.example.com\r\n250 AUTH CRAM-MD5\r\n", SmtpAuthMechanism::Login},
    {"250-mx\r\n250 AUTH=PLAIN\r\n", SmtpAuthMechanism::Plain},
    // Case-sensitive.
    {"250-mx\r\n250 auth login plain cram-md5\r\n", SmtpAuthMechanism::None},
};

class AuthChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(AuthChoice, Chosen) {
  EXPECT_EQ(ChooseAuthMechanism(GetParam().ehlo), GetParam().expected) << GetParam().ehlo;
}

INSTANTIATE_TEST_SUITE_P(Replies, AuthChoice, ::testing::ValuesIn(kChoiceCases));

TEST(SmtpBase64, RoundTripsAllByteValuesAndLengths) {
  std::string bytes;
  for (int i = 1; i < 256; ++i) bytes += static_cast<char>(i);
  for (std::size_t length = 0; length <= bytes.size(); length += 7) {
    std::string part = bytes.substr(0, length);
    std::string encoded = SmtpBase64(part);
    EXPECT_EQ(encoded.size() % 4, 0u);
    EXPECT_EQ(SmtpBase64Decode(encoded), part) << length;
  }
  EXPECT_EQ(SmtpBase64("Man"), "TWFu");
  EXPECT_EQ(SmtpBase64("Ma"), "TWE=");
  EXPECT_EQ(SmtpBase64("M"), "TQ==");
}

TEST(PlainAuth, UserIsBothIdentitiesAndNulsSurvive) {
  // "alice\0alice\0s3cret"
  EXPECT_EQ(PlainAuthCommand("alice", "s3cret"), "AUTH PLAIN YWxpY2UAYWxpY2UAczNjcmV0\r\n");
}

TEST(LoginAuth, Base64Lines) {
  EXPECT_EQ(LoginAuthLine("alice"), "YWxpY2U=\r\n");
  EXPECT_EQ(LoginAuthLine(""), "\r\n");
}

TEST(CramMd5, ChallengeText) {
  EXPECT_EQ(CramMd5Challenge("334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n"),
            "PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+");
  EXPECT_EQ(CramMd5Challenge("334 \r\n"), "");
  EXPECT_EQ(CramMd5Challenge("334\r\n"), "");
  EXPECT_EQ(CramMd5Challenge("504 no\r\n"), "");
}

// The worked example of RFC 2195.
TEST(CramMd5, Rfc2195Example) {
  std::string challenge =
      SmtpBase64Decode("PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+");
  EXPECT_EQ(challenge, "<1896.697170952@postoffice.reston.mci.net>");
  EXPECT_EQ(CramMd5Response(challenge, "tim", "tanstaaftanstaaf"),
            "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw\r\n");
}

}  // namespace
}  // namespace velnora
