#include "platform/stop_signals.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace velnora::platform {
namespace {

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

StopSignals::StopSignals() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

StopSignals::~StopSignals() {
  // A signal that arrived meanwhile was already taken as a stop request.
  while (Wait(0) != 0) {
  }
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

int StopSignals::Wait(int64_t timeoutMs) {
  const sigset_t set = StopSet();
  if (timeoutMs < 0) timeoutMs = 0;
  timespec timeout{static_cast<time_t>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000000)};
  for (;;) {
    const int signal = sigtimedwait(&set, nullptr, &timeout);
    if (signal > 0) return signal;
    if (errno != EINTR) return 0;
  }
}

}  // namespace velnora::platform
