#include "cli/settings_folder_lock.h"

#include "platform/files.h"

namespace velnora::cli {

std::string SettingsFolder(const SettingsLocation& location) { return location.ForwardingFolder(); }

int LockForSettingsChange(CliContext& context, platform::ProcessLock& lock, std::string_view what) {
  const std::string folder = SettingsFolder(context.location);
  switch (lock.Acquire(folder)) {
    case platform::ProcessLock::Result::Acquired:
      return kExitOk;
    case platform::ProcessLock::Result::HeldElsewhere: {
      const long pid = platform::ProcessLock::HolderPid(folder);
      return Fail(context, std::string(what) + " refused: Velnora" +
                               (pid ? " (pid " + std::to_string(pid) + ")" : std::string()) +
                               " is forwarding with the settings in " + folder +
                               " and would save over the change when it ends; stop it first. "
                               "Nothing was changed.");
    }
    case platform::ProcessLock::Result::Failed:
      break;
  }
  if (!platform::FileExists(platform::JoinPath(folder, platform::kProcessLockFileName))) return kExitOk;
  return Fail(context, std::string(what) + " refused: cannot tell whether Velnora is forwarding with the settings in " +
                           folder + " (its lock file cannot be opened). Nothing was changed.");
}

}  // namespace velnora::cli
