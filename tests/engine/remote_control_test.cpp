// Remote commands by subject: exact comparison with the password, the
// account number and the word; their effect on the suspension of accounts;
// the codes that decide whether the status report goes out; the report
// text; and that the password never reaches a list or log in clear.
#include "engine/filter/remote_control.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/filter_test_support.h"
#include "platform/codepage.h"

namespace velnora {
namespace {

using testing::SetText;

struct ParseCase {
  const char* subject;
  const char* password;
  RemoteCommand::Kind kind;
  int account;
};

class RemoteCommandParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RemoteCommandParseTest, ComparesExactly) {
  const ParseCase& c = GetParam();
  const RemoteCommand command = ParseRemoteCommand(RemoteCommandText(c.subject), c.password);
  EXPECT_EQ(command.kind, c.kind);
  if (c.kind == RemoteCommand::AccountOff || c.kind == RemoteCommand::AccountOn) {
    EXPECT_EQ(command.account, c.account);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Subjects, RemoteCommandParseTest,
    ::testing::Values(
        ParseCase{"Subject: pass 3 OFF", "pass", RemoteCommand::AccountOff, 3},
        ParseCase{"Subject: pass 0 ON", "pass", RemoteCommand::AccountOn, 0},
        ParseCase{"Subject: pass 399 ON", "pass", RemoteCommand::AccountOn, 399},
        ParseCase{"Subject:pass 12 OFF", "pass", RemoteCommand::AccountOff, 12},
        ParseCase{"Subject: pass ALL OFF", "pass", RemoteCommand::AllOff, -1},
        ParseCase{"Subject: pass ALL ON", "pass", RemoteCommand::AllOn, -1},
        ParseCase{"Subject: 123456789 ALL OFF", "123456789", RemoteCommand::AllOff, -1},
        ParseCase{"Subject: PASS 3 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass 03 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass 3 off", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass 400 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass +3 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass -0 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass -00 ON", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass -1 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass  3 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: pass 3 OFF now", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: Re: pass 3 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: passX 3 OFF", "pass", RemoteCommand::None, -1},
        ParseCase{"Subject: 12345678 ALL OFFX", "12345678", RemoteCommand::None, -1},
        // An empty password authorises nobody, whatever the subject.
        ParseCase{"Subject:  3 OFF", "", RemoteCommand::None, -1},
        ParseCase{"Subject: p 3 OFF", "p", RemoteCommand::AccountOff, 3},
        ParseCase{"Subject: p", "p", RemoteCommand::None, -1}));

class RemoteControlTest : public ::testing::Test {
 protected:
  RemoteControlTest() {
    tables.common().remoteControl = 1;
    tables.common().remoteStatusReport = 1;
    tables.common().sessionLog = 1;
    SetText(tables.common().remotePassword, "Secr3t");
    SetText(tables.account(0).accountName, "Home");
  }

  int Run(MailMessage& m, int receiver = 0) {
    return Filter_RemoteControl(m, receiver, *tables.settings, tables.log);
  }

  std::string FileText(const std::string& name) {
    std::ifstream in(tables.folder.File(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  testing::FilterTables tables;
};

TEST_F(RemoteControlTest, OffCommandSuspendsTheNamedAccountAndIsAnswered) {
  MailMessage m = testing::Parsed("From: a@b\r\nSubject: Secr3t 3 OFF\r\n\r\nx");
  EXPECT_EQ(Run(m), 1);
  EXPECT_EQ(m.resultCode, Category::RemoteAnswered);
  EXPECT_EQ(int(tables.account(3).remoteSuspended), 1);
  EXPECT_EQ(int(tables.account(0).remoteSuspended), 0);
  ASSERT_EQ(tables.reporter.rows.size(), 1u);
  EXPECT_EQ(tables.reporter.rows[0].code, 3);
  EXPECT_EQ(tables.reporter.ActivityTexts()[0],
            SJIS(u8"リモート操作：アカウント[3]の転送を停止しました"));
}

TEST_F(RemoteControlTest, OnAndAllCommandsChangeTheSuspensions) {
  MailMessage allOff = testing::Parsed("Subject: Secr3t ALL OFF\r\n\r\nx");
  Run(allOff);
  for (int i : {0, 1, 200, 399}) EXPECT_EQ(int(tables.account(i).remoteSuspended), 1) << i;
  MailMessage oneOn = testing::Parsed("Subject: Secr3t 200 ON\r\n\r\nx");
  Run(oneOn);
  EXPECT_EQ(int(tables.account(200).remoteSuspended), 0);
  EXPECT_EQ(int(tables.account(199).remoteSuspended), 1);
  MailMessage allOn = testing::Parsed("Subject: Secr3t ALL ON\r\n\r\nx");
  Run(allOn);
  for (int i : {0, 1, 199, 399}) EXPECT_EQ(int(tables.account(i).remoteSuspended), 0) << i;
  const auto texts = tables.reporter.ActivityTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], SJIS(u8"リモート操作：全てのアカウントの転送を停止しました"));
  EXPECT_EQ(texts[1], SJIS(u8"リモート操作：アカウント[200]の転送を再開しました"));
  EXPECT_EQ(texts[2], SJIS(u8"リモート操作：全てのアカウントの転送を再開しました"));
}

// Checks running side by side: a command changes the receiving account at
// once, every other account only when its next check begins.
TEST_F(RemoteControlTest, BesideOtherChecksOtherAccountsWaitForTheirNextCheck) {
  DeferredSuspensions deferred;
  MailMessage allOff = testing::Parsed("Subject: Secr3t ALL OFF\r\n\r\nx");
  EXPECT_EQ(Filter_RemoteControl(allOff, 5, *tables.settings, tables.log, &deferred), 1);
  EXPECT_EQ(int(tables.account(5).remoteSuspended), 1) << "the receiver";
  EXPECT_EQ(int(tables.account(7).remoteSuspended), 0) << "in the middle of its check";
  MailMessage oneOn = testing::Parsed("Subject: Secr3t 9 ON\r\n\r\nx");
  Filter_RemoteControl(oneOn, 5, *tables.settings, tables.log, &deferred);
  for (const auto& [account, expected] : {std::pair{7, 1}, std::pair{9, 0}, std::pair{399, 1}}) {
    deferred.ApplyTo(account, tables.account(account));
    EXPECT_EQ(int(tables.account(account).remoteSuspended), expected) << account;
  }
  tables.account(7).remoteSuspended = 0;
  deferred.ApplyTo(7, tables.account(7));
  EXPECT_EQ(int(tables.account(7).remoteSuspended), 0) << "applied once";
}

TEST_F(RemoteControlTest, WithoutStatusReportTheCommandIsAppliedButNotForwarded) {
  tables.common().remoteStatusReport = 0;
  MailMessage m = testing::Parsed("Subject: Secr3t 3 OFF\r\n\r\nx");
  EXPECT_EQ(Run(m), 0);
  EXPECT_EQ(m.resultCode, Category::RemoteNotAnswered);
  EXPECT_EQ(int(tables.account(3).remoteSuspended), 1);
}

TEST_F(RemoteControlTest, AnAccountThatIgnoresCommandsChangesNothing) {
  tables.account(0).ignoreRemoteControl = 1;
  MailMessage m = testing::Parsed("Subject: Secr3t 3 OFF\r\n\r\nx");
  EXPECT_EQ(Run(m), 0);
  EXPECT_EQ(m.resultCode, Category::RemoteNotAnswered);
  EXPECT_EQ(int(tables.account(3).remoteSuspended), 0);
  EXPECT_TRUE(tables.reporter.rows.empty());
}

TEST_F(RemoteControlTest, SuspendedAccountKeepsOrdinaryMailBackButObeysCommands) {
  tables.account(0).remoteSuspended = 1;
  MailMessage ordinary = testing::Parsed("Subject: hello there\r\n\r\nx");
  EXPECT_EQ(Run(ordinary), 0);
  EXPECT_EQ(ordinary.resultCode, Category::RemoteNotAnswered);
  MailMessage resume = testing::Parsed("Subject: Secr3t 0 ON\r\n\r\nx");
  EXPECT_EQ(Run(resume), 1);
  EXPECT_EQ(int(tables.account(0).remoteSuspended), 0);
}

TEST_F(RemoteControlTest, SwitchedOffRemoteControlLooksAtNothing) {
  tables.common().remoteControl = 0;
  tables.account(0).remoteSuspended = 1;
  MailMessage m = testing::Parsed("Subject: Secr3t 3 OFF\r\n\r\nx");
  EXPECT_EQ(Run(m), 1);
  EXPECT_EQ(m.resultCode, Category::Forwarded);
  EXPECT_EQ(int(tables.account(3).remoteSuspended), 0);
  EXPECT_EQ(m.subject, "Subject: Secr3t 3 OFF");
}

TEST_F(RemoteControlTest, PasswordIsMaskedBeforeAnyListOrLogSeesTheSubject) {
  MailMessage m = testing::Parsed("From: a@b\r\nSubject: Secr3t 3 OFF\r\n\r\nx");
  ASSERT_EQ(Run(m), 1);
  EXPECT_EQ(m.subject, "Subject: ****** 3 OFF");
  tables.log.AddMessageActivity(ActivityOf(m, 1), tables.account(0));
  tables.log.WriteSessionLog(std::string(m.subject) + "\r\n");
  for (const auto& row : tables.reporter.rows) {
    for (const auto& column : row.columns) EXPECT_EQ(column.find("Secr3t"), std::string::npos);
  }
  const std::string history = FileText("velnora_.log");
  EXPECT_NE(history.find("****** 3 OFF"), std::string::npos);
  EXPECT_EQ(history.find("Secr3t"), std::string::npos);
  EXPECT_EQ(FileText("velnora_session.log").find("Secr3t"), std::string::npos);
}

struct MaskCase {
  const char* subject;
  const char* shown;
};

class RemoteMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(RemoteMaskTest, MasksThePasswordOfEveryCommandAttemptOnly) {
  testing::FilterTables tables;
  tables.common().remoteControl = 1;
  SetText(tables.common().remotePassword, "pw");
  MailMessage m = testing::Parsed(std::string("Subject: ") + GetParam().subject + "\r\n\r\nx");
  Filter_RemoteControl(m, 0, *tables.settings, tables.log);
  EXPECT_EQ(m.subject, std::string("Subject: ") + GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Subjects, RemoteMaskTest,
                         ::testing::Values(MaskCase{"pw 3 OFF", "** 3 OFF"},
                                           MaskCase{"pw 400 OFF", "** 400 OFF"},
                                           MaskCase{"pw 3 of", "** 3 of"},
                                           MaskCase{"pw ALL off", "** ALL off"},
                                           MaskCase{"pw was changed", "pw was changed"},
                                           MaskCase{"pw 3 days left to register",
                                                    "pw 3 days left to register"},
                                           MaskCase{"pw 10 items", "pw 10 items"},
                                           MaskCase{"pw ALL done", "pw ALL done"},
                                           MaskCase{"pw -0 OFF", "pw -0 OFF"},
                                           MaskCase{"pwd 3 OFF", "pwd 3 OFF"},
                                           MaskCase{"Re: pw 3 OFF", "Re: pw 3 OFF"}));

TEST_F(RemoteControlTest, ReportListsEnabledAccountsWithPaddedState) {
  SetText(tables.account(2).accountName, "Work");
  SetText(tables.account(5).accountName, "Unused");
  tables.account(0).enabled = 1;
  tables.account(2).enabled = 1;
  tables.account(2).remoteSuspended = 1;
  EXPECT_EQ(BuildRemoteStatusReport(*tables.settings, 32768),
            "-REMOTE-\r\n0:ON :Home\r\n2:OFF:Work\r\n\r\n");
}

TEST_F(RemoteControlTest, ReportStopsListingNearItsCapacity) {
  for (int i = 0; i < kAccountCount; ++i) {
    tables.account(i).enabled = 1;
    SetText(tables.account(i).accountName, std::string(200, 'n'));
  }
  const std::size_t capacity = 2000;
  const std::string report = BuildRemoteStatusReport(*tables.settings, capacity);
  EXPECT_LT(report.size(), capacity);
  EXPECT_TRUE(report.ends_with("\r\n\r\n"));
  EXPECT_NE(report.find("\r\n8:ON :"), std::string::npos);
  EXPECT_EQ(report.find("\r\n9:ON :"), std::string::npos);
}

}  // namespace
}  // namespace velnora
