// One SMTP transaction and the part files of a message against a scripted
// server: exact transcripts, refusals at every step, the envelope sender,
// apportion and the reply capture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/codepage.h"
#include "scripted_sessions.h"
#include "support/fake_server.h"
#include "transport/smtp/smtp_capture.h"
#include "transport/smtp/smtp_client.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::Greeted;
using testing::ScopedEnv;
using testing::SetText;
using testing::TestAccount;
using testing::TransportFixture;

const char kText[] = "orig@sender.test\r\nSubject: t\r\n\r\nbody\r\n";

// Connects to `server` (already scripted past the greeting) and runs one
// transaction after HELO.
int Transact(TransportFixture& t, FakeServer& server, std::string_view text = kText) {
  return testing::InSmtpSession(t, server, [&] {
           return static_cast<int>(SendMessageText(t.env(), t.account(), t.session(), text));
         }).value_or(-100);
}

TEST(SmtpTransaction, TranscriptWithStuffingAndLineEnds) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  Greeted(server)
      .Expect("RSET\r\n").Send("250 ok\r\n")
      .Expect("MAIL FROM: <me@velnora.test>\r\n").Send("250 ok\r\n")
      .Expect("RCPT TO: <dest@velnora.test>\r\n").Send("250 ok\r\n")
      .Expect("DATA\r\n").Send("354 go\r\n")
      .Expect("Subject: t\r\n").Expect("..hidden\r\n").Expect("\r\n")
      .Expect("..\r\n").Expect("...x\r\n").Expect("bare lf\r\n").Expect(".\r\n")
      .Send("250 queued\r\n")
      .Hang(200);
  EXPECT_EQ(Transact(t, server, "orig@x\r\nSubject: t\n.hidden\r\n\r\n.\r\n..x\r\nbare lf\n"), 1);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  // Header lines and the end line are in the session log; the body is not.
  const std::string log = t.SessionLog();
  EXPECT_NE(log.find("[->]Subject: t\r\n"), std::string::npos);
  EXPECT_NE(log.find("[->]..hidden\r\n"), std::string::npos);
  EXPECT_NE(log.find("[->].\r\n"), std::string::npos);
  EXPECT_EQ(log.find("bare lf"), std::string::npos);
}

struct EnvelopeCase {
  const char* name;
  bool mailFromIsSender;
  bool useSeparateSmtp;
  std::string text;
  std::string mailFrom;
};

class SmtpEnvelope : public ::testing::TestWithParam<EnvelopeCase> {};

TEST_P(SmtpEnvelope, MailFrom) {
  const EnvelopeCase& c = GetParam();
  TransportFixture t(TestAccount::Smtp);
  t.account().mailFromIsSender = c.mailFromIsSender;
  t.account().useSeparateSmtp = c.useSeparateSmtp;
  SetText(t.account().separateSmtpSender, "relay@velnora.test");
  FakeServer server;
  Greeted(server).Expect("RSET\r\n").Send("250 ok\r\n").Expect(c.mailFrom).Send("550 stop\r\n").Hang(200);
  Transact(t, server, c.text);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Senders, SmtpEnvelope,
    ::testing::Values(
        EnvelopeCase{"own_address", false, false, kText, "MAIL FROM: <me@velnora.test>\r\n"},
        EnvelopeCase{"separate_sender", false, true, kText, "MAIL FROM: <relay@velnora.test>\r\n"},
        EnvelopeCase{"original_sender", true, true, kText, "MAIL FROM: <orig@sender.test>\r\n"},
        EnvelopeCase{"original_sender_bare_lf", true, false, "o@s\nS: x\n\nb\n",
                     "MAIL FROM: <o@s>\r\n"},
        EnvelopeCase{"unknown_sender", true, false, "\r\nS: x\r\n\r\nb\r\n",
                     "MAIL FROM: <unknown_sender>\r\n"},
        EnvelopeCase{"sender_cannot_add_parameters", true, false,
                     "a@b> SIZE=1 AUTH=<x@y\r\nS: x\r\n\r\nb\r\n",
                     "MAIL FROM: <a@bSIZE=1AUTH=x@y>\r\n"},
        EnvelopeCase{"sender_of_brackets_only", true, false, "< >\r\nS: x\r\n\r\nb\r\n",
                     "MAIL FROM: <unknown_sender>\r\n"}),
    [](const ::testing::TestParamInfo<EnvelopeCase>& param) { return std::string(param.param.name); });

enum class Step { Rset, Mail, Rcpt, Data, End };

struct RefusalCase {
  Step step;
  std::string reply;
  bool noResendOn550;
  int expected;
};

class SmtpRefusalAtStep : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SmtpRefusalAtStep, Result) {
  const RefusalCase& c = GetParam();
  TransportFixture t(TestAccount::Smtp);
  t.account().noResendOn550 = c.noResendOn550;
  FakeServer server;
  Greeted(server);
  auto reply = [&](Step step) { return step == c.step ? c.reply : std::string("250 ok\r\n"); };
  server.Expect("RSET\r\n").Send(reply(Step::Rset));
  if (c.step > Step::Rset) server.ExpectPrefix("MAIL FROM:").Send(reply(Step::Mail));
  if (c.step > Step::Mail) server.ExpectPrefix("RCPT TO:").Send(reply(Step::Rcpt));
  if (c.step > Step::Rcpt) {
    server.Expect("DATA\r\n").Send(c.step == Step::Data ? c.reply : "354 go\r\n");
  }
  if (c.step > Step::Data) {
    server.Expect("Subject: t\r\n").Expect("\r\n").Expect("body\r\n").Expect(".\r\n").Send(c.reply);
  }
  server.Hang(200);
  EXPECT_EQ(Transact(t, server), c.expected);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  std::string shown = c.reply.substr(0, 3);
  EXPECT_TRUE(t.HasActivity(20, shown)) << t.ActivityTexts();
  EXPECT_EQ(t.HasActivity(4, SJIS(u8"SMTPエラーが発生しました")), c.step != Step::Data);
}

std::vector<RefusalCase> RefusalCases() {
  std::vector<RefusalCase> cases;
  for (Step step : {Step::Rset, Step::Mail, Step::Rcpt, Step::Data, Step::End}) {
    for (bool noResend : {false, true}) {
      const bool data = step == Step::Data;
      cases.push_back({step, "451 4.3.0 later\r\n", noResend, data ? -2 : -1});
      cases.push_back({step, "550 5.7.1 refused\r\n", noResend, data ? -2 : (noResend ? -10 : -1)});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryStep, SmtpRefusalAtStep, ::testing::ValuesIn(RefusalCases()));

TEST(SmtpTransaction, RefusedSecondRecipientRefusesTheTransaction) {
  TransportFixture t(TestAccount::Smtp);
  SetText(t.account().forwardTo, "a@x  b@y c@z");
  t.account().noResendOn550 = 1;
  FakeServer server;
  Greeted(server)
      .Expect("RSET\r\n").Send("250 ok\r\n")
      .ExpectPrefix("MAIL FROM:").Send("250 ok\r\n")
      .Expect("RCPT TO: <a@x>\r\n").Send("250 ok\r\n")
      .Expect("RCPT TO: <b@y>\r\n").Send("550 no such user\r\n")
      .Hang(300);
  EXPECT_EQ(Transact(t, server), -10);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_EQ(server.Received().find("c@z"), std::string::npos);
  EXPECT_EQ(server.Received().find("DATA"), std::string::npos);
}

TEST(SmtpTransaction, InvalidFromExceptionIsSentAgainLater) {
  TransportFixture t(TestAccount::Smtp);
  t.account().noResendOn550 = 1;
  t.account().noResendException1 = 1;
  FakeServer server;
  Greeted(server)
      .Expect("RSET\r\n").Send("250 ok\r\n")
      .ExpectPrefix("MAIL FROM:").Send("550 Error: Invalid From: Address\r\n")
      .Hang(200);
  EXPECT_EQ(Transact(t, server), -2);
}

TEST(SmtpTransaction, MultiLineRepliesAreReadWhole) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  Greeted(server)
      .Expect("RSET\r\n").SendSegments({"250-reset\r\n", "250 ok\r\n"})
      .ExpectPrefix("MAIL FROM:").Send("250-a\r\n250-b\r\n250 ok\r\n")
      .ExpectPrefix("RCPT TO:").SendSegments({"550-no\r\n", "550 really not\r\n"})
      .Hang(200);
  EXPECT_EQ(Transact(t, server), -1);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_TRUE(t.HasActivity(20, "550-no"));
  EXPECT_TRUE(t.HasActivity(20, "550 really not"));
}

TEST(SmtpTransaction, ReplyCaptureKeepsNon250Replies) {
  TransportFixture t(TestAccount::Smtp);
  testing::TempFolder config;
  ScopedEnv xdg("XDG_CONFIG_HOME", config.path());
  std::filesystem::create_directories(config.path() + "/velnora/velnora_debug_log");
  SetText(t.common().developerOptions, "x pw530928");
  SetText(t.account().forwardTo, "a@x b@y");
  FakeServer server;
  Greeted(server)
      .Expect("RSET\r\n").Send("250 ok\r\n")
      .ExpectPrefix("MAIL FROM:").Send("250 ok\r\n")
      .ExpectPrefix("RCPT TO:").Send("251 will forward\r\n")
      .ExpectPrefix("RCPT TO:").Send("452 full\r\n")
      .Hang(200);
  EXPECT_EQ(Transact(t, server), -1);
  const std::string capture = testing::FileText(ReplyCapturePath());
  EXPECT_EQ(capture.find("250 ok"), std::string::npos);
  ASSERT_NE(capture.find(" | 452 full\r\n"), std::string::npos) << capture;
  // 251 accepts the recipient but is not a "250" reply: captured too.
  EXPECT_NE(capture.find(" | 251 will forward\r\n"), std::string::npos) << capture;
}

}  // namespace
}  // namespace velnora
