// The forwarding worker: one thread that runs one pass per resume and then
// waits, and the watchdog that replaces a worker whose pass hangs.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/worker_state.h"
#include "report/activity_log.h"

namespace velnora {

class ForwardingWorker {
 public:
  using Pass = std::function<void()>;
  // `pass` runs one pass (PassRunner::RunPass); `abortIo` shuts down the
  // sockets the worker has open, so a hung read or write returns at once.
  ForwardingWorker(WorkerState& state, ActivityLog& log, Pass pass, std::function<void()> abortIo);
  ~ForwardingWorker();
  ForwardingWorker(const ForwardingWorker&) = delete;
  ForwardingWorker& operator=(const ForwardingWorker&) = delete;

  // Interface thread: run one pass for `trigger`. False (nothing happens)
  // while a pass is active.
  bool Resume(int trigger);
  // Waits until no pass runs; false after `timeoutMs`.
  bool WaitIdle(int64_t timeoutMs);

  enum class WatchdogResult { Quiet, Busy, Restarted, RestartFailed };
  // Called on each poll tick that finds a pass active: when the worker has
  // shown no sign of life for stuckWorkerMinutes, aborts its I/O, waits up to
  // `joinTimeoutMs` for it and starts a new worker.
  WatchdogResult CheckWatchdog(bool restartStuckWorker, int64_t limitMs, int64_t joinTimeoutMs = 10000);

 private:
  // One worker thread and what it shares with the interface thread.
  struct Thread {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    bool resume = false;
    bool quit = false;
    bool running = false;  // inside a pass
    bool finished = false; // the thread function returned
    std::thread thread;
  };
  void Start();
  void Main(Thread& self);
  void StopThread(std::unique_ptr<Thread>& thread);

  WorkerState& state_;
  ActivityLog& log_;
  Pass pass_;
  std::function<void()> abortIo_;
  std::unique_ptr<Thread> current_;
};

}  // namespace velnora
