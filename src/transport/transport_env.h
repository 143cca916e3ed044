// What a mail session needs from the program around it, handed in
// explicitly: the engine's context owns all of these and builds the env.
#pragma once

#include <string>

#include "config/common_settings.h"
#include "platform/worker_flags.h"
#include "report/activity_log.h"

namespace velnora {

struct RuntimeTables;

struct TransportEnv {
  const CommonSettings& common;
  ActivityLog& log;
  platform::WorkerFlags& flags;
  // Private folder for the received-mail files "$vnrmail%d.vnr".
  std::string tempFolder;
  // The process-wide UIDL tables (account_runtime.h); needed by the
  // POP3 listing and fetch, not by a bare session.
  RuntimeTables* tables = nullptr;
  // Put before each session-log text while checks run side by side, so
  // that each line names its account.
  std::string sessionTag;
};

}  // namespace velnora
