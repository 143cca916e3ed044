// The POP3 client against a real Dovecot: log-ins, listing, fetching only
// what is new, deleting, and TLS with certificate checks.
#include <gtest/gtest.h>

#include <memory>

#include "support/dovecot_server.h"
#include "support/temp_folder.h"
#include "transport/pop3/pop3_client.h"
#include "../transport_fixture.h"

namespace velnora {
namespace {

using testing::DovecotServer;
using testing::FileText;
using testing::ScopedEnv;
using testing::SetText;
using testing::TransportFixture;

class DovecotPop3 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new DovecotServer({{"alice", "wonderland"}, {"bob", "builder"}, {"carol", "x"}});
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(server_->ready()) << server_->error();
    SetText(fx.account().popUser, "alice");
    SetText(fx.account().popPassword, "wonderland");
    fx.UsePort(server_->pop3Port());
  }
  void UseTls(const char* host) {
    SetText(fx.account().popServer, host);
    fx.account().popSsl = 1;
    fx.UsePort(server_->pop3sPort());
  }
  int Open() { return OpenRcvSession(fx.env(), fx.account(), fx.runtime()); }
  void Close(bool quit = true) { CloseSession(fx.env(), fx.runtime().session, quit, &fx.account()); }
  std::string MailFile(int number) { return FileText(ReceivedMailPath(fx.env(), number)); }

  static DovecotServer* server_;
  TransportFixture fx;
};
DovecotServer* DovecotPop3::server_ = nullptr;

TEST_F(DovecotPop3, FetchesOnlyNewMessagesAsTheServerSendsThemAndDeletes) {
  SetText(fx.account().popUser, "bob");
  SetText(fx.account().popPassword, "builder");
  ASSERT_TRUE(server_->AddMessage("bob", "1000.m1", "Subject: one\r\n\r\nfirst\r\n.leading dot\r\n"));
  ASSERT_TRUE(server_->AddMessage("bob", "1001.m2", "Subject: two\n\nbare LF body\n"));
  ASSERT_TRUE(server_->AddMessage("bob", "1002.m3", "Subject: three\r\n\r\n" + std::string(200000, 'x') + "\r\n"));

  ASSERT_EQ(Open(), 3);
  ASSERT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  Close();
  EXPECT_EQ(fx.runtime().storedCount(), 3);
  EXPECT_EQ(fx.runtime().fetched, (std::vector<int>{0, 1, 2}));
  // Handled: the forwarding records each fetched message once it has an outcome.
  for (int m : fx.runtime().fetched) fx.runtime().SetStoredUidl(m, fx.runtime().CurrentUidl(m));
  for (int n = 1; n <= 3; ++n) {
    const std::string expected = server_->RawRetr("bob", "builder", n);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(MailFile(n) == expected) << "message " << n;
    platform::RemoveFile(ReceivedMailPath(fx.env(), n));
  }

  ASSERT_TRUE(server_->AddMessage("bob", "1003.m4", "Subject: four\r\n\r\nfourth\r\n"));
  ASSERT_EQ(Open(), 4);
  ASSERT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  Close();
  for (int n = 1; n <= 3; ++n) EXPECT_FALSE(platform::FileExists(ReceivedMailPath(fx.env(), n)));
  EXPECT_EQ(MailFile(4), server_->RawRetr("bob", "builder", 4));
  EXPECT_EQ(fx.runtime().storedCount(), 4);

  ASSERT_EQ(Open(), 4);
  EXPECT_EQ(DeleteMessage(fx.env(), fx.account(), fx.runtime(), 2), 1);
  EXPECT_EQ(DeleteMessage(fx.env(), fx.account(), fx.runtime(), 99), 0);
  Close();
  EXPECT_EQ(server_->MessageCount("bob"), 3u);
  EXPECT_EQ(DeleteAllMails(fx.env(), fx.account(), fx.runtime()), 1);
  EXPECT_EQ(server_->MessageCount("bob"), 0u);
}

TEST_F(DovecotPop3, ApopLogInKeepsSecretsOutOfTheSessionLog) {
  fx.common().sessionLog = 1;
  fx.account().useApop = 1;
  EXPECT_GE(Open(), 0);
  Close();
  fx.account().useApop = 0;
  EXPECT_GE(Open(), 0);
  Close();
  const std::string log = fx.SessionLog();
  EXPECT_NE(log.find("APOP ***** *****"), std::string::npos) << log;
  EXPECT_NE(log.find("PASS *****"), std::string::npos) << log;
  EXPECT_EQ(log.find("wonderland"), std::string::npos) << log;
  EXPECT_TRUE(fx.Activities().empty());
}

TEST_F(DovecotPop3, WrongPasswordShowsTheServerReply) {
  // A server of its own: failed log-ins slow the server down for the client's address.
  DovecotServer own(std::vector<testing::DovecotUser>{{"alice", "wonderland"}});
  ASSERT_TRUE(own.ready()) << own.error();
  for (int apop : {0, 1}) {
    TransportFixture local;
    SetText(local.account().popUser, "alice");
    SetText(local.account().popPassword, "not-the-password");
    local.account().useApop = int16_t(apop);
    local.common().timeoutSec = 20;
    local.UsePort(own.pop3Port());
    EXPECT_EQ(OpenRcvSession(local.env(), local.account(), local.runtime()), -1);
    CloseSession(local.env(), local.runtime().session, false, &local.account());
    const auto texts = local.Activities();
    ASSERT_EQ(texts.size(), 2u) << "apop " << apop;
    EXPECT_EQ(texts[0], SJIS(u8"POPサーバー認証エラー"));
    EXPECT_EQ(texts[1].rfind("-ERR", 0), 0u) << texts[1];
  }
}

TEST_F(DovecotPop3, TlsWithTheTestCaAndTheRightHostName) {
  ScopedEnv trust("SSL_CERT_FILE", server_->caFile());
  UseTls("localhost");
  EXPECT_GE(Open(), 0);
  Close();
  for (const auto& text : fx.Activities()) ADD_FAILURE() << platform::Cp932ToUtf8(text);
}

TEST_F(DovecotPop3, TlsRefusedWhenTheCertificateDoesNotNameTheHost) {
  ScopedEnv trust("SSL_CERT_FILE", server_->caFile());
  fx.common().sessionLog = 1;
  UseTls("127.0.0.1");  // the certificate names "localhost" only
  EXPECT_EQ(Open(), -1);
  // Nothing was sent or read over the unverified connection.
  EXPECT_EQ(fx.SessionLog().find("[->]"), std::string::npos);
  EXPECT_EQ(fx.SessionLog().find("[<-]"), std::string::npos);
  EXPECT_TRUE(fx.HasStatus("Error:SSL_connect"));
  EXPECT_TRUE(fx.HasActivity("[127.0.0.1]"));
  EXPECT_TRUE(fx.HasActivity("mismatch")) << fx.Activities().front();
  EXPECT_FALSE(fx.runtime().session.isOpen());
}

TEST_F(DovecotPop3, ReachedOverIpv6) {
  if (!server_->listensOnIpv6()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  for (const char* host : {"::1", "[::1]"}) {
    SetText(fx.account().popServer, host);
    EXPECT_GE(Open(), 0) << host;
    Close();
  }
  for (const auto& text : fx.Activities()) ADD_FAILURE() << platform::Cp932ToUtf8(text);
}

TEST_F(DovecotPop3, StlsBeforeTheLogInOnThePlainPort) {
  ScopedEnv trust("SSL_CERT_FILE", server_->caFile());
  fx.common().sessionLog = 1;
  SetText(fx.account().popServer, "localhost");
  fx.account().popStartTls = 1;
  EXPECT_GE(Open(), 0);
  Close();
  const std::string log = fx.SessionLog();
  EXPECT_NE(log.find("STLS"), std::string::npos) << log;
  EXPECT_LT(log.find("STLS"), log.find("USER")) << log;
  for (const auto& text : fx.Activities()) ADD_FAILURE() << platform::Cp932ToUtf8(text);
}

TEST_F(DovecotPop3, StlsRefusedWhenTheCertificateDoesNotNameTheHost) {
  ScopedEnv trust("SSL_CERT_FILE", server_->caFile());
  fx.common().sessionLog = 1;
  fx.account().popStartTls = 1;  // to 127.0.0.1: the certificate names "localhost" only
  EXPECT_EQ(Open(), -1);
  EXPECT_EQ(fx.SessionLog().find("USER"), std::string::npos);
  EXPECT_TRUE(fx.HasActivity("[127.0.0.1]"));
  EXPECT_TRUE(fx.HasActivity("mismatch"));
}

TEST_F(DovecotPop3, TlsRefusedWithoutTrustInTheIssuer) {
  testing::TempFolder empty;
  ScopedEnv noTrust("SSL_CERT_FILE", empty.File("none.pem"));
  ScopedEnv noDir("SSL_CERT_DIR", empty.path());
  UseTls("localhost");
  EXPECT_EQ(Open(), -1);
  EXPECT_TRUE(fx.HasActivity("[localhost]"));
  EXPECT_TRUE(fx.HasActivity("certificate verify failed"));
}

TEST_F(DovecotPop3, TlsNoVerifyAccountAcceptsAnyCertificate) {
  testing::TempFolder empty;
  ScopedEnv noTrust("SSL_CERT_FILE", empty.File("none.pem"));
  UseTls("127.0.0.1");
  fx.account().tlsNoVerify = 1;
  EXPECT_GE(Open(), 0);
  Close();
  EXPECT_TRUE(fx.Activities().empty());
}

TEST_F(DovecotPop3, MarkAllAsForwardedThenNothingIsNew) {
  SetText(fx.account().popUser, "carol");
  SetText(fx.account().popPassword, "x");
  ASSERT_TRUE(server_->AddMessage("carol", "2000.a", "Subject: a\r\n\r\na\r\n"));
  ASSERT_TRUE(server_->AddMessage("carol", "2001.b", "Subject: b\r\n\r\nb\r\n"));
  EXPECT_EQ(MarkAllAsForwarded(fx.env(), fx.account(), fx.runtime()), 1);
  EXPECT_EQ(fx.runtime().storedCount(), 2);
  ASSERT_EQ(Open(), 2);
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  Close();
  EXPECT_FALSE(platform::FileExists(ReceivedMailPath(fx.env(), 1)));
  EXPECT_FALSE(platform::FileExists(ReceivedMailPath(fx.env(), 2)));
}

}  // namespace
}  // namespace velnora
