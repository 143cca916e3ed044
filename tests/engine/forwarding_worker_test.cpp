#include "engine/forward/forwarding_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "config/settings_image.h"
#include "platform/codepage.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

class WorkerTest : public ::testing::Test {
 protected:
  WorkerTest()
      : common(std::make_unique<CommonSettings>()),
        log(reporter, *common, dir.File("velnora_.log"), dir.File("velnora_session.log")) {}

  // A pass as the runner does it: marks itself active and runs `body`.
  std::function<void()> Pass(std::function<void()> body) {
    return [this, body] {
      state.flags.passGuard = true;
      state.flags.passActive = true;
      ++passes;
      seenTriggers.push_back(state.trigger.load());
      body();
      state.flags.passActive = false;
      state.flags.passGuard = false;
    };
  }

  testing::TempFolder dir;
  testing::RecordingReporter reporter;
  std::unique_ptr<CommonSettings> common;
  ActivityLog log;
  WorkerState state;
  std::atomic<int> passes{0};
  std::vector<int> seenTriggers;  // written by the worker only while a pass runs
};

TEST_F(WorkerTest, RunsOnePassPerResumeOnItsOwnThread) {
  std::thread::id passThread;
  ForwardingWorker worker(state, log, Pass([&] { passThread = std::this_thread::get_id(); }), nullptr);
  ASSERT_TRUE(worker.Resume(kTriggerStartCommand));
  ASSERT_TRUE(worker.WaitIdle(5000));
  ASSERT_TRUE(worker.Resume(kTriggerPollTick));
  ASSERT_TRUE(worker.WaitIdle(5000));
  EXPECT_EQ(passes, 2);
  EXPECT_NE(passThread, std::this_thread::get_id());
  EXPECT_EQ(seenTriggers, (std::vector<int>{kTriggerStartCommand, kTriggerPollTick}));
}

TEST_F(WorkerTest, ResumeWhileAPassRunsIsRefused) {
  std::mutex m;
  std::condition_variable cv;
  bool release = false;
  ForwardingWorker worker(state, log, Pass([&] {
                            std::unique_lock lock(m);
                            cv.wait(lock, [&] { return release; });
                          }),
                          nullptr);
  ASSERT_TRUE(worker.Resume(kTriggerPollTick));
  while (!state.flags.passActive) std::this_thread::yield();
  EXPECT_FALSE(worker.Resume(kTriggerPollTick));
  {
    std::lock_guard lock(m);
    release = true;
  }
  cv.notify_all();
  ASSERT_TRUE(worker.WaitIdle(5000));
  EXPECT_EQ(passes, 1);
}

TEST_F(WorkerTest, WatchdogRestartsAHungWorkerByAbortingItsIo) {
  // The "I/O" hangs until the watchdog aborts it.
  std::mutex m;
  std::condition_variable cv;
  bool aborted = false;
  auto abortIo = [&] {
    std::lock_guard lock(m);
    aborted = true;
    cv.notify_all();
  };
  ForwardingWorker worker(state, log, Pass([&] {
                            std::unique_lock lock(m);
                            if (aborted) return;  // the pass after the restart
                            cv.wait(lock, [&] { return aborted; });
                            EXPECT_TRUE(state.flags.ShouldStop()) << "the pass sees the abort";
                          }),
                          abortIo);
  ASSERT_TRUE(worker.Resume(kTriggerPollTick));
  while (!state.flags.passActive) std::this_thread::yield();

  EXPECT_EQ(worker.CheckWatchdog(true, 60000), ForwardingWorker::WatchdogResult::Busy);
  EXPECT_EQ(worker.CheckWatchdog(false, 0), ForwardingWorker::WatchdogResult::Quiet);
  state.flags.lastActivityTick = state.flags.lastActivityTick - 5000;
  EXPECT_EQ(worker.CheckWatchdog(true, 1000), ForwardingWorker::WatchdogResult::Restarted);
  EXPECT_FALSE(state.flags.passActive);
  EXPECT_FALSE(state.flags.ShouldStop()) << "forwarding stays started after a restart";
  EXPECT_EQ(reporter.ActivityTexts().back(),
            SJIS(u8"通信スレッドが指定時間以上ビジーなので、スレッドをリスタートしました。"));
  // The new worker takes the next pass.
  ASSERT_TRUE(worker.Resume(kTriggerPollTick));
  ASSERT_TRUE(worker.WaitIdle(5000));
  EXPECT_EQ(passes, 2);
}

TEST_F(WorkerTest, WatchdogNeverStartsASecondPassBesideOneThatWillNotEnd) {
  std::atomic<bool> release{false};
  std::atomic<bool> laterPassStopped{false};
  ForwardingWorker worker(state, log, Pass([&] {
                            if (passes > 1) laterPassStopped = state.flags.ShouldStop();
                            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                          }),
                          nullptr);
  ASSERT_TRUE(worker.Resume(kTriggerPollTick));
  while (!state.flags.passActive) std::this_thread::yield();
  state.flags.lastActivityTick = state.flags.lastActivityTick - 5000;
  EXPECT_EQ(worker.CheckWatchdog(true, 1000, 50), ForwardingWorker::WatchdogResult::RestartFailed);
  EXPECT_TRUE(state.flags.passActive);
  EXPECT_FALSE(worker.Resume(kTriggerPollTick));
  EXPECT_EQ(reporter.ActivityTexts().back(), SJIS(u8"通信スレッドのリスタートに失敗しました。"));
  release = true;
  ASSERT_TRUE(worker.WaitIdle(5000));
  EXPECT_EQ(passes, 1);

  // Once the hung pass has ended, the next pass runs instead of seeing the
  // old abort as a stop; the recovery is reported.
  ASSERT_TRUE(worker.Resume(kTriggerPollTick));
  ASSERT_TRUE(worker.WaitIdle(5000));
  EXPECT_EQ(passes, 2);
  EXPECT_FALSE(laterPassStopped) << "a stale abort stops every later pass";
  EXPECT_EQ(reporter.ActivityTexts().back(),
            SJIS(u8"応答しなかった通信スレッドが終了しました。転送を再開します。"));
}

}  // namespace
}  // namespace velnora
