#include "engine/forward/forwarding_control.h"

#include "engine/forward/fwd_proc_steps.h"
#include "engine/history/history.h"
#include "platform/codepage.h"

namespace velnora {

ForwardingControl::ForwardingControl(Context& ctx)
    : ctx_(ctx),
      ops_(ctx, ProgramMessageSteps()),
      runner_(*ctx.settings, *ctx.log, ctx.worker, ops_),
      worker_(ctx.worker, *ctx.log, [this] { runner_.RunPass(); }, [this] { sockets_.ShutdownAll(); }) {
  for (int i = 0; i < kAccountCount; ++i) ctx.runtimeOf(i).session.stream.AttachRegistry(&sockets_);
}

ForwardingControl::~ForwardingControl() {
  for (int i = 0; i < kAccountCount; ++i) ctx_.runtimeOf(i).session.stream.AttachRegistry(nullptr);
}

bool ForwardingControl::Resume(int trigger) {
  if (ctx_.worker.flags.passActive) return false;
  TrimHistory(ctx_.common(), *ctx_.log, &ctx_.worker.flags.stopRequested);
  return worker_.Resume(trigger);
}

void ForwardingControl::RequestStop() {
  ctx_.worker.flags.stopRequested = true;
  ctx_.log->AddActivity(SJIS(u8"接続中止が要求されました。接続を切断しています..."), Category::ServerNotice, nullptr);
}

void ForwardingControl::DisconnectIdle() {
  if (ctx_.worker.flags.connected) {
    ctx_.log->AddActivity(SJIS(u8"接続中止が要求されました。接続を切断しています..."), Category::ServerNotice, nullptr);
    ctx_.log->AddActivity(SJIS(u8"接続を切断しました。再接続するためには、「接続」ボタンを押して下さい。"), Category::ServerNotice, nullptr);
  }
  ctx_.worker.flags.connected = false;
  ctx_.worker.flags.stopRequested = false;
}

ForwardingWorker::WatchdogResult ForwardingControl::Watchdog() {
  const CommonSettings& common = ctx_.common();
  return worker_.CheckWatchdog(common.restartStuckWorker != 0, int64_t(common.stuckWorkerMinutes) * 60 * 1000);
}

}  // namespace velnora
