// The poll pass with parallelAccounts: how many accounts are in their
// check at once, that each due account is checked once, and that
// "Disconnect" lets the checks in progress end and starts no new one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "config/settings_defaults.h"
#include "engine/forward/passes.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

// Each check waits (at most 2 s) until `want` checks have been in progress
// at once, so the most seen is exact rather than a matter of timing.
class LaneOperations : public AccountOperations {
 public:
  int OpenRcvSession(int) override { return 0; }
  void CloseSession(int, bool) override {}
  int OpenSendSession(int) override { return 0; }
  int SmtpGreet(int) override { return 1; }
  bool SendRset(int) override { return true; }
  int MarkAllAsForwarded(int) override { return 1; }
  int DeleteHandledMails(int, HandledDeletion&) override { return 1; }
  int MailCount(int) override { return 0; }
  void SetStartIndex(int, int) override {}
  void SaveUidlStore() override {}
  void ReloadSettings() override {}
  void FwdProc(int account) override {
    std::unique_lock lock(mutex);
    ++checks[account];
    ++started;
    most = std::max(most, ++inFlight);
    changed.notify_all();
    changed.wait_for(lock, std::chrono::seconds(2), [&] { return most >= want || started >= total; });
    if (stopAt == started && stop) stop->store(true);
    --inFlight;
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::map<int, int> checks;
  int inFlight = 0, most = 0, started = 0, want = 1, total = 0, stopAt = -1;
  std::atomic<bool>* stop = nullptr;
};

struct LaneCase {
  int parallelAccounts;
  int accounts;
  int expectedAtOnce;
};

class ParallelPollTest : public ::testing::TestWithParam<LaneCase> {};

TEST_P(ParallelPollTest, DueAccountsAreCheckedOnceWithUpToThatManyAtOnce) {
  const LaneCase c = GetParam();
  testing::TempFolder dir;
  testing::RecordingReporter reporter;
  auto image = std::make_unique<SettingsImage>();
  MakeFreshTable(*image, DisplayArea{1920, 1080});
  ActivityLog log(reporter, image->common, dir.File("velnora_.log"), dir.File("velnora_session.log"));
  WorkerState state;
  LaneOperations ops;
  PassRunner runner(*image, log, state, ops);
  image->common.parallelAccounts = int16_t(c.parallelAccounts);
  for (int i = 0; i < c.accounts; ++i) {
    image->accounts[i * 3].enabled = 1;  // every third slot: gaps in the list
    image->accounts[i * 3].pollInterval = 1;
  }
  ops.want = c.expectedAtOnce;
  ops.total = c.accounts;
  state.flags.connected = true;
  state.trigger = kTriggerPollTick;
  runner.RunPass();

  EXPECT_EQ(ops.most, c.expectedAtOnce);
  ASSERT_EQ(int(ops.checks.size()), c.accounts);
  for (const auto& [account, count] : ops.checks) {
    EXPECT_EQ(account % 3, 0);
    EXPECT_EQ(count, 1) << account;
  }

  // "Disconnect" during the first checks: those end, no further one starts.
  ops.checks.clear();
  ops.started = ops.most = 0;
  ops.stop = &state.flags.stopRequested;
  ops.stopAt = c.expectedAtOnce;
  runner.RunPass();
  EXPECT_EQ(int(ops.checks.size()), std::min(c.expectedAtOnce, c.accounts));
  EXPECT_FALSE(state.flags.connected);
  EXPECT_FALSE(state.flags.stopRequested);
}

INSTANTIATE_TEST_SUITE_P(Lanes, ParallelPollTest,
                         ::testing::Values(LaneCase{0, 5, 1}, LaneCase{1, 5, 1}, LaneCase{4, 9, 4},
                                           LaneCase{32, 40, 32}, LaneCase{32, 3, 3}, LaneCase{200, 40, 32}));

}  // namespace
}  // namespace velnora
