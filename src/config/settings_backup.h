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

// The name the replaced settings file is kept under, beside it.
std::string RestoreKeepPath(const std::string& settingsPath);

struct RestoreResult {
  bool copied = false;      // false: nothing was copied and nothing loaded
  SettingsFileCheck source; // what the chosen file is; only a whole one is copied
  bool sourceRefused = false;  // the chosen file is not a whole settings file
  bool keepFailed = false;     // the replaced file could not be kept: nothing copied
  std::string keptAs;          // where the replaced file was kept (empty: there was none)
  LoadResult load;
};

// Checks that `source` is a whole settings file, keeps the settings file of
// this run as RestoreKeepPath(), copies `source` over it and loads it. A
// source that is not whole and valid is refused before anything changes.
RestoreResult RestoreSettings(SettingsImage& image, SettingsLocation& location, DisplayArea screen,
                              const std::string& source);

}  // namespace velnora
