// The SMTP client against a scripted server: greeting, HELO/EHLO, the AUTH
// mechanisms and their failures, with exact transcripts.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/host.h"
#include "transport_fixture.h"
#include "support/fake_server.h"
#include "transport/smtp/smtp_auth.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_command.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::SetText;
using testing::TestAccount;
using testing::TransportFixture;

const std::string kHost = platform::LocalHostName();

// Opens and greets; returns SmtpGreet's result (or -100 when the open failed).
int OpenAndGreet(TransportFixture& t, FakeServer& server) {
  server.Start();
  t.UseSmtpPort(server.port());
  if (!OpenSendSession(t.env(), t.account(), t.session())) return -100;
  int result = SmtpGreet(t.env(), t.account(), t.session());
  CloseSession(t.env(), t.session(), false, &t.account());
  server.Wait(5000);
  return result;
}

TEST(SmtpGreeting, HeloWithoutAuthentication) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  server.Send("220 mx ESMTP\r\n").Expect("HELO " + kHost + "\r\n").Send("250 mx\r\n").Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), 1);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_EQ(server.Received(), "HELO " + kHost + "\r\n");
}

TEST(SmtpGreeting, GreetingInSeveralSegmentsAndLines) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  server.SendSegments({"220-mx", " first\r\n", "220 second\r\n"})
      .Expect("HELO " + kHost + "\r\n")
      .Send("250 mx\r\n")
      .Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), 1);
}

TEST(SmtpGreeting, RefusedGreetingFailsTheOpen) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  server.Send("554 go away\r\n").Hang(200);
  server.Start();
  t.UseSmtpPort(server.port());
  EXPECT_FALSE(OpenSendSession(t.env(), t.account(), t.session()));
  CloseSession(t.env(), t.session(), false, &t.account());
  EXPECT_TRUE(t.HasActivity(4, SJIS(u8"SMTPエラーが発生しました")));
  EXPECT_TRUE(t.HasActivity(20, "554 go away"));
  EXPECT_NE(t.SessionLog().find("Error:OpenSendSession:isSMTPReplyOK:\n554 go away"),
            std::string::npos);
}

TEST(SmtpGreeting, RefusedHeloGivesZero) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  server.Send("220 mx\r\n").ReadLine().Send("501 bad hostname\r\n").Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), 0);
  EXPECT_TRUE(t.HasActivity(20, "501 bad hostname"));
}

TEST(SmtpGreeting, RefusedEhloGivesZero) {
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = 1;
  FakeServer server;
  server.Send("220 mx\r\n").ExpectPrefix("EHLO ").Send("502 no ehlo\r\n").Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), 0);
}

// "250" without the blank is not a final line: the client keeps reading
// and gives up at the time-out.
TEST(SmtpGreeting, CodeWithoutBlankIsReadUntilTheTimeOut) {
  TransportFixture t(TestAccount::Smtp);
  t.common().timeoutSec = 1;
  FakeServer server;
  server.Send("220 mx\r\n").ReadLine().Send("250\r\n").Hang(3000);
  EXPECT_EQ(OpenAndGreet(t, server), -1);
}

TEST(SmtpGreeting, ServerClosingInsteadOfReplyingFails) {
  TransportFixture t(TestAccount::Smtp);
  FakeServer server;
  server.Send("220 mx\r\n").ReadLine().Close();
  EXPECT_EQ(OpenAndGreet(t, server), -1);
}

// Temporary and permanent refusals before any transaction: the greeting
// fails the open, HELO and EHLO give 0.
struct GreetRefusal {
  const char* name;
  std::string greeting;
  std::string heloReply;  // empty: the greeting already fails
  bool ehlo;
  int expected;
};

class SmtpGreetRefusal : public ::testing::TestWithParam<GreetRefusal> {};

TEST_P(SmtpGreetRefusal, Result) {
  const GreetRefusal& c = GetParam();
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = c.ehlo;
  FakeServer server;
  server.Send(c.greeting);
  if (!c.heloReply.empty()) server.ExpectPrefix(c.ehlo ? "EHLO " : "HELO ").Send(c.heloReply);
  server.Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), c.expected);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_TRUE(t.HasActivity(4, SJIS(u8"SMTPエラーが発生しました")));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SmtpGreetRefusal,
    ::testing::Values(GreetRefusal{"greeting_4xx", "421 busy\r\n", "", false, -100},
                      GreetRefusal{"greeting_5xx", "554 no\r\n", "", false, -100},
                      GreetRefusal{"helo_4xx", "220 mx\r\n", "421 closing\r\n", false, 0},
                      GreetRefusal{"helo_5xx", "220 mx\r\n", "550 no\r\n", false, 0},
                      GreetRefusal{"ehlo_4xx", "220 mx\r\n", "421 closing\r\n", true, 0},
                      GreetRefusal{"ehlo_5xx", "220 mx\r\n", "554 no\r\n", true, 0}),
    [](const ::testing::TestParamInfo<GreetRefusal>& param) { return std::string(param.param.name); });

// A server that streams continuation lines without end cannot make the
// client hold them: it gives up long before the time-out.
TEST(SmtpGreeting, EndlessReplyIsGivenUp) {
  TransportFixture t(TestAccount::Smtp);
  t.common().timeoutSec = 30;
  std::string endless;
  while (endless.size() < 3 * kMaxSmtpReplyBytes) endless += "250-more and more capabilities\r\n";
  FakeServer server;
  server.Send("220 mx\r\n").ReadLine().Send(endless).Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), -1);
}

struct AuthScript {
  const char* name;
  std::string ehlo;                           // the EHLO reply, as segments
  std::vector<std::pair<std::string, std::string>> exchange;  // expected line, reply
  int expected;
  std::string activity;  // an activity text (kind 4) that must appear, or empty
};

std::string B64(std::string_view s) { return SmtpBase64(s); }

std::vector<AuthScript> AuthScripts() {
  const std::string login = SJIS(u8"SMTP認証(タイプ：LOGIN)でエラーが発生しました");
  const std::string wrong = SJIS(u8"SMTP認証エラーが発生しました ユーザーIDまたはパスワードが違います");
  const std::string plain = SJIS(u8"SMTP認証(タイプ：PLAIN)でエラーが発生しました");
  const std::string cram = SJIS(u8"SMTP認証(タイプ：CRAM-MD5)でエラーが発生しました");
  const std::string none = SJIS(u8"SMTPサーバーは認証(LOGIN/PLAIN/CRAM-MD5)をサポートしていません");
  const std::string userLine = B64("smtpuser") + "\r\n";
  const std::string passLine = B64("smtppass") + "\r\n";
  return {
      {"login_preferred_over_earlier_plain", "250-mx\r\n250 AUTH PLAIN LOGIN\r\n",
       {{"AUTH LOGIN\r\n", "334 VXNlcm5hbWU6\r\n"}, {userLine, "334 UGFzc3dvcmQ6\r\n"},
        {passLine, "235 ok\r\n"}},
       1, ""},
      {"login_refused", "250 AUTH LOGIN\r\n", {{"AUTH LOGIN\r\n", "504 no\r\n"}}, -1, login},
      {"login_user_refused", "250 AUTH LOGIN\r\n",
       {{"AUTH LOGIN\r\n", "334 x\r\n"}, {userLine, "535 no\r\n"}}, -1, wrong},
      {"login_password_refused", "250 AUTH LOGIN\r\n",
       {{"AUTH LOGIN\r\n", "334 x\r\n"}, {userLine, "334 y\r\n"}, {passLine, "535 no\r\n"}}, -1,
       wrong},
      {"login_asks_again_after_password", "250 AUTH LOGIN\r\n",
       {{"AUTH LOGIN\r\n", "334 x\r\n"}, {userLine, "334 y\r\n"}, {passLine, "334 z\r\n"}}, -1,
       wrong},
      {"plain_when_no_login", "250-mx\r\n250 AUTH CRAM-MD5 PLAIN\r\n",
       {{"AUTH PLAIN " + B64(std::string("smtpuser\0smtpuser\0smtppass", 26)) + "\r\n",
         "235 ok\r\n"}},
       1, ""},
      {"plain_refused", "250 AUTH PLAIN\r\n", {{"", "535 no\r\n"}}, -1, plain},
      {"cram_md5", "250-mx\r\n250 AUTH CRAM-MD5\r\n",
       {{"AUTH CRAM-MD5\r\n", "334 " + B64("<1.2@mx>") + "\r\n"},
        {CramMd5Response("<1.2@mx>", "smtpuser", "smtppass"), "235 ok\r\n"}},
       1, ""},
      {"cram_md5_refused", "250 AUTH CRAM-MD5\r\n", {{"AUTH CRAM-MD5\r\n", "504 no\r\n"}}, -1,
       cram},
      {"cram_md5_without_challenge", "250 AUTH CRAM-MD5\r\n",
       {{"AUTH CRAM-MD5\r\n", "334 \r\n"}}, -1, "ESMTP AUTH error: no test string returned."},
      {"cram_md5_wrong_secret", "250 AUTH CRAM-MD5\r\n",
       {{"AUTH CRAM-MD5\r\n", "334 PDE+\r\n"}, {"", "535 no\r\n"}}, -1, wrong},
      {"no_mechanism", "250-mx\r\n250 AUTH GSSAPI\r\n", {}, -1, none},
  };
}

class SmtpAuth : public ::testing::TestWithParam<AuthScript> {};

TEST_P(SmtpAuth, Exchange) {
  const AuthScript& script = GetParam();
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = 1;
  SetText(t.account().smtpAuthUser, "smtpuser");
  SetText(t.account().smtpAuthPassword, "smtppass");
  FakeServer server;
  server.Send("220 mx\r\n").Expect("EHLO " + kHost + "\r\n").Send(script.ehlo);
  for (const auto& [line, reply] : script.exchange) {
    if (line.empty()) server.ReadLine(); else server.Expect(line);
    server.Send(reply);
  }
  server.Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), script.expected);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  if (!script.activity.empty()) {
    EXPECT_TRUE(t.HasActivity(4, script.activity)) << t.ActivityTexts();
  }
  // Whatever happened, no credential reached the session log.
  const std::string log = t.SessionLog();
  for (const std::string& secret :
       {std::string("smtppass"), B64("smtppass"), B64("smtpuser"),
        B64(std::string("smtpuser\0smtpuser\0smtppass", 26))}) {
    EXPECT_EQ(log.find(secret), std::string::npos) << secret;
  }
  if (script.expected == 1) {
    EXPECT_NE(log.find("*****\r\n"), std::string::npos) << log;
  }
}

INSTANTIATE_TEST_SUITE_P(Mechanisms, SmtpAuth, ::testing::ValuesIn(AuthScripts()),
                         [](const ::testing::TestParamInfo<AuthScript>& param) {
                           return std::string(param.param.name);
                         });

TEST(SmtpAuthCredentials, EmptySmtpCredentialsFallBackToPop3) {
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = 1;
  SetText(t.account().popUser, "popuser");
  SetText(t.account().popPassword, "poppass");
  FakeServer server;
  server.Send("220 mx\r\n")
      .ExpectPrefix("EHLO ")
      .Send("250 AUTH PLAIN\r\n")
      .Expect("AUTH PLAIN " + B64(std::string("popuser\0popuser\0poppass", 23)) + "\r\n")
      .Send("235 ok\r\n")
      .Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), 1);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_NE(t.SessionLog().find("[->]AUTH PLAIN *****\r\n"), std::string::npos);
}

// The capability list arrives in several reads; AUTH is in the first one.
TEST(SmtpAuthCredentials, EhloRepliesAreJoinedAcrossReads) {
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = 1;
  SetText(t.account().smtpAuthUser, "u");
  SetText(t.account().smtpAuthPassword, "p");
  FakeServer server;
  server.Send("220 mx\r\n")
      .ExpectPrefix("EHLO ")
      .SendSegments({"250-mx\r\n250-AUTH LOGIN\r\n", "250-8BITMIME\r\n", "250 OK\r\n"})
      .Expect("AUTH LOGIN\r\n")
      .Send("334 x\r\n")
      .Expect(B64("u") + "\r\n")
      .Send("334 y\r\n")
      .Expect(B64("p") + "\r\n")
      .Send("235 ok\r\n")
      .Hang(200);
  EXPECT_EQ(OpenAndGreet(t, server), 1);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
}

TEST(SmtpOpen, ConfiguredDelayCountsTheSeconds) {
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpDelayOn = 1;
  t.account().smtpDelaySec = 2;
  FakeServer server;
  server.Send("220 mx\r\n").Hang(200);
  server.Start();
  t.UseSmtpPort(server.port());
  EXPECT_TRUE(OpenSendSession(t.env(), t.account(), t.session()));
  CloseSession(t.env(), t.session(), false, &t.account());
  std::vector<std::pair<std::string, int>> delays;
  for (const auto& status : t.reporter().statuses)
    if (status.first.find(SJIS(u8"遅延")) != std::string::npos) delays.push_back(status);
  const std::vector<std::pair<std::string, int>> expected = {
      {"[acct]" + SJIS(u8"SMTP接続遅延.. 1/2秒"), 4}, {"[acct]" + SJIS(u8"SMTP接続遅延.. 2/2秒"), 4}};
  EXPECT_EQ(delays, expected);
  EXPECT_GT(t.flags().lastActivityTick.load(), 0);
}

TEST(SmtpOpen, ConfiguredDelayEndsEarlyOnStop) {
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpDelayOn = 1;
  t.account().smtpDelaySec = 30;
  t.flags().stopRequested = true;
  FakeServer server;
  server.Start();
  t.UseSmtpPort(server.port());
  EXPECT_FALSE(OpenSendSession(t.env(), t.account(), t.session()));
  EXPECT_EQ(server.ConnectionsAccepted(), 0);
}

struct PopBeforeCase {
  const char* name;
  std::string passReply;
  int expected;
};

class SmtpPopBefore : public ::testing::TestWithParam<PopBeforeCase> {};

TEST_P(SmtpPopBefore, LogsInWithItsOwnCredentialsFirst) {
  TransportFixture t(TestAccount::Smtp);
  t.account().useSeparateSmtp = t.account().popBeforeSmtp = 1;
  SetText(t.account().pbsServer, "127.0.0.1");
  SetText(t.account().pbsUser, "pbs-user");
  SetText(t.account().pbsPassword, "pbs-secret");
  SetText(t.account().popUser, "other-user");
  FakeServer pop;
  pop.Send("+OK pop ready\r\n")
      .Expect("USER pbs-user\r\n").Send("+OK\r\n")
      .Expect("PASS pbs-secret\r\n").Send(GetParam().passReply);
  if (GetParam().expected == 0) pop.Expect("STAT\r\n").Send("+OK 0 0\r\n").Expect("QUIT\r\n").Send("+OK bye\r\n");
  pop.Hang(200);
  pop.Start();
  t.account().pbsPort = static_cast<int16_t>(pop.port());
  FakeServer smtp;
  smtp.Send("220 mx\r\n").Hang(200);
  smtp.Start();
  t.UseSmtpPort(smtp.port());
  EXPECT_EQ(OpenSendSession(t.env(), t.account(), t.session()) ? 0 : -1, GetParam().expected);
  CloseSession(t.env(), t.session(), false, &t.account());
  pop.Wait(5000);
  if (GetParam().expected == 0) smtp.Wait(5000);  // no connection otherwise
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(smtp.ConnectionsAccepted(), GetParam().expected == 0 ? 1 : 0);
  EXPECT_EQ(t.HasActivity(4, SJIS(u8"SMTP送信の前のPOP認証に失敗しました")), GetParam().expected < 0);
  const std::string log = t.SessionLog();
  EXPECT_NE(log.find("starts <POP before SMTP> session"), std::string::npos);
  EXPECT_EQ(log.find("pbs-secret"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Logins, SmtpPopBefore,
                         ::testing::Values(PopBeforeCase{"accepted", "+OK logged in\r\n", 0},
                                           PopBeforeCase{"refused", "-ERR wrong\r\n", -1}),
                         [](const ::testing::TestParamInfo<PopBeforeCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace velnora
