// The forwarding of one account against scripted POP3 and SMTP servers: what
// is fetched, what is sent, what is recorded per message, what is kept for
// the next check and what is deleted.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "engine/forwarding_setup.h"
#include "engine/forward/fwd_proc.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/net.h"
#include "support/fake_server.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "transport/uidl/uidl_store.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::RecordingReporter;
using testing::SetText;
using testing::TempFolder;

struct Mail {
  std::string uidl;
  std::string text;  // as stored on the server (CR LF, already dot-stuffed)
};

std::string MailText(int n) { return "Subject: mail " + std::to_string(n) + "\r\n\r\nbody " + std::to_string(n) + "\r\n"; }

std::vector<Mail> Mailbox(int count) {
  std::vector<Mail> box;
  for (int n = 1; n <= count; ++n) box.push_back({"uid-" + std::to_string(n), MailText(n)});
  return box;
}

// Greeting, USER/PASS and STAT for a mailbox of `count` messages.
FakeServer& Login(FakeServer& s, int count) {
  return s.Send("+OK ready\r\n")
      .Expect("USER u\r\n").Send("+OK\r\n")
      .ExpectPrefix("PASS ").Send("+OK\r\n")
      .Expect("STAT\r\n").Send("+OK " + std::to_string(count) + " 100\r\n");
}

FakeServer& Listing(FakeServer& s, const std::vector<Mail>& box) {
  std::string reply = "+OK\r\n";
  for (std::size_t i = 0; i < box.size(); ++i) reply += std::to_string(i + 1) + " " + box[i].uidl + "\r\n";
  return s.Expect("UIDL\r\n").Send(reply + ".\r\n");
}

FakeServer& Retr(FakeServer& s, int number, const std::string& text) {
  const std::string n = std::to_string(number);
  return s.Expect("LIST " + n + "\r\n").Send("+OK " + n + " 100\r\n")
      .Expect("RETR " + n + "\r\n").Send("+OK\r\n" + text + ".\r\n");
}

FakeServer& Quit(FakeServer& s) { return s.Expect("QUIT\r\n").Send("+OK bye\r\n"); }

// One accepted message in its own session: the composed text below has
// three lines and the end line.
FakeServer& SmtpAccept(FakeServer& s, const std::string& dataReply = "250 queued\r\n") {
  s.Send("220 mx\r\n").ExpectPrefix("HELO ").Send("250 mx\r\n")
      .Expect("RSET\r\n").Send("250 ok\r\n")
      .ExpectPrefix("MAIL FROM:").Send("250 ok\r\n")
      .Expect("RCPT TO: <dest@velnora.test>\r\n").Send("250 ok\r\n")
      .Expect("DATA\r\n").Send("354 go\r\n")
      .ReadLine().ReadLine().ReadLine().Expect(".\r\n").Send(dataReply);
  if (dataReply.starts_with("250")) s.Expect("QUIT\r\n").Send("221 bye\r\n");
  return s;
}

// A port on which nothing listens.
// The outcome of a message that was not handled, as the forwarding status records it.
constexpr int16_t kNotHandled = 99;

uint16_t DeadPort() { return platform::FreeLoopbackPort(20000, 32000); }

class FwdProcTest : public ::testing::Test {
 protected:
  FwdProcTest() : ctx(reporter, SettingsLocation(folder.path(), "")) {
    testing::PrepareForwardingContext(ctx, reporter, folder, 5);
    AccountSettings& a = testing::LoopbackAccount(account(), "acc", "u", "secret");
    SetText(a.myAddress, "me@velnora.test");
    SetText(a.forwardTo, "dest@velnora.test");
    a.accountNumber = 0;

    steps.filter = [this](Context&, MailMessage& message, int) {
      message.resultCode = Category::Forwarded;
      filtered.push_back(message.index);
      subjects.emplace_back(message.subject);
      if (onFilter) onFilter();
      return filterResult;
    };
    steps.compose = [this](Context& c, MailMessage& message, int, int, int) {
      std::ofstream(c.tempFolder + "/$vnrdiv0.vnr", std::ios::binary)
          << "orig@velnora.test\r\nSubject: m" << message.index << "\r\n\r\nbody\r\n";
      message.partNumber = 1;
      return 1;
    };
    steps.overflowNotice = [this](Context&, int, std::string_view) {
      ++notices;
      return std::string("no-reply@velnora.invalid\r\nSubject: over\r\n\r\ntext\r\n");
    };
  }

  AccountSettings& account() { return ctx.account(0); }
  AccountRuntime& runtime() { return ctx.runtimeOf(0); }

  void AimAt(uint16_t popPort, uint16_t smtpPort) {
    account().popPort = int16_t(popPort);
    account().smtpPort = int16_t(smtpPort);
  }
  void Store(const std::vector<std::string>& uidls) {
    for (std::size_t p = 0; p < uidls.size(); ++p) runtime().SetStoredUidl(int(p), uidls[p]);
    runtime().SetStoredCount(int(uidls.size()));
  }
  void Run() { FwdProc(ctx, 0, message, steps); }
  int16_t Result(int position) const {
    return int16_t(CategoryNumber(ctx.runtime->accounts[0].forwardStatus[std::size_t(position)].resultCode));
  }
  bool Shown(const std::string& text) const {
    const auto texts = reporter.ActivityTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
  bool TempFileLeft(int number) const {
    return platform::FileExists(folder.File("$vnrmail" + std::to_string(number) + ".vnr"));
  }

  TempFolder folder;
  RecordingReporter reporter;
  Context ctx;
  MailMessage message;
  MessageSteps steps;
  std::vector<int> filtered;
  std::vector<std::string> subjects;
  std::function<void()> onFilter;
  int filterResult = 1;
  int notices = 0;
};

TEST_F(FwdProcTest, ForwardsOnlyNewMessagesAndRemembersThem) {
  const auto box = Mailbox(3);
  Store({"uid-1"});
  FakeServer pop, smtp;
  Retr(Retr(Listing(Login(pop, 3), box), 2, box[1].text), 3, box[2].text);
  Quit(pop);
  SmtpAccept(smtp).NextConnection();
  SmtpAccept(smtp);
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  Run();
  pop.Wait();
  smtp.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(smtp.Failures(), std::vector<std::string>{});
  EXPECT_EQ(filtered, (std::vector<int>{1, 2}));
  EXPECT_EQ(ctx.stats.forwardedCount[0], 2);
  EXPECT_EQ(ctx.stats.serverMailCount[0], 3);
  EXPECT_EQ(ctx.worker.forwardedTotal, 2);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(runtime().StoredUidl(p), box[std::size_t(p)].uidl);
  EXPECT_EQ(Result(0), kNotHandled);
  EXPECT_EQ(Result(1), 0);
  EXPECT_EQ(Result(2), 0);
  EXPECT_FALSE(TempFileLeft(2));
  EXPECT_FALSE(TempFileLeft(3));
  EXPECT_NE(std::string(account().lastCheckTime), "");
  // The forwarding log holds one line per forwarded message.
  std::ifstream log(folder.File("velnora_.log"));
  int lines = 0;
  for (std::string line; std::getline(log, line);) lines += line.starts_with("V1;0;") ? 1 : 0;
  EXPECT_EQ(lines, 2);
}

TEST_F(FwdProcTest, UnreachableSmtpServerKeepsTheMessageForTheNextCheck) {
  const auto box = Mailbox(1);
  FakeServer pop;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(runtime().StoredUidl(0), "");
  EXPECT_EQ(Result(0), kNotHandled);
  EXPECT_EQ(ctx.stats.forwardedCount[0], 0);
  EXPECT_TRUE(Shown(SJIS(u8"SMTPサーバーへ接続できません")));
}

struct RefusalCase {
  const char* name;
  bool noResendOn550;
  const char* reply;
  bool keptUidl;
  int16_t result;
};

class FwdProcRefusal : public FwdProcTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(FwdProcRefusal, PermanentRefusalIsRecordedTemporaryIsRetried) {
  const RefusalCase& c = GetParam();
  account().noResendOn550 = c.noResendOn550;
  const auto box = Mailbox(1);
  FakeServer pop, smtp;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text));
  SmtpAccept(smtp, c.reply);
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  Run();
  pop.Wait();
  smtp.Wait();
  EXPECT_EQ(runtime().StoredUidl(0), c.keptUidl ? "uid-1" : "");
  EXPECT_EQ(Result(0), c.result);
  const bool rowWith21 = std::any_of(reporter.rows.begin(), reporter.rows.end(),
                                     [](const ActivityRow& row) { return row.code == 21; });
  EXPECT_EQ(rowWith21, c.result == 21);
}

INSTANTIATE_TEST_SUITE_P(Replies, FwdProcRefusal,
                         ::testing::Values(RefusalCase{"Permanent550", true, "554 no\r\n", true, 21},
                                           RefusalCase{"PermanentWithoutPolicy", false, "554 no\r\n", false, kNotHandled},
                                           RefusalCase{"Temporary", true, "451 later\r\n", false, kNotHandled}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(FwdProcTest, StopDuringTheLoopMakesTheRestNewAgain) {
  const auto box = Mailbox(3);
  FakeServer pop;
  Quit(Retr(Retr(Retr(Listing(Login(pop, 3), box), 1, box[0].text), 2, box[1].text), 3, box[2].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  filterResult = 0;  // filtered: no SMTP needed
  onFilter = [this] { ctx.worker.flags.stopRequested = true; };
  Run();
  pop.Wait();
  EXPECT_EQ(filtered, std::vector<int>{0});
  EXPECT_EQ(runtime().StoredUidl(0), "uid-1");
  EXPECT_EQ(runtime().StoredUidl(1), "");
  EXPECT_EQ(runtime().StoredUidl(2), "");
  EXPECT_EQ(Result(1), kNotHandled);
  EXPECT_EQ(ctx.stats.filteredCount[0], 1);
}

TEST_F(FwdProcTest, ReverseOrderLoadsTheRightFileAndEmptiesItsUidlOnFailure) {
  account().reversePopOrder = 1;
  const auto box = Mailbox(5);
  Store({"uid-1", "uid-2", "uid-3", "uid-4"});
  FakeServer pop;
  Quit(Retr(Listing(Login(pop, 5), box), 5, box[4].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(filtered, std::vector<int>{4});
  EXPECT_EQ(runtime().StoredUidl(3), "uid-4");
  EXPECT_EQ(runtime().StoredUidl(4), "");
}

TEST_F(FwdProcTest, NoUidlModeScansAgainWhenTheMailboxShrank) {
  account().noUidl = 1;
  runtime().startIndex = 3;
  filterResult = 0;
  const auto box = Mailbox(2);
  FakeServer pop;
  Quit(Retr(Retr(Login(pop, 2), 1, box[0].text), 2, box[1].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_TRUE(Shown(SJIS(u8"サーバーのメールボックスの状態が更新されています　すべてのメールをスキャンします")));
  EXPECT_EQ(filtered, (std::vector<int>{0, 1}));
  EXPECT_EQ(runtime().startIndex, 2);
}

TEST_F(FwdProcTest, MarkAllForwardedStaysSetWhenThePop3ServerCannotBeReached) {
  account().markAllForwardedNext = 1;
  AimAt(DeadPort(), DeadPort());
  Run();
  EXPECT_EQ(int{account().markAllForwardedNext}, 1);
  EXPECT_TRUE(Shown(SJIS(u8"接続エラーが発生しました。「全メールを転送済にする」オプションはリセットされません。")));
  EXPECT_TRUE(filtered.empty());
}

TEST_F(FwdProcTest, OverflowSendsOneNoticeUntilTheCountFalls) {
  const int over = kMinHeldMails + 1;
  FakeServer pop, smtp;
  Quit(Login(pop, over)).NextConnection();
  Quit(Login(pop, over));
  SmtpAccept(smtp);
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  Run();
  EXPECT_EQ(int{account().overflowNotified}, 1);
  Run();
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(int{account().overflowNotified}, 1);
  smtp.Wait(2000);
  EXPECT_EQ(smtp.ConnectionsAccepted(), 1);
  EXPECT_TRUE(filtered.empty());
}

TEST_F(FwdProcTest, OverflowIsReArmedWhenTheCountFalls) {
  account().overflowNotified = 1;
  runtime().SetStoredCount(0);
  FakeServer pop;
  // Back within the limit: the next overflow is announced again.
  Login(pop, 0);
  Quit(pop);
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(int{account().overflowNotified}, 0);
}

TEST_F(FwdProcTest, SpamEraserCountsWithoutSendingAndDeletes) {
  account().deleteAfterForward = 1;
  account().spamEraser = 1;
  const auto box = Mailbox(2);
  FakeServer pop;
  Quit(Retr(Retr(Listing(Login(pop, 2), box), 1, box[0].text), 2, box[1].text)).NextConnection();
  Quit(Listing(Login(pop, 2), box).Expect("DELE 1\r\n").Send("+OK\r\n").Expect("DELE 2\r\n").Send("+OK\r\n"));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(ctx.stats.forwardedCount[0], 2);
  EXPECT_EQ(runtime().mailCount, 0);
}

TEST_F(FwdProcTest, NothingIsDeletedWhileTheForwardingLogCannotReachTheDisk) {
  ctx.log = std::make_unique<ActivityLog>(reporter, ctx.common(), folder.File("missing/velnora_.log"),
                                          folder.File("velnora_session.log"));
  ctx.log->SetOpenRetry(1, 0);
  account().deleteAfterForward = 1;
  account().spamEraser = 1;
  const auto box = Mailbox(1);
  FakeServer pop;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text)).NextConnection();
  Quit(Login(pop, 1));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(pop.Received().find("DELE"), std::string::npos);
  EXPECT_EQ(runtime().mailCount, 1);
}

TEST_F(FwdProcTest, DeletionFollowsTheUidlWhenTheMailboxWasRenumbered) {
  account().deleteAfterForward = 1;
  account().spamEraser = 1;
  filterResult = 1;
  const auto box = Mailbox(2);
  Store({"uid-1"});
  // Between the two sessions message 1 went away: uid-2 is now number 1.
  FakeServer pop;
  Quit(Retr(Listing(Login(pop, 2), box), 2, box[1].text)).NextConnection();
  Quit(Listing(Login(pop, 1), {box[1]}).Expect("DELE 1\r\n").Send("+OK\r\n"));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
}

TEST_F(FwdProcTest, AReceivedFileThatCannotBeLoadedIsFetchedAgain) {
  // The received file vanishes between fetching and loading.
  std::filesystem::create_symlink("/dev/null", folder.File("$vnrmail1.vnr"));
  const auto box = Mailbox(1);
  FakeServer pop;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_TRUE(filtered.empty());
  EXPECT_EQ(runtime().StoredUidl(0), "");
  EXPECT_EQ(Result(0), kNotHandled);
  EXPECT_TRUE(Shown(SJIS(u8"受信したメールを読み込めませんでした。このメールは次回のチェックで再度受信します。")));
}

TEST_F(FwdProcTest, AMessageThatCannotBeComposedIsNotCountedAsForwarded) {
  steps.compose = [](Context&, MailMessage& message, int, int, int) {
    message.partNumber = 0;
    return 0;
  };
  const auto box = Mailbox(1);
  FakeServer pop;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(ctx.stats.forwardedCount[0], 0);
  EXPECT_EQ(runtime().StoredUidl(0), "");
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// The watchdog's way out of a hung pass: the worker's sockets are shut down
// from another thread, the transfer fails at once and the pass winds down
// without recording the message it was fetching.
TEST_F(FwdProcTest, AHungTransferEndsWhenTheWorkersSocketsAreShutDown) {
  ctx.common().timeoutSec = 120;
  platform::SocketRegistry sockets;
  runtime().session.stream.AttachRegistry(&sockets);
  const auto box = Mailbox(1);
  FakeServer pop;
  Listing(Login(pop, 1), box).Expect("LIST 1\r\n").Send("+OK 1 100\r\n")
      .Expect("RETR 1\r\n").Send("+OK\r\nSubject: half\r\n").Hang(30000);
  pop.Start();
  AimAt(pop.port(), DeadPort());
  std::thread watchdog([&] {
    while (sockets.size() == 0) platform::SleepMs(10);
    platform::SleepMs(300);
    ctx.worker.flags.abortPass = true;
    sockets.ShutdownAll();
  });
  const int64_t start = platform::TickMs();
  Run();
  const int64_t elapsed = platform::TickMs() - start;
  watchdog.join();
  EXPECT_LT(elapsed, 5000);
  EXPECT_TRUE(filtered.empty());
  EXPECT_EQ(runtime().StoredUidl(0), "");
  EXPECT_FALSE(runtime().session.isOpen());
  EXPECT_EQ(sockets.size(), 0u);
  runtime().session.stream.AttachRegistry(nullptr);
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// Without UIDLs a message that could not be sent is found again only by its
// position: the next check starts there instead of after the mailbox.
TEST_F(FwdProcTest, NoUidlModeStartsTheNextCheckAtTheFirstMessageNotSent) {
  account().noUidl = 1;
  const auto box = Mailbox(3);
  int calls = 0;
  // The first message is filtered, the second cannot be sent, the third is filtered.
  steps.filter = [&](Context&, MailMessage& message, int) {
    message.resultCode = Category::Forwarded;
    return ++calls == 2 ? 1 : 0;
  };
  FakeServer pop;
  Quit(Retr(Retr(Retr(Login(pop, 3), 1, box[0].text), 2, box[1].text), 3, box[2].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(runtime().startIndex, 1);
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// The one-shot flags change once per event and the settings file changes
// with them: a reload at the next check (reloadSettingsEachCheck) or a start
// after a kill reads what this check decided.
struct OneShotCase {
  const char* name;
  bool markAll;             // else a mailbox over the held-mail limit
  bool noUidl;
  const char* noticeReply;  // the sink's answer to the overflow notice
  int expected;             // the flag in memory and in the file after the check
};

// markAllForwardedNext for the mark-all cases, overflowNotified for the others.
int FlagOf(const AccountSettings& a, bool markAll) {
  return markAll ? a.markAllForwardedNext : a.overflowNotified;
}

class FwdProcOneShot : public FwdProcTest, public ::testing::WithParamInterface<OneShotCase> {};

TEST_P(FwdProcOneShot, TheFlagIsConsumedInTheFileToo) {
  const OneShotCase& c = GetParam();
  account().noUidl = account().noUidlActive = c.noUidl;
  account().markAllForwardedNext = c.markAll;
  ASSERT_EQ(SaveSettings(*ctx.settings, ctx.location), SaveResult::Saved);
  FakeServer pop, smtp;
  if (c.markAll) {
    Quit(Listing(Login(pop, 2), Mailbox(2)));
  } else {
    Quit(Login(pop, kMinHeldMails + 1));
    SmtpAccept(smtp, c.noticeReply);
  }
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  Run();
  if (!c.noUidl) pop.Wait();
  EXPECT_EQ(FlagOf(account(), c.markAll), c.expected);
  auto saved = std::make_unique<SettingsImage>();
  SettingsLocation location(folder.path(), "");
  ASSERT_TRUE(LoadSettings(*saved, location, DisplayArea{}, false).valid);
  EXPECT_EQ(FlagOf(saved->accounts[0], c.markAll), c.expected);
  EXPECT_TRUE(filtered.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FwdProcOneShot,
    ::testing::Values(
        OneShotCase{"MarkAllWithUidls", true, false, "", 0},
        OneShotCase{"MarkAllWithoutUidls", true, true, "", 0},
        OneShotCase{"OverflowNoticeAccepted", false, false, "250 queued\r\n", 1},
        // A notice that did not go out is tried again at the next check.
        OneShotCase{"OverflowNoticeRefused", false, false, "554 no\r\n", 0}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// Which outcomes let deleteAfterForward remove the server copy.
struct DeleteCase {
  const char* name;
  int code;
  bool passes;          // the filter lets the message through (it is sent)
  bool forwardedHere;   // the duplicate check found this account's forwarding
  bool includingFiltered;
  bool deleted;
};

class FwdProcDeletion : public FwdProcTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(FwdProcDeletion, ForwardedOutcomesAreDeleted) {
  const DeleteCase& c = GetParam();
  account().deleteAfterForward = 1;
  account().deleteIncludingFiltered = c.includingFiltered;
  steps.filter = [&](Context&, MailMessage& message, int) {
    message.resultCode = static_cast<Category>(c.code);
    message.forwardedHere = c.forwardedHere;
    return c.passes ? 1 : 0;
  };
  const auto box = Mailbox(1);
  FakeServer pop, smtp;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text)).NextConnection();
  Listing(Login(pop, 1), box);
  if (c.deleted) pop.Expect("DELE 1\r\n").Send("+OK\r\n");
  Quit(pop);
  SmtpAccept(smtp);
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(pop.Received().find("DELE") != std::string::npos, c.deleted);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FwdProcDeletion,
    ::testing::Values(DeleteCase{"Forwarded", 0, true, false, false, true},
                      DeleteCase{"SenderReplaced", 25, true, false, false, true},
                      DeleteCase{"Duplicate", 5, false, false, false, false},
                      DeleteCase{"DuplicateOfOwnForwarding", 5, false, true, false, true},
                      DeleteCase{"Filtered", 12, false, false, false, false},
                      DeleteCase{"FilteredIncluded", 12, false, false, true, true}),
    [](const auto& p) { return std::string(p.param.name); });

// A message with nowhere to go is neither counted as forwarded nor deleted:
// it stays on the server and is tried again.
TEST_F(FwdProcTest, BlankDestinationsForwardNothingAndDeleteNothing) {
  SetText(account().forwardTo, "   ");
  account().deleteAfterForward = 1;
  const auto box = Mailbox(1);
  FakeServer pop, smtp;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text)).NextConnection();
  Quit(Listing(Login(pop, 1), box));
  smtp.Send("220 mx\r\n").ExpectPrefix("HELO ").Send("250 mx\r\n").Hang(200);
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Received().find("DELE"), std::string::npos);
  EXPECT_EQ(ctx.stats.forwardedCount[0], 0);
  EXPECT_EQ(runtime().StoredUidl(0), "");
  EXPECT_EQ(Result(0), kNotHandled);
  EXPECT_TRUE(Shown(SJIS(u8"転送先アドレスがないため、メールを転送できませんでした。")));
}

// The forwarding-log row is on the disk once the server has answered 250 to
// the end of the text, before the QUIT: a kill in between does not send the
// message again.
TEST_F(FwdProcTest, TheOutcomeIsRecordedBeforeTheQuit) {
  const auto box = Mailbox(1);
  FakeServer pop, smtp;
  Quit(Retr(Listing(Login(pop, 1), box), 1, box[0].text));
  smtp.Send("220 mx\r\n").ExpectPrefix("HELO ").Send("250 mx\r\n")
      .Expect("RSET\r\n").Send("250 ok\r\n")
      .ExpectPrefix("MAIL FROM:").Send("250 ok\r\n")
      .Expect("RCPT TO: <dest@velnora.test>\r\n").Send("250 ok\r\n")
      .Expect("DATA\r\n").Send("354 go\r\n")
      .ReadLine().ReadLine().ReadLine().Expect(".\r\n").Send("250 queued\r\n")
      .Expect("QUIT\r\n").Hang(1500);  // the QUIT stays unanswered for a while
  pop.Start();
  smtp.Start();
  AimAt(pop.port(), smtp.port());
  bool recordedAtQuit = false;
  std::thread watcher([&] {
    const int64_t end = platform::TickMs() + 10000;
    while (smtp.Received().find("QUIT") == std::string::npos && platform::TickMs() < end) platform::SleepMs(5);
    std::ifstream log(folder.File("velnora_.log"));
    for (std::string line; std::getline(log, line);) recordedAtQuit |= line.starts_with("V1;0;");
  });
  Run();
  watcher.join();
  pop.Wait();
  smtp.Wait();
  EXPECT_TRUE(recordedAtQuit);
  EXPECT_EQ(ctx.stats.forwardedCount[0], 1);
}

}  // namespace
}  // namespace velnora


namespace velnora {
namespace {

// Early ends of the fetch, in either order, with files of an earlier pass
// (or of another account) left in the temporary folder: every message is
// handled once over the checks it takes, and no leftover is taken for mail.
struct EarlyEndCase {
  const char* name;
  bool reverse;
  int fetchLimit;  // 0: no limit
  int mails;
  int runs;
  std::function<void(FakeServer&, const std::vector<Mail>&)> script;
  std::vector<int> handled;
};

class FwdProcEarlyEnd : public FwdProcTest, public ::testing::WithParamInterface<EarlyEndCase> {};

TEST_P(FwdProcEarlyEnd, FetchedMessagesAreForwardedAndTheRestFollows) {
  const EarlyEndCase& c = GetParam();
  account().reversePopOrder = c.reverse;
  ctx.common().limitFetch = c.fetchLimit > 0;
  ctx.common().fetchLimit = c.fetchLimit;
  filterResult = 0;
  for (int n = 1; n <= c.mails; ++n) {
    std::ofstream(folder.File("$vnrmail" + std::to_string(n) + ".vnr"), std::ios::binary)
        << "+OK\r\nSubject: stale\r\n\r\nleft over\r\n.\r\n";
  }
  const auto box = Mailbox(c.mails);
  FakeServer pop;
  c.script(pop, box);
  pop.Start();
  AimAt(pop.port(), DeadPort());
  for (int run = 0; run < c.runs; ++run) Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(filtered, c.handled);
  for (const auto& subject : subjects) EXPECT_EQ(subject.find("stale"), std::string::npos);
  for (const auto& text : reporter.ActivityTexts()) {
    EXPECT_EQ(text.find(SJIS(u8"テンポラリファイルがありません")), std::string::npos) << text;
  }
  for (int p = 0; p < c.mails; ++p) EXPECT_EQ(runtime().StoredUidl(p), box[std::size_t(p)].uidl);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, FwdProcEarlyEnd,
    ::testing::Values(
        EarlyEndCase{"ReverseWithFetchLimit", true, 2, 5, 3,
                     [](FakeServer& s, const std::vector<Mail>& box) {
                       Retr(Retr(Listing(Login(s, 5), box), 5, box[4].text), 4, box[3].text).NextConnection();
                       Retr(Retr(Listing(Login(s, 5), box), 3, box[2].text), 2, box[1].text).NextConnection();
                       Quit(Retr(Listing(Login(s, 5), box), 1, box[0].text));
                     },
                     {4, 3, 2, 1, 0}},
        EarlyEndCase{"ReverseWithRetrFailure", true, 0, 3, 2,
                     [](FakeServer& s, const std::vector<Mail>& box) {
                       Retr(Listing(Login(s, 3), box), 3, box[2].text)
                           .Expect("LIST 2\r\n").Send("+OK 2 100\r\n")
                           .Expect("RETR 2\r\n").Send("-ERR locked\r\n").NextConnection();
                       Quit(Retr(Retr(Listing(Login(s, 3), box), 2, box[1].text), 1, box[0].text));
                     },
                     {2, 1, 0}},
        EarlyEndCase{"ForwardWithListFailure", false, 0, 3, 2,
                     [](FakeServer& s, const std::vector<Mail>& box) {
                       Retr(Listing(Login(s, 3), box), 1, box[0].text)
                           .Expect("LIST 2\r\n").Send("-ERR no such message\r\n").NextConnection();
                       Quit(Retr(Retr(Listing(Login(s, 3), box), 2, box[1].text), 3, box[2].text));
                     },
                     {0, 1, 2}}),
    [](const auto& p) { return std::string(p.param.name); });

// A stop that arrives after the fetch ended, before anything was forwarded:
// nothing fetched stays recorded as known and no received file is left.
TEST_F(FwdProcTest, AStopAfterTheFetchLeavesTheFetchedMessagesNew) {
  const auto box = Mailbox(2);
  FakeServer pop;
  Retr(Retr(Listing(Login(pop, 2), box), 1, box[0].text), 2, box[1].text)
      .Expect("QUIT\r\n").Hang(500).Send("+OK bye\r\n");
  pop.Start();
  AimAt(pop.port(), DeadPort());
  std::thread stopper([&] {
    const int64_t end = platform::TickMs() + 5000;
    while (pop.Received().find("QUIT") == std::string::npos && platform::TickMs() < end) platform::SleepMs(5);
    ctx.worker.flags.stopRequested = true;
  });
  Run();
  stopper.join();
  pop.Wait();
  EXPECT_TRUE(filtered.empty());
  EXPECT_EQ(runtime().StoredUidl(0), "");
  EXPECT_EQ(runtime().StoredUidl(1), "");
  EXPECT_FALSE(TempFileLeft(1));
  EXPECT_FALSE(TempFileLeft(2));
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// Without UIDLs, with duplicate prevention off: a failed deletion keeps the
// position reached, and a message that failed is tried again without
// resending the handled ones after it.
struct NoUidlCase {
  const char* name;
  bool deleteAfterForward;
  int runs;
  std::function<void(FakeServer&, const std::vector<Mail>&)> script;
  std::vector<int> handled;
  int startIndex;
};

class FwdProcNoUidl : public FwdProcTest, public ::testing::WithParamInterface<NoUidlCase> {};

TEST_P(FwdProcNoUidl, NothingLostNothingSentTwice) {
  const NoUidlCase& c = GetParam();
  ctx.common().preventDuplicates = 0;
  account().noUidl = 1;
  account().deleteAfterForward = c.deleteAfterForward;
  account().deleteIncludingFiltered = c.deleteAfterForward;
  // Message 2 is to be sent the first time (the SMTP server is down); every
  // other message, and message 2 later, is filtered.
  bool sendTried = false;
  steps.filter = [&](Context&, MailMessage& message, int) {
    message.resultCode = Category::Forwarded;
    filtered.push_back(message.index);
    if (message.index != 1 || sendTried) return 0;
    sendTried = true;
    return 1;
  };
  const auto box = Mailbox(3);
  FakeServer pop;
  c.script(pop, box);
  pop.Start();
  AimAt(pop.port(), DeadPort());
  for (int run = 0; run < c.runs; ++run) Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(filtered, c.handled);
  EXPECT_EQ(runtime().startIndex, c.startIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FwdProcNoUidl,
    ::testing::Values(
        NoUidlCase{"RetryResendsOnlyTheFailedMessage", false, 2,
                   [](FakeServer& s, const std::vector<Mail>& box) {
                     Quit(Retr(Retr(Retr(Login(s, 3), 1, box[0].text), 2, box[1].text), 3, box[2].text)).NextConnection();
                     Quit(Retr(Login(s, 3), 2, box[1].text));
                   },
                   {0, 1, 2, 1}, 3},
        NoUidlCase{"FailedDeletionKeepsThePosition", true, 2,
                   [](FakeServer& s, const std::vector<Mail>& box) {
                     Quit(Retr(Retr(Retr(Login(s, 3), 1, box[0].text), 2, box[1].text), 3, box[2].text)).NextConnection();
                     s.Send("-ERR busy\r\n").NextConnection();  // the deletion session cannot log in
                     Quit(Retr(Login(s, 3), 2, box[1].text)).NextConnection();
                     s.Send("-ERR busy\r\n");
                   },
                   {0, 1, 2, 1}, 3}),
    [](const auto& p) { return std::string(p.param.name); });

// A message that can never be fetched (refused, or too large for the
// temporary folder) is given up after three checks and no longer blocks
// the messages after it; it stays on the server.
struct UnfetchableCase {
  const char* name;
  bool fileFails;
};

class FwdProcUnfetchable : public FwdProcTest, public ::testing::WithParamInterface<UnfetchableCase> {};

TEST_P(FwdProcUnfetchable, IsReportedAndSkipped) {
  const UnfetchableCase& c = GetParam();
  filterResult = 0;
  if (c.fileFails) std::filesystem::create_directory(folder.File("$vnrmail1.vnr"));
  const auto box = Mailbox(2);
  FakeServer pop;
  for (int run = 0; run < 3; ++run) {
    Listing(Login(pop, 2), box).Expect("LIST 1\r\n").Send("+OK 1 100\r\n").Expect("RETR 1\r\n")
        .Send(c.fileFails ? "+OK\r\n" + box[0].text + ".\r\n" : "-ERR cannot read\r\n").NextConnection();
  }
  Quit(Retr(Listing(Login(pop, 2), box), 2, box[1].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  for (int run = 0; run < 4; ++run) Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(filtered, std::vector<int>{1});
  EXPECT_EQ(runtime().StoredUidl(0), "");
  EXPECT_TRUE(Shown(SJIS(u8"1番目のメールは3回続けて受信できませんでした。このメールはサーバーに残し、次のメールから転送を続けます。")));
  EXPECT_EQ(Shown(SJIS(u8"受信したメールを一時フォルダに書き込めませんでした。ディスクの空き容量を確認してください。")), c.fileFails);
}

INSTANTIATE_TEST_SUITE_P(Causes, FwdProcUnfetchable,
                         ::testing::Values(UnfetchableCase{"Refused", false}, UnfetchableCase{"FileCannotBeWritten", true}),
                         [](const auto& p) { return std::string(p.param.name); });

// UIDL lines without a UIDL: each such message is forwarded once, and
// recognised by its content at the following checks.
TEST_F(FwdProcTest, AMessageListedWithoutUidlIsForwardedOnce) {
  filterResult = 0;
  const auto box = Mailbox(3);
  const std::string listing = "+OK\r\n1 \r\n2\r\n3 uid-3\r\n.\r\n";
  FakeServer pop;
  for (int run = 0; run < 2; ++run) {
    Login(pop, 3).Expect("UIDL\r\n").Send(listing);
    Retr(Retr(pop, 1, box[0].text), 2, box[1].text);
    if (run == 0) Retr(pop, 3, box[2].text);
    Quit(pop);
    if (run == 0) pop.NextConnection();
  }
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  Run();
  pop.Wait();
  EXPECT_EQ(pop.Failures(), std::vector<std::string>{});
  EXPECT_EQ(filtered, (std::vector<int>{0, 1, 2}));
}

// State that cannot be written (the UIDL store, the forwarding log): an
// error entry, and the account stops sending until it can be written.
struct UnwritableCase {
  const char* name;
  bool logFails;
};

class FwdProcUnwritable : public FwdProcTest, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(FwdProcUnwritable, StopsTheAccountWithAnErrorEntry) {
  const UnwritableCase& c = GetParam();
  ctx.common().trimHistory = 1;
  ctx.common().historyLimit = 4;  // the store is saved after every forwarding-log line
  if (c.logFails) {
    ctx.log = std::make_unique<ActivityLog>(reporter, ctx.common(), folder.File("missing/velnora_.log"),
                                            folder.File("velnora_session.log"));
    ctx.log->SetOpenRetry(1, 0);
  } else {
    std::filesystem::create_directory(ctx.location.UidlStorePath());
  }
  filterResult = 0;
  const auto box = Mailbox(2);
  FakeServer pop;
  Quit(Retr(Retr(Listing(Login(pop, 2), box), 1, box[0].text), 2, box[1].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  Run();
  pop.Wait();
  EXPECT_EQ(filtered, std::vector<int>{0});
  EXPECT_EQ(runtime().StoredUidl(1), "");
  EXPECT_TRUE(Shown(c.logFails ? SJIS(u8"転送履歴に書き込めませんでした。ディスクの空き容量を確認してください。書き込めるようになるまで転送を見合わせます。")
                               : SJIS(u8"UIDLの保存ファイルに書き込めませんでした。ディスクの空き容量を確認してください。書き込めるようになるまで転送を見合わせます。")));
  if (!c.logFails) {
    Run();  // still unwritable: no session is opened
    EXPECT_EQ(pop.ConnectionsAccepted(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FwdProcUnwritable,
    ::testing::Values(UnwritableCase{"UidlStore", false}, UnwritableCase{"ForwardingLog", true}),
    [](const auto& p) { return std::string(p.param.name); });

// With a trimmed forwarding log the UIDL store on the disk never lags far
// behind the log: after the second of three messages it holds the first.
TEST_F(FwdProcTest, TheUidlStoreIsSavedWithinALongAccount) {
  ctx.common().trimHistory = 1;
  ctx.common().historyLimit = 4;
  filterResult = 0;
  const auto box = Mailbox(3);
  FakeServer pop;
  Quit(Retr(Retr(Retr(Listing(Login(pop, 3), box), 1, box[0].text), 2, box[1].text), 3, box[2].text));
  pop.Start();
  AimAt(pop.port(), DeadPort());
  std::string onDisk;
  onFilter = [&] {
    if (filtered.size() != 3) return;
    RuntimeTables saved(kMinHeldMails);
    ASSERT_TRUE(LoadUidlStore(saved, ctx.location.UidlStorePath(), kMinHeldMails, "VEL_NORA4_SP4"));
    onDisk = std::string(saved.accounts[0].StoredUidl(0)) + "," + std::string(saved.accounts[0].StoredUidl(1));
  };
  Run();
  pop.Wait();
  EXPECT_EQ(onDisk, "uid-1,uid-2");
}

}  // namespace
}  // namespace velnora

