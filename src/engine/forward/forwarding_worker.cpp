#include "engine/forward/forwarding_worker.h"

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/text_format.h"

namespace velnora {

ForwardingWorker::ForwardingWorker(WorkerState& state, ActivityLog& log, Pass pass,
                                   std::function<void()> abortIo)
    : state_(state), log_(log), pass_(std::move(pass)), abortIo_(std::move(abortIo)) {
  Start();
}

ForwardingWorker::~ForwardingWorker() { StopThread(current_); }

void ForwardingWorker::Start() {
  current_ = std::make_unique<Thread>();
  Thread& self = *current_;
  self.thread = std::thread([this, &self] { Main(self); });
}

void ForwardingWorker::StopThread(std::unique_ptr<Thread>& thread) {
  if (!thread) return;
  {
    std::lock_guard lock(thread->mutex);
    thread->quit = true;
  }
  thread->wake.notify_all();
  if (thread->thread.joinable()) thread->thread.join();
  thread.reset();
}

void ForwardingWorker::Main(Thread& self) {
  std::unique_lock lock(self.mutex);
  for (;;) {
    self.wake.wait(lock, [&] { return self.resume || self.quit; });
    if (self.quit) break;
    self.resume = false;
    self.running = true;
    lock.unlock();
    if (!state_.flags.passGuard) {
      pass_();
    } else {
      log_.WriteSessionLog("****:" + Sprintf("%lld", static_cast<long long>(platform::TickMs())) +
                           "ERROR REPORT: Launching thread rejected by semaphore.\r\n");
    }
    lock.lock();
    self.running = false;
    self.idle.notify_all();
  }
  self.finished = true;
  self.idle.notify_all();
}

bool ForwardingWorker::Resume(int trigger) {
  if (state_.flags.passActive) return false;
  Thread& self = *current_;
  {
    std::lock_guard lock(self.mutex);
    if (self.running || self.resume) return false;
    // A pass that outlived a failed restart has ended by now: its abort must
    // not stop this one, or every later pass would do nothing.
    if (state_.flags.abortPass.exchange(false)) {
      log_.AddActivity(SJIS(u8"応答しなかった通信スレッドが終了しました。転送を再開します。"), Category::ServerNotice, nullptr);
    }
    state_.trigger = trigger;
    state_.flags.lastActivityTick = platform::TickMs();
    self.resume = true;
  }
  self.wake.notify_all();
  return true;
}

bool ForwardingWorker::WaitIdle(int64_t timeoutMs) {
  Thread& self = *current_;
  std::unique_lock lock(self.mutex);
  return self.idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return !self.running && !self.resume; });
}

ForwardingWorker::WatchdogResult ForwardingWorker::CheckWatchdog(bool restartStuckWorker,
                                                                 int64_t limitMs,
                                                                 int64_t joinTimeoutMs) {
  if (!state_.flags.passActive || !restartStuckWorker || state_.uiOperationActive)
    return WatchdogResult::Quiet;
  int64_t now = platform::TickMs();
  int64_t elapsed = now - state_.flags.lastActivityTick.load();
  if (elapsed <= limitMs) return WatchdogResult::Busy;

  // A thread cannot be killed safely: make its I/O fail and its loops end,
  // then wait for it to come back.
  state_.flags.abortPass = true;
  if (abortIo_) abortIo_();
  Thread& old = *current_;
  bool ended;
  {
    std::unique_lock lock(old.mutex);
    ended = old.idle.wait_for(lock, std::chrono::milliseconds(joinTimeoutMs),
                              [&] { return !old.running; });
  }
  if (!ended) {
    // The pass still runs: starting another now would run two at once. Keep
    // it marked active; the next tick tries again.
    log_.AddActivity(SJIS(u8"通信スレッドのリスタートに失敗しました。"), Category::ServerNotice, nullptr);
    return WatchdogResult::RestartFailed;
  }
  StopThread(current_);
  state_.flags.abortPass = false;
  state_.flags.passActive = false;
  Start();
  log_.AddActivity(SJIS(u8"通信スレッドが指定時間以上ビジーなので、スレッドをリスタートしました。"), Category::ServerNotice, nullptr);
  state_.flags.passGuard = false;
  return WatchdogResult::Restarted;
}

}  // namespace velnora
