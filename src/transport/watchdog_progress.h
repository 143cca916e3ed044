// The worker's sign of life during a transfer, counted in bytes moved, not
// in calls: a peer that sends one byte at a time must not look like a
// transfer that moves, or the watchdog would never see the pass hang.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

namespace velnora {

// Bytes a transfer must move before it counts as alive once more.
inline constexpr int64_t kWatchdogProgressBytes = 4096;

class WatchdogProgress {
 public:
  explicit WatchdogProgress(std::atomic<int64_t>& lastActivityTick) : tick_(lastActivityTick) {}

  // `totalBytes`: what the transfer has moved so far.
  void Moved(int64_t totalBytes) {
    if (totalBytes - reported_ < kWatchdogProgressBytes) return;
    reported_ = totalBytes;
    tick_ = platform::TickMs();
  }

 private:
  std::atomic<int64_t>& tick_;
  int64_t reported_ = 0;
};

}  // namespace velnora
