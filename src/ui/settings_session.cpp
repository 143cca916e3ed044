#include "ui/settings_session.h"

#include "config/settings_file.h"
#include "engine/context.h"
#include "engine/forward/forwarding_control.h"

namespace velnora::ui {

SettingsSession::SettingsSession(Context& ctx, ForwardingControl& forwarding) : ctx_(ctx), forwarding_(forwarding) {}

SettingsSession::Hold::~Hold() {
  if (session_) session_->Release();
}

SettingsSession::Hold SettingsSession::Begin() {
  if (holders_ == 0) {
    // Only this thread resumes the worker, so once passActive is ours no
    // pass can start until the hold ends.
    if (ctx_.worker.flags.passActive || !forwarding_.Idle()) return Hold();
    ctx_.worker.flags.passActive = true;
    ctx_.worker.uiOperationActive = true;
  }
  ++holders_;
  return Hold(this);
}

void SettingsSession::Release() {
  if (--holders_ > 0) return;
  ctx_.worker.uiOperationActive = false;
  ctx_.worker.flags.passActive = false;
}

bool SettingsSession::Commit() {
  const bool saved = SaveSettings(*ctx_.settings, ctx_.location) == SaveResult::Saved;
  Q_EMIT changed();
  return saved;
}

QString SettingsSession::BusyText() { return QStringLiteral("転送実行中は、環境設定を行うことはできません。"); }
QString SettingsSession::BusyTitle() { return QStringLiteral("転送実行中"); }

}  // namespace velnora::ui
