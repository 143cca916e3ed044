// Flags shared between the interface thread and the forwarding worker.
// They are the only state both threads touch without a lock, so each is an
// atomic; a pass reads them between steps.
#pragma once

#include <atomic>
#include <cstdint>

namespace velnora::platform {

struct WorkerFlags {
  std::atomic<bool> passActive{false};    // a pass is running
  std::atomic<bool> passGuard{false};     // settings commands hold the worker off
  std::atomic<bool> stopRequested{false}; // "Disconnect" or quit: wind the pass down
  std::atomic<bool> connected{false};     // forwarding is started
  std::atomic<int64_t> lastActivityTick{0};  // monotonic ms of the worker's last sign of life
  // The watchdog gave up on a hung pass: wind it down like a stop, but
  // forwarding stays started.
  std::atomic<bool> abortPass{false};

  // What every loop and wait of a pass tests.
  bool ShouldStop() const { return stopRequested.load() || abortPass.load(); }
};

}  // namespace velnora::platform
