// What an interface thread does with forwarding, whether it is velnora-cli's
// loop or the desktop window's timers: resume the worker for a trigger, stop
// a running pass, disconnect between passes and watch for a hung pass. The
// worker thread lives as long as this object; destroying it joins the thread.
#pragma once

#include "engine/context.h"
#include "engine/forward/forwarding_worker.h"
#include "engine/forward/passes.h"
#include "engine/forward/transport_operations.h"
#include "platform/net.h"

namespace velnora {

class ForwardingControl {
 public:
  explicit ForwardingControl(Context& ctx);
  ~ForwardingControl();
  ForwardingControl(const ForwardingControl&) = delete;
  ForwardingControl& operator=(const ForwardingControl&) = delete;

  // One resume for `trigger`, the history trimmed first. False while a pass runs.
  bool Resume(int trigger);
  // No pass runs and none is about to start.
  bool Idle() { return worker_.WaitIdle(0); }
  // Waits up to `timeoutMs` for the running pass to end.
  bool WaitIdle(int64_t timeoutMs) { return worker_.WaitIdle(timeoutMs); }
  // "Disconnect" while a pass runs: the pass winds down.
  void RequestStop();
  // "Disconnect" between passes.
  void DisconnectIdle();
  // On a poll tick that finds a pass still running.
  ForwardingWorker::WatchdogResult Watchdog();

  bool startRefused() const { return runner_.startRefused(); }

 private:
  Context& ctx_;
  platform::SocketRegistry sockets_;
  TransportOperations ops_;
  PassRunner runner_;
  ForwardingWorker worker_;
};

}  // namespace velnora
