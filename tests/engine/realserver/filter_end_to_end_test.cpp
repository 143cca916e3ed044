// The filter stage inside the forwarding of an account, between a real
// Dovecot and a real SMTP server (aiosmtpd): remote control, returned mail,
// the bounce guard and the mailbox-overflow notice as the destinations see
// them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "config/settings_defaults.h"
#include "engine/compose/compose.h"
#include "engine/forwarding_setup.h"
#include "engine/forward/fwd_proc.h"
#include "engine/filter/mail_filter.h"
#include "engine/compose/system_notice.h"
#include "support/dovecot_server.h"
#include "support/recording_reporter.h"
#include "support/smtp_server.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "transport/pop3/pop3_client.h"

namespace velnora {
namespace {

using testing::DovecotServer;
using testing::FileText;
using testing::RecordingReporter;
using testing::SetText;
using testing::SinkMail;
using testing::SmtpSink;
using testing::TempFolder;

constexpr char kDestination[] = "dest@velnora.test";
constexpr char kPassword[] = "Secr3t";

class FilterEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dovecot_ = new DovecotServer(std::vector<testing::DovecotUser>{{"alice", "wonderland"}}); }
  static void TearDownTestSuite() {
    delete dovecot_;
    dovecot_ = nullptr;
  }

  FilterEndToEnd() : sink(sinkFolder.path()), ctx(reporter, SettingsLocation(folder.path(), "")) {
    testing::PrepareForwardingContext(ctx, reporter, folder, 10);
    AccountSettings& a = testing::LoopbackAccount(ctx.account(0), "home", "alice", "wonderland");
    a.accountNumber = 0;
    SetText(a.myAddress, "me@velnora.test");
    SetText(a.forwardTo, kDestination);
    steps.filter = [](Context& c, MailMessage& m, int i) { return MailFilterProc(c, m, i); };
    steps.compose = [](Context& c, MailMessage& m, int i, int flags, int mode) {
      return CreateSentMailFile(c, m, i, flags, mode);
    };
    steps.overflowNotice = [](Context& c, int i, std::string_view text) {
      return ComposeOverflowNotice(c.account(i), text);
    };
  }

  void SetUp() override {
    ASSERT_TRUE(dovecot_->ready()) << dovecot_->error();
    ASSERT_TRUE(sink.ready());
    ctx.account(0).popPort = int16_t(dovecot_->pop3Port());
    ctx.account(0).smtpPort = int16_t(sink.plainPort());
    EmptyMailbox();
  }
  void TearDown() override { EmptyMailbox(); }

  void EmptyMailbox() {
    auto env = ctx.Env();
    DeleteAllMails(env, ctx.account(0), ctx.runtimeOf(0));
  }
  void Add(const std::string& text) {
    ASSERT_TRUE(dovecot_->AddMessage("alice", std::to_string(1000 + added_++) + ".m", text));
  }
  void Run() { FwdProc(ctx, 0, message, steps); }
  std::string History() { return FileText(folder.File("velnora_.log")); }
  std::string SessionLog() { return FileText(folder.File("velnora_session.log")); }

  static DovecotServer* dovecot_;
  int added_ = 0;
  TempFolder folder;
  TempFolder sinkFolder;
  SmtpSink sink;
  RecordingReporter reporter;
  Context ctx;
  MailMessage message;
  MessageSteps steps;
};
DovecotServer* FilterEndToEnd::dovecot_ = nullptr;

TEST_F(FilterEndToEnd, RemoteOffSuspendsTheAccountAndTheAnswerReachesTheDestinations) {
  ctx.common().remoteControl = 1;
  ctx.common().remoteStatusReport = 1;
  SetText(ctx.common().remotePassword, kPassword);
  Add("From: owner@elsewhere.test\r\nTo: me@velnora.test\r\nSubject: Secr3t 3 OFF\r\n"
      "Message-ID: <cmd1@elsewhere.test>\r\n\r\nplease\r\n");
  Run();
  EXPECT_EQ(int(ctx.account(3).remoteSuspended), 1);
  EXPECT_EQ(int(ctx.account(0).remoteSuspended), 0);
  const auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{kDestination});
  EXPECT_NE(mails[0].data.find("Subject: ****** 3 OFF"), std::string::npos) << mails[0].data;
  EXPECT_EQ(mails[0].data.find(kPassword), std::string::npos);
  // The report replaces the command mail's body.
  EXPECT_NE(mails[0].data.find("\r\n\r\n-REMOTE-\r\n"), std::string::npos) << mails[0].data;
  EXPECT_NE(mails[0].data.find("-REMOTE-\r\n0:ON :home\r\n\r\n"), std::string::npos) << mails[0].data;
  EXPECT_EQ(mails[0].data.find("please"), std::string::npos) << mails[0].data;
  EXPECT_NE(History().find("V1;19;"), std::string::npos) << History();
  EXPECT_EQ(History().find(kPassword), std::string::npos);
  EXPECT_EQ(SessionLog().find(kPassword), std::string::npos);
}

TEST_F(FilterEndToEnd, SuspendedAccountForwardsNothingUntilResumed) {
  ctx.common().remoteControl = 1;
  ctx.common().remoteStatusReport = 0;
  SetText(ctx.common().remotePassword, kPassword);
  Add("From: owner@elsewhere.test\r\nSubject: Secr3t 0 OFF\r\nMessage-ID: <c2@e.test>\r\n\r\nx\r\n");
  Add("From: friend@elsewhere.test\r\nSubject: hello\r\nMessage-ID: <h1@e.test>\r\n\r\nhi\r\n");
  Run();
  EXPECT_EQ(int(ctx.account(0).remoteSuspended), 1);
  EXPECT_TRUE(sink.Mails().empty());
  EXPECT_EQ(ctx.stats.filteredCount[0], 2);
}

TEST_F(FilterEndToEnd, DeliveryReportsAndReturnedMailStayBehind) {
  Add("From: MAILER-DAEMON@mx.test\r\nTo: me@velnora.test\r\nSubject: Undelivered Mail\r\n"
      "Message-ID: <dsn1@mx.test>\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/report; report-type=delivery-status;\r\n\tboundary=\"b1\"\r\n"
      "\r\n--b1\r\nContent-Type: text/plain\r\n\r\nfailed\r\n--b1\r\n"
      "Content-Type: message/delivery-status\r\n\r\nStatus: 5.1.1\r\n--b1--\r\n");
  Add("From: postmaster@mx.test\r\nTo: me@velnora.test\r\n"
      "Subject: Returned mail: see transcript for details\r\nMessage-ID: <ret1@mx.test>\r\n"
      "\r\nThe original message was received\r\n");
  Add("From: friend@elsewhere.test\r\nTo: me@velnora.test\r\n"
      "Subject: Re: Returned mail: see transcript for details\r\nMessage-ID: <re1@e.test>\r\n"
      "\r\nthat bounce was mine\r\n");
  Run();
  const auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_NE(mails[0].data.find("that bounce was mine"), std::string::npos);
  EXPECT_EQ(ctx.stats.filteredCount[0], 2);
  EXPECT_NE(History().find("V1;1;"), std::string::npos);
}

TEST_F(FilterEndToEnd, MailFromADestinationIsStoppedByTheBounceGuard) {
  ctx.account(0).noForwardFromDest = 1;
  Add("From: \"Dest\" <dest@velnora.test>\r\nTo: me@velnora.test\r\nSubject: loop\r\n"
      "Message-ID: <loop1@velnora.test>\r\n\r\nround and round\r\n");
  Add("From: friend@elsewhere.test\r\nTo: me@velnora.test\r\nSubject: fine\r\n"
      "Message-ID: <fine1@e.test>\r\n\r\nok\r\n");
  Run();
  const auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_NE(mails[0].data.find("Subject: fine"), std::string::npos);
  EXPECT_NE(History().find("V1;9;"), std::string::npos) << History();
}

TEST_F(FilterEndToEnd, OverflowSendsOneNoticePerOverflow) {
  ctx.runtime = std::make_unique<RuntimeTables>(3);
  for (int n = 0; n < 4; ++n) {
    Add("From: f@e.test\r\nSubject: m" + std::to_string(n) + "\r\nMessage-ID: <o" +
        std::to_string(n) + "@e.test>\r\n\r\nx\r\n");
  }
  Run();
  Run();
  auto mails = sink.Mails();
  ASSERT_EQ(mails.size(), 1u);
  const std::string& notice = mails[0].data;
  EXPECT_NE(notice.find("Subject: Velnora Mailbox Overflow Notification"), std::string::npos);
  EXPECT_NE(notice.find("From: Velnora-System <no-reply@velnora.invalid>"), std::string::npos);
  EXPECT_NE(notice.find("To: dest@velnora.test"), std::string::npos);
  EXPECT_NE(notice.find("POP Server: 127.0.0.1"), std::string::npos);
  EXPECT_EQ(notice.find("\r\n.\r\n"), std::string::npos) << "stray end line in " << notice;
  EXPECT_EQ(int(ctx.account(0).overflowNotified), 1);

  // Within the limit again: the notice is re-armed, and a new overflow sends another.
  EmptyMailbox();
  Run();
  EXPECT_EQ(int(ctx.account(0).overflowNotified), 0);
  for (int n = 4; n < 8; ++n) {
    Add("From: f@e.test\r\nSubject: m" + std::to_string(n) + "\r\nMessage-ID: <o" +
        std::to_string(n) + "@e.test>\r\n\r\nx\r\n");
  }
  Run();
  mails = sink.Mails();
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_NE(mails[1].data.find("Subject: Velnora Mailbox Overflow Notification"),
            std::string::npos);
}

}  // namespace
}  // namespace velnora
