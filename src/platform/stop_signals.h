// SIGINT and SIGTERM as requests to stop, received by waiting for them
// instead of in a handler: they are blocked in every thread (call Block
// before starting any thread) and the main thread asks for them with Wait.
#pragma once

#include <cstdint>

namespace velnora::platform {

class StopSignals {
 public:
  // Blocks SIGINT and SIGTERM for this thread and the threads it starts.
  StopSignals();
  // Unblocks them again (pending ones are taken first).
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits up to `timeoutMs` for one of them: its number, or 0.
  int Wait(int64_t timeoutMs);
};

}  // namespace velnora::platform
