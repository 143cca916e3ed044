#include "engine/forward/passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "config/settings_defaults.h"
#include "engine/forward/schedule.h"
#include "platform/codepage.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

// Scripted servers: records every call as "Op:account".
class FakeOperations : public AccountOperations {
 public:
  int OpenRcvSession(int a) override { return Log("OpenRcv", a), popFails.count(a) ? -1 : mailCount[a]; }
  void CloseSession(int a, bool quit) override { Log(quit ? "Close+QUIT" : "Close", a); }
  int OpenSendSession(int a) override { return Log("OpenSend", a), smtpFails.count(a) ? -1 : 0; }
  int SmtpGreet(int a) override { return Log("Greet", a), 1; }
  bool SendRset(int a) override { return Log("RSET", a), true; }
  int MarkAllAsForwarded(int a) override { return Log("MarkAll", a), 1; }
  int DeleteHandledMails(int a, HandledDeletion&) override { return Log("DeleteHandled", a), 1; }
  int MailCount(int a) override { return mailCount[a]; }
  void SetStartIndex(int a, int index) override { startIndex[a] = index; }
  void FwdProc(int a) override {
    Log("FwdProc", a);
    if (onFwdProc) onFwdProc(a);
  }
  void SaveUidlStore() override { Log("SaveUidl", -1); }
  void ReloadSettings() override {
    Log("Reload", -1);
    if (onReload) onReload();
  }

  int Log(const std::string& op, int a) {
    calls.push_back(op + ":" + std::to_string(a));
    return 0;
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }

  std::vector<std::string> calls;
  std::map<int, int> mailCount, startIndex;
  std::set<int> popFails, smtpFails;
  std::function<void(int)> onFwdProc;
  std::function<void()> onReload;
};

platform::CalendarTime MondayAt(int hour) {
  platform::CalendarTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 7;
  t.hour = hour;
  t.weekday = 1;
  return t;
}

class PassesTest : public ::testing::Test {
 protected:
  PassesTest()
      : image(std::make_unique<SettingsImage>()),
        log(reporter, image->common, dir.File("velnora_.log"), dir.File("velnora_session.log")),
        runner(*image, log, state, ops) {
    MakeFreshTable(*image, DisplayArea{1920, 1080});
    runner.SetClock([] { return MondayAt(10); });
  }

  AccountSettings& Enable(int i, const char* name) {
    AccountSettings& a = image->accounts[i];
    a.enabled = 1;
    std::snprintf(a.accountName, sizeof a.accountName, "%s", name);
    std::snprintf(a.popServer, sizeof a.popServer, "pop.example");
    std::snprintf(a.smtpServer, sizeof a.smtpServer, "smtp.example");
    std::snprintf(a.popUser, sizeof a.popUser, "user%d", i);
    std::snprintf(a.myAddress, sizeof a.myAddress, "me@example");
    std::snprintf(a.forwardTo, sizeof a.forwardTo, "dest@example");
    return a;
  }

  void Run(int trigger) {
    state.trigger = trigger;
    runner.RunPass();
  }

  testing::TempFolder dir;
  testing::RecordingReporter reporter;
  std::unique_ptr<SettingsImage> image;
  ActivityLog log;
  WorkerState state;
  FakeOperations ops;
  PassRunner runner;
};

TEST_F(PassesTest, StartRefusedWithoutEnabledAccountOrWithIncompleteOne) {
  Run(kTriggerStartCommand);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], SJIS(u8"すべてのアカウントが無効に設定されています。"));
  EXPECT_FALSE(state.flags.connected);
  EXPECT_TRUE(runner.startRefused());

  Enable(0, "first");
  AccountSettings& second = Enable(3, "");
  second.forwardTo[0] = '\0';
  Run(kTriggerStartCommand);
  ASSERT_EQ(reporter.messages.size(), 2u);
  EXPECT_EQ(reporter.messages[1], SJIS(u8"有効なアカウントに、設定されていない項目があります。") + "\n(user3)");
  EXPECT_EQ(ops.Count("OpenRcv:0"), 0) << "a refused start talks to no server";
  EXPECT_FALSE(state.flags.connected);
  // Spam-eraser mode needs no SMTP side.
  second.deleteAfterForward = second.spamEraser = 1;
  second.smtpServer[0] = '\0';
  Run(kTriggerStartCommand);
  EXPECT_FALSE(runner.startRefused());
  EXPECT_TRUE(state.flags.connected);
  EXPECT_EQ(ops.Count("OpenSend:3"), 0);
  EXPECT_EQ(ops.Count("FwdProc:3"), 1);
}

TEST_F(PassesTest, StartPassChecksServersAndGoesOnAfterAFailure) {
  Enable(0, "a");
  Enable(1, "b");
  Enable(2, "c");
  ops.popFails = {0};
  ops.smtpFails = {1};
  ops.mailCount[2] = 4;
  Run(kTriggerStartCommand);
  EXPECT_EQ(ops.Count("FwdProc:0"), 0);
  EXPECT_EQ(ops.Count("FwdProc:1"), 0);
  EXPECT_EQ(ops.Count("FwdProc:2"), 1);
  EXPECT_EQ(ops.Count("RSET:2"), 1);
  auto texts = reporter.ActivityTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), SJIS(u8"POPサーバーへ接続できません")), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), SJIS(u8"SMTPサーバーへ接続できません")), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      SJIS(u8"起動時：サーバー上に 4 通のメールがあります。履歴を確認します。")),
            texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), SJIS(u8"POP3/SMTPサーバーへの接続確認完了")), texts.end());
  EXPECT_TRUE(state.flags.connected);
  EXPECT_EQ(ops.calls.back(), "SaveUidl:-1") << "every pass ends by saving the UIDL store";
  EXPECT_EQ(state.tickCount, 0);
}

TEST_F(PassesTest, SkipRemainingAtStartupMarksEverythingForwarded) {
  AccountSettings& a = Enable(0, "a");
  a.skipRemainingAtStartup = 1;
  ops.mailCount[0] = 7;
  Run(kTriggerStartCommand);
  EXPECT_EQ(ops.Count("MarkAll:0"), 1);
  EXPECT_EQ(ops.Count("FwdProc:0"), 0);
  auto texts = reporter.ActivityTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      SJIS(u8"起動時：設定により、起動時にサーバーに残っている 7 通のメールは転送されません。")),
            texts.end());
  // Without UIDLs the position is remembered instead.
  a.noUidlActive = 1;
  Run(kTriggerStartCommand);
  EXPECT_EQ(ops.Count("MarkAll:0"), 1);
  EXPECT_EQ(ops.startIndex[0], 7);
}

TEST_F(PassesTest, PollIntervalSelectsTheTicks) {
  Enable(0, "every").pollInterval = 1;
  Enable(1, "third").pollInterval = 3;
  state.flags.connected = true;
  for (int tick = 1; tick <= 9; ++tick) Run(kTriggerPollTick);
  EXPECT_EQ(ops.Count("FwdProc:0"), 9);
  EXPECT_EQ(ops.Count("FwdProc:1"), 3);
  // A poll tick while not connected does nothing but save.
  state.flags.connected = false;
  Run(kTriggerPollTick);
  EXPECT_EQ(ops.Count("FwdProc:0"), 9);
}

TEST_F(PassesTest, ScheduleStopsTheMarkedHourOnly) {
  AccountSettings& a = Enable(0, "a");
  a.pollInterval = 1;
  a.useSchedule = 1;
  a.scheduleStops[0] = 1 << 23;  // Monday, 0:00-0:59
  EXPECT_FALSE(IsScheduledNow(a, MondayAt(0)));
  EXPECT_TRUE(IsScheduledNow(a, MondayAt(1)));
  platform::CalendarTime tuesday = MondayAt(0);
  tuesday.weekday = 2;
  EXPECT_TRUE(IsScheduledNow(a, tuesday));
  a.scheduleStops[6] = 1;  // Sunday, 23:00-23:59
  platform::CalendarTime sunday = MondayAt(23);
  sunday.weekday = 0;
  EXPECT_FALSE(IsScheduledNow(a, sunday));
  a.scheduleDropArrivals = 1;  // checked anyway; the filter drops
  EXPECT_TRUE(IsScheduledNow(a, sunday));

  a.scheduleDropArrivals = 0;
  runner.SetClock([] { return MondayAt(0); });
  state.flags.connected = true;
  Run(kTriggerPollTick);
  EXPECT_EQ(ops.Count("FwdProc:0"), 0);
  Run(kTriggerStartCommand);
  EXPECT_EQ(ops.Count("FwdProc:0"), 0);
  auto texts = reporter.ActivityTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), SJIS(u8"スケジュール設定により転送はスキップされました")),
            texts.end());
}

TEST_F(PassesTest, StopDuringPollEndsThePassAndDisconnects) {
  for (int i = 0; i < 5; ++i) Enable(i, "x").pollInterval = 1;
  state.flags.connected = true;
  ops.onFwdProc = [&](int account) {
    if (account == 1) state.flags.stopRequested = true;
  };
  Run(kTriggerPollTick);
  EXPECT_EQ(ops.Count("FwdProc:2"), 0);
  EXPECT_FALSE(state.flags.connected);
  EXPECT_FALSE(state.flags.stopRequested);
  EXPECT_EQ(reporter.ActivityTexts().back(),
            SJIS(u8"接続を切断しました。再接続するためには、「接続」ボタンを押して下さい。"));
  EXPECT_EQ(ops.calls.back(), "SaveUidl:-1");
}

TEST_F(PassesTest, ReloadBeforeACheckKeepsTheRunningMailNumber) {
  Enable(0, "a").pollInterval = 1;
  image->common.reloadSettingsEachCheck = 1;
  image->accounts[0].mailNumber = 42;
  ops.onReload = [&] { image->accounts[0].mailNumber = 3; };
  state.flags.connected = true;
  Run(kTriggerPollTick);
  EXPECT_EQ(ops.Count("Reload:-1"), 1);
  EXPECT_EQ(int{image->accounts[0].mailNumber}, 42);
}

TEST_F(PassesTest, SummaryFollowsTheForwardingState) {
  state.forwardedTotal = 5;
  state.fwdProcRuns = 2;
  state.flags.connected = true;
  runner.UpdateStatusSummary();
  state.flags.stopRequested = true;
  runner.UpdateStatusSummary();
  state.flags.stopRequested = false;
  state.flags.connected = false;
  runner.UpdateStatusSummary();
  ASSERT_EQ(reporter.summaries.size(), 3u);
  EXPECT_EQ(reporter.summaries[0].first,
            SJIS(u8"自動転送起動中... 5 通転送済み（自動接続回数 2 回）"));
  EXPECT_EQ(reporter.summaries[0].second, 1);
  EXPECT_EQ(reporter.summaries[1].first, SJIS(u8"接続を切断しています..."));
  EXPECT_EQ(reporter.summaries[2].first, SJIS(u8"サーバー未接続（停止中）"));
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// The UIDL store is saved after each account, before the next one talks to
// its servers, in both kinds of pass: a crash loses one account's changes.
TEST_F(PassesTest, TheUidlStoreIsSavedBeforeTheNextAccount) {
  Enable(0, "a").pollInterval = 1;
  Enable(1, "b").pollInterval = 1;
  for (int trigger : {kTriggerStartCommand, kTriggerPollTick}) {
    ops.calls.clear();
    Run(trigger);
    const auto first = std::find(ops.calls.begin(), ops.calls.end(), "FwdProc:0");
    const auto second = std::find(ops.calls.begin(), ops.calls.end(), "OpenRcv:1");
    const auto secondPoll = std::find(ops.calls.begin(), ops.calls.end(), "FwdProc:1");
    ASSERT_NE(first, ops.calls.end()) << trigger;
    const auto next = std::min(second, secondPoll);
    ASSERT_NE(next, ops.calls.end()) << trigger;
    EXPECT_NE(std::find(first, next, "SaveUidl:-1"), next) << trigger;
  }
}

}  // namespace
}  // namespace velnora
