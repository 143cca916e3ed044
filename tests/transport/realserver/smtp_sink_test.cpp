// The SMTP client against aiosmtpd (tests/support/smtp_sink.py): the AUTH
// mechanisms as a real server speaks them, implicit TLS with and without
// certificate verification, apportion, refusals, and hostile texts arriving
// exactly as written.
#include <gtest/gtest.h>

#include <fstream>

#include "../transport_fixture.h"
#include "support/smtp_server.h"
#include "transport/smtp/smtp_auth.h"
#include "transport/smtp/smtp_client.h"

namespace velnora {
namespace {

using testing::ScopedEnv;
using testing::SetText;
using testing::SinkMail;
using testing::SmtpSink;
using testing::SmtpSinkOptions;
using testing::TestAccount;
using testing::TransportFixture;
using testing::TempFolder;

struct Delivery {
  int open = -100, greet = -100, send = -100;
};

Delivery Deliver(TransportFixture& t, uint16_t port, std::string_view text) {
  Delivery d;
  t.UseSmtpPort(port);
  d.open = OpenSendSession(t.env(), t.account(), t.session()) ? 0 : -1;
  if (d.open >= 0) d.greet = SmtpGreet(t.env(), t.account(), t.session());
  if (d.greet == 1) d.send = static_cast<int>(SendMessageText(t.env(), t.account(), t.session(), text));
  CloseSession(t.env(), t.session(), d.send == 1, &t.account());
  return d;
}

// The session log never holds the password or any AUTH line's secret.
void ExpectNoSecrets(const TransportFixture& t, const std::string& user, const std::string& password) {
  const std::string log = t.SessionLog();
  for (const std::string& secret :
       {password, SmtpBase64(password), SmtpBase64(user),
        SmtpBase64(user + std::string(1, '\0') + user + std::string(1, '\0') + password)}) {
    EXPECT_EQ(log.find(secret), std::string::npos) << "secret in the session log: " << secret;
  }
}

const char kText[] = "orig@sender.test\r\nFrom: a@b\r\nSubject: hello\r\n\r\nbody line\r\n";

TEST(SmtpSinkDelivery, HeloWithoutAuthentication) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  TransportFixture t(TestAccount::Smtp);
  Delivery d = Deliver(t, sink.plainPort(), kText);
  EXPECT_EQ(d.send, 1);
  auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].mailFrom, "me@velnora.test");
  EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{"dest@velnora.test"});
  EXPECT_EQ(mails[0].data, "From: a@b\r\nSubject: hello\r\n\r\nbody line\r\n");
  EXPECT_TRUE(sink.AuthLog().empty());
}

struct MechanismCase {
  const char* offered;
  const char* used;
};

class SmtpSinkAuth : public ::testing::TestWithParam<MechanismCase> {};

TEST_P(SmtpSinkAuth, ChosenMechanismLogsIn) {
  TempFolder data;
  SmtpSinkOptions options;
  options.user = "fwd-user";
  options.password = "pa55:word";
  options.auth = GetParam().offered;
  SmtpSink sink(data.path(), options);
  ASSERT_TRUE(sink.ready());
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = 1;
  SetText(t.account().smtpAuthUser, options.user);
  SetText(t.account().smtpAuthPassword, options.password);
  Delivery d = Deliver(t, sink.plainPort(), kText);
  EXPECT_EQ(d.greet, 1);
  EXPECT_EQ(d.send, 1);
  EXPECT_EQ(sink.AuthLog(), std::vector<std::string>{std::string(GetParam().used) + " fwd-user ok"});
  EXPECT_EQ(sink.Mails().size(), 1u);
  ExpectNoSecrets(t, options.user, options.password);
}

TEST_P(SmtpSinkAuth, WrongPasswordFailsTheGreeting) {
  TempFolder data;
  SmtpSinkOptions options;
  options.auth = GetParam().offered;
  SmtpSink sink(data.path(), options);
  ASSERT_TRUE(sink.ready());
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpAuth = 1;
  SetText(t.account().popUser, options.user);  // the POP3 credentials stand in
  SetText(t.account().popPassword, "not-the-password");
  Delivery d = Deliver(t, sink.plainPort(), kText);
  EXPECT_EQ(d.greet, -1);
  EXPECT_EQ(sink.AuthLog(), std::vector<std::string>{std::string(GetParam().used) + " sender fail"});
  EXPECT_TRUE(sink.Mails().empty());
  ExpectNoSecrets(t, options.user, "not-the-password");
}

INSTANTIATE_TEST_SUITE_P(Offers, SmtpSinkAuth,
                         ::testing::Values(MechanismCase{"LOGIN,PLAIN,CRAM-MD5", "LOGIN"},
                                           MechanismCase{"PLAIN,CRAM-MD5", "PLAIN"},
                                           MechanismCase{"CRAM-MD5", "CRAM-MD5"}));

TEST(SmtpSinkTls, VerifiedAgainstTheTestCa) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  ScopedEnv ca("SSL_CERT_FILE", sink.caFile());
  for (const char* host : {"127.0.0.1", "localhost"}) {
    TransportFixture t(TestAccount::Smtp);
    t.account().smtpSsl = 1;
    SetText(t.account().smtpServer, host);
    Delivery d = Deliver(t, sink.tlsPort(), kText);
    EXPECT_EQ(d.send, 1) << host;
  }
  EXPECT_EQ(sink.Mails().size(), 2u);
}

TEST(SmtpSinkTls, UnknownCaIsRefusedUnlessVerificationIsOff) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  TempFolder other;
  std::ofstream(other.File("empty.pem")) << "";
  ScopedEnv ca("SSL_CERT_FILE", other.File("empty.pem"));
  ScopedEnv caDir("SSL_CERT_DIR", other.path());
  {
    TransportFixture t(TestAccount::Smtp);
    t.account().smtpSsl = 1;
    EXPECT_EQ(Deliver(t, sink.tlsPort(), kText).open, -1);
  }
  EXPECT_TRUE(sink.Mails().empty());
  {
    TransportFixture t(TestAccount::Smtp);
    t.account().smtpSsl = 1;
    t.account().tlsNoVerify = 1;
    EXPECT_EQ(Deliver(t, sink.tlsPort(), kText).send, 1);
  }
  EXPECT_EQ(sink.Mails().size(), 1u);
}

// Submission with STARTTLS: AUTH and the mail only after the verified
// handshake, with each mechanism the account may choose.
TEST(SmtpSinkStartTls, AuthenticatesAndSendsAfterTheHandshake) {
  for (const char* mechanism : {"LOGIN", "PLAIN"}) {
    SCOPED_TRACE(mechanism);
    TempFolder data;
    SmtpSinkOptions options;
    options.auth = mechanism;
    SmtpSink sink(data.path(), options);
    ASSERT_TRUE(sink.ready());
    ScopedEnv ca("SSL_CERT_FILE", sink.caFile());
    TransportFixture t(TestAccount::Smtp);
    SetText(t.account().smtpServer, "localhost");
    t.account().smtpStartTls = 1;
    t.account().smtpAuth = 1;
    SetText(t.account().smtpAuthUser, options.user);
    SetText(t.account().smtpAuthPassword, options.password);
    EXPECT_EQ(Deliver(t, sink.startTlsPort(), kText).send, 1) << t.ActivityTexts();
    EXPECT_EQ(sink.AuthLog(), std::vector<std::string>{std::string(mechanism) + " sender ok"});
    EXPECT_EQ(sink.Mails().size(), 1u);
    const std::string log = t.SessionLog();
    EXPECT_LT(log.find("STARTTLS"), log.find("AUTH")) << log;
  }
}

// A server that never offers STARTTLS (the plain port): nothing is sent
// after the EHLO, and the entry names the host.
TEST(SmtpSinkStartTls, NotOfferedEndsTheSendWithoutAuthOrMail) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  TransportFixture t(TestAccount::Smtp);
  t.account().smtpStartTls = 1;
  t.account().smtpAuth = 1;
  SetText(t.account().smtpAuthUser, "sender");
  SetText(t.account().smtpAuthPassword, "secret");
  EXPECT_EQ(Deliver(t, sink.plainPort(), kText).open, -1);
  EXPECT_TRUE(sink.AuthLog().empty());
  EXPECT_TRUE(sink.Mails().empty());
  EXPECT_TRUE(t.HasActivity("[127.0.0.1]")) << t.ActivityTexts();
}

// Two destinations with apportion: the first message after a start goes to
// the destination after the remembered one, the next to the other one.
TEST(SmtpSinkApportion, RoundRobinOverTwoDestinations) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  TransportFixture t(TestAccount::Smtp);
  SetText(t.account().forwardTo, "first@velnora.test second@velnora.test");
  t.account().apportion = 1;
  t.account().apportionNext = 0;
  t.UseSmtpPort(sink.plainPort());
  for (int message = 0; message < 3; ++message) {
    std::ofstream(PartFilePath(t.env().tempFolder, 0), std::ios::binary) << kText;
    ASSERT_TRUE(OpenSendSession(t.env(), t.account(), t.session()));
    ASSERT_EQ(SmtpGreet(t.env(), t.account(), t.session()), 1);
    EXPECT_EQ(SendSplitParts(t.env(), t.account(), t.session(), 1), SendResult::Sent);
    CloseSession(t.env(), t.session(), true, &t.account());
  }
  auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 3u);
  EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{"second@velnora.test"});
  EXPECT_EQ(mails[1].rcptTo, std::vector<std::string>{"first@velnora.test"});
  EXPECT_EQ(mails[2].rcptTo, std::vector<std::string>{"second@velnora.test"});
}

struct SinkRefusal {
  const char* name;
  const char* control;
  bool noResendOn550;
  int expected;
};

class SmtpSinkRefusal : public ::testing::TestWithParam<SinkRefusal> {};

TEST_P(SmtpSinkRefusal, NothingIsStored) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  sink.SetControl(GetParam().control);
  TransportFixture t(TestAccount::Smtp);
  SetText(t.account().forwardTo, "one@velnora.test two@velnora.test");
  t.account().noResendOn550 = GetParam().noResendOn550;
  EXPECT_EQ(Deliver(t, sink.plainPort(), kText).send, GetParam().expected);
  EXPECT_TRUE(sink.Mails().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SmtpSinkRefusal,
    ::testing::Values(
        SinkRefusal{"second_rcpt_5xx_dropped",
                    R"({"refuse": {"RCPT two@velnora.test": "550 5.1.1 no such user"}})", true, -10},
        SinkRefusal{"second_rcpt_5xx_retried",
                    R"({"refuse": {"RCPT two@velnora.test": "550 5.1.1 no such user"}})", false, -1},
        SinkRefusal{"second_rcpt_4xx", R"({"refuse": {"RCPT two@velnora.test": "450 busy"}})", true,
                    -1},
        SinkRefusal{"mail_from_5xx", R"({"refuse": {"MAIL": "553 sender refused"}})", true, -10},
        SinkRefusal{"data_refused", R"({"refuse": {"DATA": "554 no data"}})", true, -2},
        SinkRefusal{"message_5xx", R"({"refuse": {"MESSAGE": "552 too big"}})", true, -10},
        SinkRefusal{"message_4xx", R"({"refuse": {"MESSAGE": "451 later"}})", true, -1},
        SinkRefusal{"rset_refused", R"({"refuse": {"RSET": "502 no"}})", false, -1}),
    [](const ::testing::TestParamInfo<SinkRefusal>& param) { return std::string(param.param.name); });

TEST(SmtpSinkRefusals, RefusedEhloAndHelo) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  sink.SetControl(R"({"refuse": {"HELO": "550 not you", "EHLO": "550 not you either"}})");
  TransportFixture t(TestAccount::Smtp);
  EXPECT_EQ(Deliver(t, sink.plainPort(), kText).greet, 0);
  t.account().smtpAuth = 1;
  EXPECT_EQ(Deliver(t, sink.plainPort(), kText).greet, 0);
}

// Texts that try to end the DATA early or smuggle commands arrive whole and
// as written (line ends made CR LF), and nothing else is delivered.
TEST(SmtpSinkData, HostileTextsArriveExactly) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  const std::string smuggled = "MAIL FROM:<evil@x>\r\nRCPT TO:<victim@x>\r\nDATA\r\nSubject: forged\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {"s@x\r\nSubject: a\n.\r\n" + smuggled + "\r\nbody\r\n",
       "Subject: a\r\n.\r\n" + smuggled + "\r\nbody\r\n"},
      {"s@x\r\nSubject: b\r\n.\n" + smuggled + "\r\nbody\r\n",
       "Subject: b\r\n.\r\n" + smuggled + "\r\nbody\r\n"},
      {"s@x\r\nSubject: c\r\n\r\n.\r\n..\r\n.x\rbare cr\nbare lf\r\nlast",
       "Subject: c\r\n\r\n.\r\n..\r\n.x\r\nbare cr\r\nbare lf\r\nlast\r\n"},
  };
  TransportFixture t(TestAccount::Smtp);
  for (const auto& [text, stored] : cases) EXPECT_EQ(Deliver(t, sink.plainPort(), text).send, 1);
  auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), std::size(cases));
  for (std::size_t i = 0; i < mails.size(); ++i) {
    EXPECT_EQ(mails[i].data, cases[i].second) << i;
    EXPECT_EQ(mails[i].rcptTo, std::vector<std::string>{"dest@velnora.test"});
  }
}

TEST(SmtpSinkData, LargeMessageWithLongLines) {
  TempFolder data;
  SmtpSink sink(data.path());
  ASSERT_TRUE(sink.ready());
  std::string body;
  for (int i = 0; i < 40; ++i) body += std::string(100000 + i, static_cast<char>('a' + i % 26)) + "\r\n.\r\n";
  TransportFixture t(TestAccount::Smtp);
  EXPECT_EQ(Deliver(t, sink.plainPort(), "s@x\r\nSubject: big\r\n\r\n" + body).send, 1);
  auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].data, "Subject: big\r\n\r\n" + body);
}

}  // namespace
}  // namespace velnora
