#include "engine/context.h"

#include "config/settings_file.h"
#include "engine/history/no_uidl_progress.h"
#include "engine/forward/temp_files.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "report/time_stamps.h"
#include "transport/uidl/uidl_store.h"

namespace velnora {
namespace {

constexpr char kSessionLogName[] = "velnora_session.log";
// The UIDL store file ends in this text; another one means another format.
constexpr char kUidlStoreMagic[] = "VEL_NORA4_SP4";

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

Context::Context(Reporter& reporterIn, SettingsLocation locationIn)
    : reporter(reporterIn),
      location(std::move(locationIn)),
      settings(std::make_unique<SettingsImage>()) {
  log = std::make_unique<ActivityLog>(reporter, settings->common, location.HistoryPath(),
                                      platform::JoinPath(location.currentFolder(), kSessionLogName));
}

Context::~Context() {
  if (runtime) FreeRuntime(runtime);
}

bool Context::StartUp() {
  const LoadResult load = LoadSettings(*settings, location, reporter.Screen(), true);
  if (!load.Usable()) {
    // Running on defaults would save them over the user's file at the end.
    reporter.Tell(SettingsFileProblem(load) + ".\nThe file was left unchanged; restore a backup, or move it "
                                              "away to start with the default settings.",
                  "Starting up: Velnora");
    return false;
  }
  // The load decided the folder mode, and with it where the forwarding log lives.
  log = std::make_unique<ActivityLog>(reporter, settings->common, location.HistoryPath(),
                                      platform::JoinPath(location.currentFolder(), kSessionLogName));

  const int heldBefore = settings->common.maxHeldMails;
  int previousMaxHeld = heldBefore;
  runtime = AllocateRuntime(settings->common, previousMaxHeld);
  if (!runtime) {
    reporter.Tell(SJIS(u8"必要なメモリが確保できませんでした。\nメールの最大保持数を最少の1000に変更しました。\n再起動後に設定が反映されます。"),
                  SJIS(u8"起動できません"));
    settings->common.maxHeldMails = settings->common.maxHeldMailsNext = kMinHeldMails;
    SaveSettings(*settings, location);
    return false;
  }
  if (runtime->maxHeldMails != previousMaxHeld) capacityChangedTo = runtime->maxHeldMails;

  const std::string settingsPath = location.SettingsPath();
  std::string folder =
      TempFileFolder(settings->common, settingsPath.substr(0, settingsPath.find_last_of('/')));
  if (folder.empty() || folder == "/") {
    reporter.Tell("no private folder for temporary mail files could be made", "Starting up: Velnora");
    return false;
  }
  tempFolder = WithoutTrailingSeparator(folder);

  if (!LoadUidlStore(*runtime, location.UidlStorePath(), previousMaxHeld, kUidlStoreMagic)) {
    // An unreadable store leaves every list empty: duplicate prevention
    // stops what was already forwarded.
    log->WriteSessionLog("****: the UIDL store could not be read\r\n");
  } else if (capacityChangedTo || StoreLaidOutForAnotherCapacity()) {
    ApplyCapacityChange();  // when it fails, the pass saves the store and the exit the settings
  }
  for (int i = 0; i < kAccountCount; ++i) {
    if (account(i).noUidl) ReadNoUidlProgress(runtimeOf(i), runtime->maxHeldMails);
  }

  if (settings->common.sessionLog) {
    log->WriteSessionLog(SJIS(u8"\r\n==== Velnora 400アカウント版 V5.20.00 starting up ") + FormatListTime() +
                         " ====\r\n");
  }
  for (int i = 0; i < kAccountCount; ++i) {
    AccountSettings& a = account(i);
    if (a.startRemoteOff) a.remoteSuspended = 1;
    a.overflowNotified = 0;
  }
  return true;
}

bool Context::StoreLaidOutForAnotherCapacity() const {
  // Right after the load only a relayout marks the lists changed.
  for (const AccountRuntime& r : runtime->accounts) {
    if (r.changed()) return true;
  }
  return false;
}

bool Context::ApplyCapacityChange() {
  // The store first, in the new layout, then the settings that name it: the
  // store's size tells its layout, so a kill between the two loses no list,
  // and a reload or a later start finds the new capacity in the file.
  if (!SaveUidlStore(*runtime, location.UidlStorePath())) {
    log->WriteSessionLog("****: the UIDL store could not be rewritten for the new capacity\r\n");
    return false;
  }
  if (SaveSettings(*settings, location) != SaveResult::Saved) {
    log->WriteSessionLog("****: the new capacity could not be saved in the settings file\r\n");
    return false;
  }
  return true;
}

TransportEnv Context::Env() {
  return TransportEnv{settings->common, *log, worker.flags, tempFolder, runtime.get()};
}

TransportEnv Context::EnvFor(int i) {
  TransportEnv env{settings->common, *log, worker.flags, TempFolderFor(i), runtime.get()};
  if (runtime && !runtimeOf(i).laneFolder.empty()) env.sessionTag = "[" + std::to_string(i) + "] ";
  return env;
}

const std::string& Context::TempFolderFor(int i) {
  if (!runtime || runtimeOf(i).laneFolder.empty()) return tempFolder;
  return runtimeOf(i).laneFolder;
}

ConvertOptions Context::ConvertFor(int i) {
  if (!runtime || runtimeOf(i).laneFolder.empty()) return convert;
  ConvertOptions options = convert;
  options.encodeHalfwidthKana = account(i).encodeHalfwidthKana != 0;
  return options;
}

}  // namespace velnora
