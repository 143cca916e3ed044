// The error policy: which refusals are retried and which drop the message.
#include <gtest/gtest.h>

#include "transport/smtp/smtp_refusal.h"

namespace velnora {
namespace {

struct RefusalCase {
  SmtpStep step;
  const char* reply;
  bool noResendOn550;
  bool noResendException1;
  SendResult expected;
};

const RefusalCase kRefusalCases[] = {
    // Without noResendOn550 every refusal is retried.
    {SmtpStep::RcptTo, "550 5.1.1 no such user\r\n", false, false, SendResult::RetryNow},
    {SmtpStep::MailFrom, "550 Error: Invalid From: Address\r\n", false, true, SendResult::RetryNow},
    {SmtpStep::EndOfText, "554 rejected\r\n", false, false, SendResult::RetryNow},
    {SmtpStep::Rset, "421 closing\r\n", false, false, SendResult::RetryNow},
    // With it, any permanent reply at any step drops the message.
    {SmtpStep::RcptTo, "550 5.1.1 no such user\r\n", true, false, SendResult::RefusedForGood},
    {SmtpStep::RcptTo, "553 bad address\r\n", true, false, SendResult::RefusedForGood},
    {SmtpStep::EndOfText, "552 too big\r\n", true, false, SendResult::RefusedForGood},
    {SmtpStep::Rset, "502 not implemented\r\n", true, false, SendResult::RefusedForGood},
    {SmtpStep::MailFrom, "550 Error: Invalid From: Address\r\n", true, false, SendResult::RefusedForGood},
    // ... but temporary replies and garbage are still retried.
    {SmtpStep::RcptTo, "450 mailbox busy\r\n", true, false, SendResult::RetryNow},
    {SmtpStep::EndOfText, "451 later\r\n", true, true, SendResult::RetryNow},
    {SmtpStep::MailFrom, "", true, false, SendResult::RetryNow},
    {SmtpStep::MailFrom, "hello\r\n", true, false, SendResult::RetryNow},
    // The exception keeps the refused-From reply for later.
    {SmtpStep::MailFrom, "550 Error: Invalid From: Address\r\n", true, true, SendResult::RetryLater},
    {SmtpStep::RcptTo, "550 Error: Invalid From: Address xyz\r\n", true, true, SendResult::RetryLater},
    {SmtpStep::MailFrom, "550 Error: invalid from: address\r\n", true, true, SendResult::RefusedForGood},
    {SmtpStep::RcptTo, "550 other\r\n", true, true, SendResult::RefusedForGood},
    // A refused DATA is always sent again later.
    {SmtpStep::Data, "554 no valid recipients\r\n", true, false, SendResult::RetryLater},
    {SmtpStep::Data, "451 later\r\n", false, false, SendResult::RetryLater},
    {SmtpStep::Data, "250 odd\r\n", true, true, SendResult::RetryLater},
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, Classified) {
  const RefusalCase& c = GetParam();
  EXPECT_EQ(ClassifyRefusal(c.step, c.reply, {c.noResendOn550, c.noResendException1}), c.expected)
      << c.reply;
}

INSTANTIATE_TEST_SUITE_P(Table, Refusal, ::testing::ValuesIn(kRefusalCases));

}  // namespace
}  // namespace velnora
