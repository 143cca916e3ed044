// backup, restore and import-old: whole-file operations on the settings.
#include <memory>

#include "cli/command_table.h"
#include "cli/settings_folder_lock.h"
#include "config/settings_backup.h"
#include "config/settings_file.h"
#include "config/settings_import.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace velnora::cli {
namespace {

// The desktop program decides the folder at its first load; a tool that
// does not load first decides the same way.
void FindSettingsFolder(CliContext& context) {
  if (platform::OpenFile(context.location.CurrentFolderSettingsPath(), "rb")) {
    context.location.EnterCurrentFolderMode();
  }
}

int Backup(CliContext& context, std::span<const std::string> args) {
  if (args.size() != 1) return Fail(context, "backup needs exactly one target file");
  FindSettingsFolder(context);
  if (!BackupSettings(context.location, args[0])) return Fail(context, kBackupFailed);
  return kExitOk;
}

int Restore(CliContext& context, std::span<const std::string> args) {
  if (args.size() != 1) return Fail(context, "restore needs exactly one backup file");
  FindSettingsFolder(context);
  platform::ProcessLock lock;
  if (const int refused = LockForSettingsChange(context, lock, "restore")) return refused;
  auto image = std::make_unique<SettingsImage>();
  const RestoreResult result = RestoreSettings(*image, context.location, context.screen, args[0]);
  if (result.sourceRefused) {
    Fail(context, SettingsFileProblem(args[0], result.source) + "; the settings were left unchanged");
    return Fail(context, kRestoreFailed);
  }
  if (result.keepFailed) {
    Fail(context, "the current settings file could not be kept as " +
                      RestoreKeepPath(context.location.SettingsPath()) + "; the settings were left unchanged");
    return Fail(context, kRestoreFailed);
  }
  if (!result.copied) return Fail(context, kRestoreFailed);
  if (!result.keptAs.empty()) {
    std::fprintf(context.err, "velnora-cli: the replaced settings file was kept as %s\n", result.keptAs.c_str());
  }
  return kExitOk;
}

int ImportOld(CliContext& context, std::span<const std::string> args) {
  if (args.size() != 3 || args[0] != "--kind" || (args[1] != "1" && args[1] != "2")) {
    return Fail(context, "import-old needs --kind 1|2 FILE");
  }
  const OldSettingsKind kind =
      args[1] == "1" ? OldSettingsKind::PreviousGeneration400 : OldSettingsKind::Edition100;
  platform::ProcessLock lock;
  if (const int refused = LockForSettingsChange(context, lock, "import-old")) return refused;
  auto image = std::make_unique<SettingsImage>();
  const LoadResult load = LoadSettings(*image, context.location, context.screen, true, false);
  if (!load.Usable()) return Fail(context, SettingsFileProblem(load) + "; it was left unchanged and nothing was imported");
  std::string where;
  const ImportResult result = ImportOldSettings(*image, args[2], kind, &where);
  const std::string message = ConsoleText(ImportMessage(result, kind));
  if (result == ImportResult::ControlInText) return Fail(context, message + " (" + where + ")");
  if (result != ImportResult::Imported) return Fail(context, message);
  if (SaveSettings(*image, context.location) != SaveResult::Saved) {
    return Fail(context, "the imported settings could not be saved to " + context.location.SettingsPath());
  }
  std::fprintf(context.out, "%s\n", message.c_str());
  return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"backup", "FILE", "copy the settings file as last saved to FILE", Backup},
    {"restore", "FILE", "copy FILE over the settings file and load it", Restore},
    {"import-old", "--kind 1|2 FILE",
     "take over the settings of the previous 400-account generation (1) or the 100-account "
     "edition (2)",
     ImportOld},
};

}  // namespace

std::span<const CliCommand> FileCommands() { return kCommands; }

}  // namespace velnora::cli
