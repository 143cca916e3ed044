// The one object that owns everything mutable of a Velnora process: the
// settings tables and where they live, the per-account runtime records, the
// worker state, the activity log, the conversion options of the account
// being forwarded and the per-account statistics. Nothing mutable is global;
// the engine's operations take a Context&.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "config/settings_image.h"
#include "config/settings_location.h"
#include "convert/convert_options.h"
#include "engine/filter/remote_control.h"
#include "engine/history/key_locks.h"
#include "engine/worker_state.h"
#include "report/activity_log.h"
#include "report/reporter.h"
#include "transport/account_runtime.h"
#include "transport/transport_env.h"

namespace velnora {

// Per-account counters shown by the account list, zeroed at start-up.
struct AccountStatistics {
  std::array<std::atomic<int32_t>, kAccountCount> serverMailCount{};
  std::array<std::atomic<int32_t>, kAccountCount> filteredCount{};
  std::array<std::atomic<int32_t>, kAccountCount> forwardedCount{};
};

class Context {
 public:
  Context(Reporter& reporter, SettingsLocation location);
  ~Context();
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  // The start-up sequence without a window: load the settings (or a fresh
  // table), apply a pending capacity change, choose the temporary folder,
  // allocate the runtime records, read the UIDL store, write the session-log
  // banner, set the remote suspensions and clear the overflow notices.
  // False when the process cannot run (no private temporary folder, no
  // memory for the tables); the reason went to the reporter.
  bool StartUp();

  // The start-up notices of the activity list, once a front end shows it:
  // the session log being on, a capacity change, the developer options.
  void AnnounceStartUp();
  // What a mail session needs, built from the parts above.
  TransportEnv Env();
  // The same for a check of account i: while it runs beside others, with
  // its own temporary folder and its account named in the session log.
  TransportEnv EnvFor(int i);
  // Where account i's check keeps its temporary files, and the conversion
  // options its composition uses.
  const std::string& TempFolderFor(int i);
  ConvertOptions ConvertFor(int i);

 private:
  // Writes the UIDL store in the new layout and the settings with the new
  // capacity, in that order. False when either could not be written.
  bool ApplyCapacityChange();
  bool StoreLaidOutForAnotherCapacity() const;

 public:

  Reporter& reporter;
  SettingsLocation location;
  std::unique_ptr<SettingsImage> settings;
  std::unique_ptr<ActivityLog> log;
  std::unique_ptr<RuntimeTables> runtime;
  WorkerState worker;
  AccountStatistics stats;
  // Options of the account being forwarded (FwdProc sets them per account).
  ConvertOptions convert;
  // Private folder for "$vnrmail%d.vnr" and "$vnrdiv%d.vnr", ending without "/".
  std::string tempFolder;
  // The capacity change made at start-up, announced once the list exists.
  int capacityChangedTo = 0;
  // Set while a pass checks several accounts at once.
  std::atomic<bool> sideBySide{false};
  // Remote suspensions of accounts whose next check has not begun (side by side only).
  DeferredSuspensions deferredSuspensions;
  // Message keys between their look into the forwarding log and the record
  // of their outcome.
  KeyLocks duplicateKeys;
  // One write of the settings file at a time.
  std::mutex settingsSaveMutex;

  CommonSettings& common() { return settings->common; }
  AccountSettings& account(int i) { return settings->accounts[i]; }
  AccountExtraSettings& extra(int i) { return settings->extras[i]; }
  AccountRuntime& runtimeOf(int i) { return runtime->accounts[i]; }
};

}  // namespace velnora
