// velnora-cli run [--once]
#include "cli/run_command.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "cli/command_table.h"
#include "cli/settings_folder_lock.h"
#include "engine/context.h"
#include "engine/forward/forwarding_control.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/process_lock.h"
#include "platform/stop_signals.h"
#include "platform/text_format.h"
#include "config/settings_file.h"
#include "report/log_fields.h"

namespace velnora::cli {
namespace {

// Activity rows as one UTF-8 line each: time, account, category, subject,
// sender, recipient. Messages (a refused start) go to the error stream.
class RunReporter : public Reporter {
 public:
  RunReporter(std::FILE* out, std::FILE* err, DisplayArea screen) : out_(out), err_(err), screen_(screen) {}

  void ActivityAdded(const ActivityRow& row) override {
    std::lock_guard lock(mutex_);
    const std::string& category = CategoryText(row.code);
    std::fprintf(out_, "%s | %s | %s | %s | %s | %s\n", ConsoleText(row.columns[2]).c_str(),
                 ConsoleText(row.columns[1]).c_str(),
                 category.empty() ? std::to_string(row.code).c_str() : ConsoleText(category).c_str(),
                 ConsoleText(row.columns[3]).c_str(), ConsoleText(row.columns[4]).c_str(),
                 ConsoleText(row.columns[5]).c_str());
    std::fflush(out_);
  }
  void ActivityCleared() override {}
  void StatusChanged(std::string_view, int) override {}
  void AccountListChanged(int) override {}
  Answer Ask(std::string_view, std::string_view) override { return Answer::No; }
  void Tell(std::string_view text, std::string_view title) override {
    std::lock_guard lock(mutex_);
    // A message box's lines stay lines.
    std::string lines;
    for (std::size_t at = 0; at <= text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      lines += (at ? "\n" : "") + ConsoleText(text.substr(at, end - at));
      at = end + 1;
    }
    std::fprintf(err_, "%s: %s\n", ConsoleText(title).c_str(), lines.c_str());
    std::fflush(err_);
  }
  ScreenSize Screen() const override { return screen_; }

 private:
  std::FILE* out_;
  std::FILE* err_;
  DisplayArea screen_;
  std::mutex mutex_;
};

// The interface thread's loop: the start pass, then (unless `once`) a poll
// tick every minute, with the watchdog on a tick that finds a pass still
// running. A stop signal winds a running pass down like "Disconnect", or
// disconnects between passes. Returns when forwarding has stopped.
void InterfaceLoop(ForwardingControl& forwarding, Context& ctx, platform::StopSignals& signals, bool once) {
  ctx.worker.flags.stopRequested = false;
  forwarding.Resume(kTriggerStartCommand);
  bool stopAsked = false;
  int64_t nextTick = platform::TickMs() + kPollTickMs;
  for (;;) {
    const int64_t wait = std::clamp<int64_t>(nextTick - platform::TickMs(), 0, 100);
    if (signals.Wait(wait) != 0 && !stopAsked) {
      stopAsked = true;
      if (!forwarding.Idle()) {
        forwarding.RequestStop();
      } else {
        forwarding.DisconnectIdle();
        return;
      }
    }
    if (forwarding.Idle() && (once || stopAsked || !ctx.worker.flags.connected || forwarding.startRefused())) return;
    if (platform::TickMs() < nextTick) continue;
    nextTick += kPollTickMs;
    if (!forwarding.Idle()) {
      forwarding.Watchdog();
    } else {
      forwarding.Resume(kTriggerPollTick);
    }
  }
}

int Run(CliContext& context, std::span<const std::string> args) {
  bool once = false;
  for (const std::string& arg : args) {
    if (arg == "--once") once = true;
    else return Fail(context, "run takes only --once");
  }
  return RunForwarding(context, once);
}

constexpr CliCommand kCommands[] = {
    {"run", "[--once]",
     "forward as the desktop program does, without a window: the start pass, then a check "
     "every minute until SIGINT or SIGTERM (--once: the start pass only)",
     Run},
};

}  // namespace

int RunForwarding(CliContext& context, bool once) {
  const std::string folder = SettingsFolder(context.location);
  platform::ProcessLock lock;
  switch (lock.Acquire(folder)) {
    case platform::ProcessLock::Result::Acquired: break;
    case platform::ProcessLock::Result::HeldElsewhere: {
      const long pid = platform::ProcessLock::HolderPid(folder);
      return Fail(context, "another Velnora process" + (pid ? " (pid " + std::to_string(pid) + ")" : std::string()) +
                               " is forwarding with the settings in " + folder + "; not started");
    }
    case platform::ProcessLock::Result::Failed:
      return Fail(context, "cannot create the lock file in " + folder);
  }

  // Before any thread starts, so that only the main thread takes them.
  platform::StopSignals signals;
  RunReporter reporter(context.out, context.err, context.screen);
  Context ctx(reporter, SettingsLocation(context.location));
  if (!ctx.StartUp()) return kExitError;
  ctx.AnnounceStartUp();

  int status = kExitOk;
  {
    ForwardingControl forwarding(ctx);
    InterfaceLoop(forwarding, ctx, signals, once);
    if (forwarding.startRefused()) status = kExitError;
  }
  // State that could not be written means mail may be forwarded again.
  if (ctx.runtime && ctx.runtime->writeFailures > 0) status = kExitError;
  if (SaveSettings(*ctx.settings, ctx.location) == SaveResult::TargetDamaged) {
    status = Fail(context, "the settings file " + ctx.location.SettingsPath() +
                               " was damaged while forwarding ran; it was left unchanged and this run's "
                               "settings were not saved");
  }
  return status;
}

std::span<const CliCommand> RunCommands() { return kCommands; }

}  // namespace velnora::cli
