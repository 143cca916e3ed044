// The program's forwarding against real servers: a settings folder written
// like the desktop program writes it, a Context started from it, and the
// passes run with the program's own filter, composition and transport.
#pragma once

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "engine/context.h"
#include "engine/forward/fwd_proc_steps.h"
#include "engine/forwarding_setup.h"
#include "engine/forward/passes.h"
#include "engine/forward/transport_operations.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora::testing {

inline int CountOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
  return count;
}

// The settings image that the test fills before Start writes it.
class ForwardingRig {
 public:
  ForwardingRig() : runtimeEnv_("XDG_RUNTIME_DIR", runtimeDir_.path()), image_(std::make_unique<SettingsImage>()) {
    MakeFreshTable(*image_, {});
    image_->common.sessionLog = 1;
    image_->common.customTimeout = 1;
    image_->common.timeoutSec = 10;
  }

  SettingsImage& settings() { return ctx_ ? *ctx_->settings : *image_; }
  const std::string& folder() const { return settingsDir_.path(); }
  std::string ForwardingLog() const { return FileText(settingsDir_.File("velnora_.log")); }
  std::string SessionLog() const { return FileText(settingsDir_.File("velnora_session.log")); }
  RecordingReporter& reporter() { return reporter_; }
  Context& ctx() { return *ctx_; }

  // An account checked without the program's pauses.
  AccountSettings& Account(int i, const std::string& name, uint16_t popPort, const std::string& user,
                           const std::string& password, uint16_t smtpPort) {
    AccountSettings& a = LoopbackAccount(image_->accounts[i], name, user, password);
    a.popPort = int16_t(popPort);
    a.smtpPort = int16_t(smtpPort);
    SetText(a.myAddress, name + "@velnora.test");
    SetText(a.forwardTo, "dest-" + name + "@velnora.test");
    a.pollInterval = 1;
    return a;
  }

  // Writes the settings file (for velnora-cli run in this folder).
  bool WriteSettings() {
    SettingsLocation location(settingsDir_.path(), "");
    location.EnterCurrentFolderMode();
    return SaveSettings(*image_, location) == SaveResult::Saved;
  }

  // Writes the settings file and starts the program's context from it.
  bool Start(MessageSteps steps = ProgramMessageSteps()) {
    if (!WriteSettings()) return false;
    ctx_ = std::make_unique<Context>(reporter_, SettingsLocation(settingsDir_.path(), ""));
    if (!ctx_->StartUp()) return false;
    ctx_->log->SetOpenRetry(2, 100);
    ops_ = std::make_unique<TransportOperations>(*ctx_, std::move(steps));
    runner_ = std::make_unique<PassRunner>(*ctx_->settings, *ctx_->log, ctx_->worker, *ops_);
    return true;
  }

  void StartPass() {
    ctx_->worker.trigger = kTriggerStartCommand;
    runner_->RunPass();
  }
  // A poll tick on which every account is due.
  void PollPass() {
    ctx_->worker.tickCount = 0;
    ctx_->worker.trigger = kTriggerPollTick;
    runner_->RunPass();
  }
  // Quitting with deleteAllOnQuit.
  void QuitPass() {
    ctx_->worker.trigger = kTriggerQuit;
    runner_->RunPass();
  }
  // The rows of category `code` so far.
  int Rows(int code) const {
    return int(std::count_if(reporter_.rows.begin(), reporter_.rows.end(),
                             [&](const ActivityRow& row) { return row.code == code; }));
  }

 private:
  TempFolder settingsDir_;
  TempFolder runtimeDir_;
  ScopedEnv runtimeEnv_;  // the private folder of the received files
  RecordingReporter reporter_;
  std::unique_ptr<SettingsImage> image_;
  std::unique_ptr<Context> ctx_;
  std::unique_ptr<TransportOperations> ops_;
  std::unique_ptr<PassRunner> runner_;
};

}  // namespace velnora::testing
