// Mail flows end to end: Dovecot in, aiosmtpd or Postfix out, the program's
// own passes, filter, composition and transport in between.
#include <gtest/gtest.h>

#include "forwarding_rig.h"
#include "platform/net.h"
#include "support/dovecot_server.h"
#include "support/smtp_peer.h"

namespace velnora {
namespace {

using testing::CountOf;
using testing::DovecotOptions;
using testing::DovecotServer;
using testing::DovecotUser;
using testing::ForwardingRig;
using testing::SinkMail;
using testing::SmtpPeer;
using testing::SmtpPeerKind;
using testing::SmtpPeerRoute;

// A message as its sender wrote it, with the lines that need SMTP
// transparency in its body.
std::string Original(const std::string& id, const std::string& subject, const std::string& body) {
  return "From: Sender " + id + " <from-" + id + "@example.org>\r\n"
         "To: someone@example.org\r\n"
         "Subject: " + subject + "\r\n"
         "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\n"
         "Message-ID: <" + id + "@example.org>\r\n"
         "\r\n" + body;
}

const std::string kDottedBody = "first line\r\n.\r\n..\r\n.foo\r\nlast line\r\n";
const std::string kPlainBody = "just one line\r\n";

std::string BodyOf(const std::string& data) {
  const std::size_t end = data.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : data.substr(end + 4);
}

struct Route {
  const char* name;
  const char* user;
  const char* password;
  bool apop;
  bool popTls;
  const char* smtpAuth;  // "" for HELO
  bool smtpTls;
};

// USER/PASS, APOP and pop3s in; HELO, AUTH LOGIN, PLAIN and CRAM-MD5 and
// implicit TLS out.
const Route kRoutes[] = {
    {"plain", "u-plain", "pw-plain-7731", false, false, "", false},
    {"apop", "u-apop", "pw-apop-5519", true, false, "LOGIN", false},
    {"pops", "u-pops", "pw-pops-2203", false, true, "PLAIN", false},
    {"smtps", "u-smtps", "pw-smtps-9087", false, false, "CRAM-MD5", true},
};
constexpr int kRouteCount = 4;

constexpr char kSmtpPassword[] = "smtp-secret-4471";

std::string SmtpUser(const Route& route) { return std::string("smtp-") + route.user; }

std::vector<DovecotUser> DovecotUsers(SmtpPeerKind peer) {
  std::vector<DovecotUser> users;
  for (const Route& route : kRoutes) users.push_back({route.user, route.password});
  // Postfix checks SMTP log-ins with Dovecot.
  if (peer == SmtpPeerKind::kPostfix) {
    for (const Route& route : kRoutes) users.push_back({SmtpUser(route), kSmtpPassword});
  }
  return users;
}

std::vector<SmtpPeerRoute> PeerRoutes() {
  std::vector<SmtpPeerRoute> routes;
  for (const Route& route : kRoutes) {
    routes.push_back({route.name, route.smtpAuth, SmtpUser(route), kSmtpPassword, route.smtpTls});
  }
  return routes;
}

// Every test runs once per SMTP peer.
class ForwardingEndToEnd : public ::testing::TestWithParam<SmtpPeerKind> {
 protected:
  ForwardingEndToEnd()
      : dovecot(DovecotUsers(GetParam()), DovecotOptions{.smtpSasl = GetParam() == SmtpPeerKind::kPostfix}),
        peer(testing::MakeSmtpPeer(GetParam(), PeerRoutes(), dovecot.saslSocket())) {}

  void SetUp() override {
    if (!peer->skipReason().empty()) GTEST_SKIP() << peer->skipReason();
    ASSERT_TRUE(dovecot.ready()) << dovecot.error();
    ASSERT_TRUE(peer->ready()) << peer->error();
  }

  void Configure(int i) {
    const Route& route = kRoutes[i];
    AccountSettings& a = rig.Account(i, route.name, route.popTls ? dovecot.pop3sPort() : dovecot.pop3Port(),
                                     route.user, route.password, peer->port(std::size_t(i)));
    a.useApop = route.apop;
    a.popSsl = route.popTls;
    a.smtpSsl = route.smtpTls;
    // The test servers' certificates come from a CA that only the test knows.
    a.tlsNoVerify = route.popTls || route.smtpTls;
    if (*route.smtpAuth) {
      a.smtpAuth = 1;
      testing::SetText(a.smtpAuthUser, SmtpUser(route));
      testing::SetText(a.smtpAuthPassword, kSmtpPassword);
    }
  }

  std::vector<SinkMail> Mails(int route) const { return peer->Mails(std::size_t(route)); }

  DovecotServer dovecot;
  std::unique_ptr<SmtpPeer> peer;
  ForwardingRig rig;
};

TEST_P(ForwardingEndToEnd, EveryMessageArrivesOnceAsComposed) {
  for (int i = 0; i < kRouteCount; ++i) {
    const std::string user = kRoutes[i].user;
    ASSERT_TRUE(dovecot.AddMessage(user, "1000000001.M1.t", Original(user + "-a", "Dotted " + user, kDottedBody)));
    ASSERT_TRUE(dovecot.AddMessage(user, "1000000002.M2.t", Original(user + "-b", "Plain " + user, kPlainBody)));
    Configure(i);
  }
  rig.settings().accounts[3].deleteAfterForward = 1;
  ASSERT_TRUE(rig.Start());
  rig.StartPass();

  for (int i = 0; i < kRouteCount; ++i) {
    SCOPED_TRACE(kRoutes[i].name);
    const std::string name = kRoutes[i].name;
    const std::string user = kRoutes[i].user;
    const std::vector<SinkMail> mails = Mails(i);
    ASSERT_EQ(mails.size(), 2u) << rig.SessionLog() << peer->Log();
    for (const SinkMail& mail : mails) {
      EXPECT_EQ(mail.mailFrom, name + "@velnora.test");
      EXPECT_EQ(mail.rcptTo, std::vector<std::string>{"dest-" + name + "@velnora.test"});
      EXPECT_NE(mail.data.find("\r\nResent-From: " + name + "@velnora.test\r\n"), std::string::npos);
      EXPECT_NE(mail.data.find("\r\nResent-Sender: " + name + "@velnora.test\r\n"), std::string::npos);
      EXPECT_NE(mail.data.find("\r\nResent-To: dest-" + name + "@velnora.test\r\n"), std::string::npos);
      EXPECT_NE(mail.data.find("\r\nResent-Message-ID: <"), std::string::npos);
      EXPECT_NE(mail.data.find("\r\nResent-Date: "), std::string::npos);
      EXPECT_NE(mail.data.find("\r\nX-Mailer: Velnora (JP-400) V5.20.00 \r\n"), std::string::npos);
    }
    EXPECT_NE(mails[0].data.find("\r\nSubject: Dotted " + user + "\r\n"), std::string::npos);
    EXPECT_NE(mails[1].data.find("\r\nSubject: Plain " + user + "\r\n"), std::string::npos);
    // Not converted: the body as written, then the line end the composition adds.
    EXPECT_EQ(BodyOf(mails[0].data), kDottedBody + "\r\n");
    EXPECT_EQ(BodyOf(mails[1].data), kPlainBody + "\r\n");
  }
  EXPECT_EQ(dovecot.MessageCount(kRoutes[0].user), 2u);
  EXPECT_EQ(dovecot.MessageCount(kRoutes[3].user), 0u);
  EXPECT_EQ(rig.ctx().worker.forwardedTotal, 8);

  // A second check finds nothing new.
  rig.PollPass();
  for (int i = 0; i < kRouteCount; ++i) EXPECT_EQ(Mails(i).size(), 2u) << kRoutes[i].name;

  // One forwarding-log line per message: category, size with the STAT
  // count, subject, sender, recipient, Message-ID key, account label.
  const std::string history = rig.ForwardingLog();
  for (const Route& route : kRoutes) {
    const std::string user = route.user;
    EXPECT_EQ(CountOf(history, "; <" + user + "-a@example.org>;" + route.name + ";\n"), 1) << history;
    EXPECT_EQ(CountOf(history, ";Dotted " + user + ";Sender " + user + "-a <from-" + user +
                                   "-a@example.org>;someone@example.org; <" + user + "-a@example.org>;" +
                                   route.name + ";\n"),
              1)
        << history;
  }
  EXPECT_EQ(CountOf(history, "V1;0;"), 8);

  // The session log shows the dialogue with every password masked.
  const std::string session = rig.SessionLog();
  EXPECT_NE(session.find("PASS *****\r\n"), std::string::npos);
  EXPECT_NE(session.find("APOP ***** *****\r\n"), std::string::npos);
  EXPECT_NE(session.find("[->]USER u-plain\r\n"), std::string::npos);
  for (const Route& route : kRoutes) EXPECT_EQ(session.find(route.password), std::string::npos) << route.name;
  EXPECT_EQ(session.find("smtp-secret-4471"), std::string::npos);
}

TEST_P(ForwardingEndToEnd, MessageWaitsWhileTheSmtpServerIsDownAndGoesAtTheNextCheck) {
  ASSERT_TRUE(dovecot.AddMessage(kRoutes[0].user, "1000000001.M1.t", Original("down", "Down", kPlainBody)));
  Configure(0);
  const uint16_t deadPort = platform::FreeLoopbackPort(20000, 32000);
  rig.settings().accounts[0].smtpPort = int16_t(deadPort);
  ASSERT_TRUE(rig.Start());
  rig.StartPass();  // the connection check fails: no forwarding at all
  rig.ctx().worker.flags.connected = true;
  rig.PollPass();  // the SMTP server is still down
  EXPECT_EQ(rig.ctx().runtimeOf(0).StoredUidl(0), "");
  EXPECT_TRUE(Mails(0).empty());

  rig.settings().accounts[0].smtpPort = int16_t(peer->port(0));
  rig.PollPass();
  ASSERT_EQ(Mails(0).size(), 1u);
  EXPECT_NE(Mails(0)[0].data.find("Subject: Down\r\n"), std::string::npos);
  rig.PollPass();
  EXPECT_EQ(Mails(0).size(), 1u);
}

TEST_P(ForwardingEndToEnd, PermanentRefusalIsRecordedWithCode21AndNeverRetried) {
  ASSERT_TRUE(dovecot.AddMessage(kRoutes[0].user, "1000000001.M1.t", Original("refused", "Refused", kPlainBody)));
  Configure(0);
  rig.settings().accounts[0].noResendOn550 = 1;
  ASSERT_TRUE(peer->RefuseSubject("Refused"));
  ASSERT_TRUE(rig.Start());
  rig.StartPass();
  EXPECT_EQ(rig.Rows(21), 1);
  EXPECT_EQ(CountOf(rig.ForwardingLog(), "V1;21;"), 1);

  ASSERT_TRUE(peer->RefuseSubject(""));
  rig.PollPass();
  EXPECT_TRUE(Mails(0).empty());
  EXPECT_EQ(rig.Rows(21), 1);
}

// An interruption between forwarding and deletion (here: the stored UIDLs
// are lost, as after a kill before the store was saved) leaves forwarded mail
// on the server. The next check stops it as a duplicate of what this account
// forwarded and deletes it like a forwarded message.
TEST_P(ForwardingEndToEnd, ForwardedMailLeftOnTheServerIsDeletedAtTheNextCheck) {
  const std::string user = kRoutes[0].user;
  ASSERT_TRUE(dovecot.AddMessage(user, "1000000001.M1.t", Original("left-a", "Left a", kPlainBody)));
  ASSERT_TRUE(dovecot.AddMessage(user, "1000000002.M2.t", Original("left-b", "Left b", kPlainBody)));
  Configure(0);
  ASSERT_TRUE(rig.Start());
  rig.StartPass();
  ASSERT_EQ(Mails(0).size(), 2u);

  AccountRuntime& runtime = rig.ctx().runtimeOf(0);
  for (int p = 0; p < 2; ++p) runtime.ClearStoredUidl(p);
  runtime.SetStoredCount(0);
  rig.settings().accounts[0].deleteAfterForward = 1;
  rig.PollPass();
  EXPECT_EQ(rig.Rows(5), 2);
  EXPECT_EQ(Mails(0).size(), 2u);
  EXPECT_EQ(dovecot.MessageCount(user), 0u);
}

// Deleting at quit takes what was forwarded and leaves the mail that came
// in after the last check, which nobody has forwarded yet.
TEST_P(ForwardingEndToEnd, DeletionAtQuitLeavesMailThatArrivedAfterTheLastCheck) {
  const std::string user = kRoutes[0].user;
  ASSERT_TRUE(dovecot.AddMessage(user, "1000000001.M1.t", Original("old-a", "Old a", kPlainBody)));
  ASSERT_TRUE(dovecot.AddMessage(user, "1000000002.M2.t", Original("old-b", "Old b", kPlainBody)));
  Configure(0);
  ASSERT_TRUE(rig.Start());
  rig.StartPass();
  ASSERT_EQ(Mails(0).size(), 2u);
  ASSERT_TRUE(dovecot.AddMessage(user, "1000000003.M3.t", Original("late", "Late", kPlainBody)));

  rig.QuitPass();
  EXPECT_EQ(dovecot.MessageCount(user), 1u) << rig.SessionLog();
  EXPECT_EQ(Mails(0).size(), 2u);
  EXPECT_EQ(CountOf(rig.SessionLog(), "DELE "), 2) << rig.SessionLog();

  // The mail left behind is forwarded by the next run.
  rig.PollPass();
  ASSERT_EQ(Mails(0).size(), 3u);
  EXPECT_NE(Mails(0)[2].data.find("Subject: Late\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Peers, ForwardingEndToEnd, ::testing::Values(SmtpPeerKind::kAiosmtpd, SmtpPeerKind::kPostfix),
                         [](const auto& peerInfo) { return std::string(testing::SmtpPeerName(peerInfo.param)); });

}  // namespace
}  // namespace velnora
