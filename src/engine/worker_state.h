// State shared by the interface thread and the forwarding worker. Every
// member is atomic: one side writes, the other polls, and no lock is taken.
#pragma once

#include <atomic>

#include "platform/worker_flags.h"

namespace velnora {

// Why the worker was resumed.
enum Trigger : int {
  kTriggerNone = 0,
  kTriggerPollTick = 101,      // the one-minute poll timer
  kTriggerAutoConnect = 102,   // the auto-connect countdown ran out
  kTriggerStartCommand = 40053, // "Start forwarding"
  kTriggerQuit = 40015         // quitting with deleteAllOnQuit: delete what was handled
};

struct WorkerState {
  platform::WorkerFlags flags;
  std::atomic<int> trigger{kTriggerNone};
  // Poll ticks since forwarding was started; every start pass resets it.
  std::atomic<int> tickCount{0};
  // The interface thread holds passActive for a settings operation; the
  // watchdog stays quiet meanwhile.
  std::atomic<bool> uiOperationActive{false};
  std::atomic<int> forwardedTotal{0};
  std::atomic<int> fwdProcRuns{0};
};

}  // namespace velnora
