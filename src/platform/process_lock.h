// One forwarding process per settings folder: an exclusive lock on a lock
// file in that folder. The lock belongs to the open file, so the system
// drops it when the process ends in any way, a crash or SIGKILL included;
// it can never be left stale.
#pragma once

#include <string>

namespace velnora::platform {

inline constexpr char kProcessLockFileName[] = "velnora.lock";

class ProcessLock {
 public:
  ProcessLock() = default;
  ~ProcessLock();
  ProcessLock(const ProcessLock&) = delete;
  ProcessLock& operator=(const ProcessLock&) = delete;

  enum class Result { Acquired, HeldElsewhere, Failed };
  // Takes the lock on "velnora.lock" in `folder` without waiting.
  Result Acquire(const std::string& folder);
  void Release();
  bool held() const { return fd_ >= 0; }
  // The process id written by the holder (0 when unknown).
  static long HolderPid(const std::string& folder);

 private:
  int fd_ = -1;
};

}  // namespace velnora::platform
