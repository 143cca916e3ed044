// The settings folder and its process lock, as run takes it. A command that
// changes the settings takes the same lock, so it never writes a file that a
// running forwarder saves over at exit.
#pragma once

#include <string>
#include <string_view>

#include "cli/cli_context.h"
#include "platform/process_lock.h"

namespace velnora::cli {

// The folder whose settings this run uses, decided as the first load decides it.
std::string SettingsFolder(const SettingsLocation& location);

// Takes the lock for a settings change named `what` ("set", "restore"...).
// Returns kExitOk while `lock` holds it; otherwise prints why the change is
// refused and returns kExitError. A folder that cannot hold a lock file
// (not created yet) has no forwarder in it and is not refused.
int LockForSettingsChange(CliContext& context, platform::ProcessLock& lock, std::string_view what);

}  // namespace velnora::cli
