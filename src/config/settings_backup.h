// Backup and restore of the settings file by copying it. The questions and
// file choosers belong to the caller; these are the operations behind them.
#pragma once

#include <string>

#include "config/display_area.h"
#include "config/settings_file.h"

namespace velnora {

// Question and title asked before a backup and before a restore.
const std::string& BackupQuestion();
const std::string& BackupTitle();
const std::string& RestoreQuestion();
const std::string& RestoreTitle();
// Shown (with the title above) when the copy fails.
inline constexpr char kBackupFailed[] = "Error: Cannot backup settings!";
inline constexpr char kRestoreFailed[] = "Error: Cannot restore settings!";

// Copies the settings file as it is on disk (the last save) to `target`.
bool BackupSettings(const SettingsLocation& location, const std::string& target);

struct RestoreResult {
  bool copied = false;  // false: nothing was copied and nothing loaded
  LoadResult load;      // load.valid false: the file was foreign, a fresh table is in memory
};

// Copies `source` over the settings file of this run and loads it
// (initialising when it is not a settings file).
RestoreResult RestoreSettings(SettingsImage& image, SettingsLocation& location, DisplayArea screen,
                              const std::string& source);

}  // namespace velnora
