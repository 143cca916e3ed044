// The end-of-reply rule, fed whole and one byte at a time.
#include <gtest/gtest.h>

#include <string>

#include "support/case_name.h"
#include "transport/smtp/smtp_reply.h"

namespace velnora {
namespace {

struct ReplyCase {
  const char* name;
  std::string reply;
  bool complete;
};

const ReplyCase kReplyCases[] = {
    {"single line", "250 OK\r\n", true},
    {"final line without line end yet", "250 OK", true},
    {"code and blank only", "250 \r\n", true},
    {"code without blank is not final", "250\r\n", false},
    {"code alone without line end", "250", false},
    {"continuation lines only", "250-first\r\n250-second\r\n", false},
    {"multi-line ehlo", "250-mx.example\r\n250-PIPELINING\r\n250-AUTH PLAIN LOGIN\r\n250 8BITMIME\r\n",
     true},
    {"final line after a bare code", "250\r\n250 OK\r\n", true},
    {"bare LF separated lines", "250-a\n250 b\n", true},
    {"bare CR separated lines", "250-a\r250 b\r", true},
    {"letters in the code", "25O OK\r\n", false},
    {"blank in the first column", " 250 x\r\n", false},
    {"text line with digits inside", "xx250 ok\r\n", false},
    {"short garbage", "OK\r\n", false},
    {"empty", "", false},
    {"final line in the middle of text", "junk\r\n354 go ahead\r\n", true},
    {"4xx final", "451 4.3.0 try later\r\n", true},
    {"tab instead of blank", "250\tOK\r\n", false},
};

using testing::CaseName;

class ReplyEnd : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyEnd, WholeReply) {
  EXPECT_EQ(ReplyIncomplete(GetParam().reply), !GetParam().complete);
}

TEST_P(ReplyEnd, OneByteAtATime) {
  SmtpReplyScanner scanner;
  for (char c : GetParam().reply) scanner.Feed(std::string_view(&c, 1));
  EXPECT_EQ(scanner.complete(), GetParam().complete);
}

TEST_P(ReplyEnd, EverySplitPoint) {
  const std::string& reply = GetParam().reply;
  for (std::size_t cut = 0; cut <= reply.size(); ++cut) {
    SmtpReplyScanner scanner;
    scanner.Feed(std::string_view(reply).substr(0, cut));
    scanner.Feed(std::string_view(reply).substr(cut));
    EXPECT_EQ(scanner.complete(), GetParam().complete) << "cut at " << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyEnd, ::testing::ValuesIn(kReplyCases), CaseName<ReplyCase>);

TEST(ReplyEnd, ScannerStaysCompleteAndResets) {
  SmtpReplyScanner scanner;
  EXPECT_TRUE(scanner.Feed("220 ready\r\n"));
  EXPECT_TRUE(scanner.Feed("garbage"));
  scanner.Reset();
  EXPECT_FALSE(scanner.Feed("250-more"));
}

TEST(ReplyOk, PositiveCodesOnly) {
  EXPECT_TRUE(isSMTPReplyOK("250 OK\r\n"));
  EXPECT_TRUE(isSMTPReplyOK("220 mx ESMTP\r\n"));
  EXPECT_TRUE(isSMTPReplyOK("250-mx\r\n250 AUTH LOGIN\r\n"));
  EXPECT_TRUE(isSMTPReplyOK("251 User not local; will forward\r\n"));
  EXPECT_FALSE(isSMTPReplyOK("252 cannot verify\r\n"));
  EXPECT_FALSE(isSMTPReplyOK("354 go ahead\r\n"));
  EXPECT_FALSE(isSMTPReplyOK("550 250 no\r\n"));
  EXPECT_FALSE(isSMTPReplyOK("25"));
  EXPECT_FALSE(isSMTPReplyOK(""));
}

}  // namespace
}  // namespace velnora
