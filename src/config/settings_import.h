// Taking over the settings of the two older editions: the previous
// generation with 400 accounts (kind 1) and the 100-account edition of this
// generation (kind 2). The import changes the settings in memory only.
#pragma once

#include <string>

#include "config/settings_image.h"

namespace velnora {

enum class OldSettingsKind { PreviousGeneration400 = 1, Edition100 = 2 };

enum class ImportResult {
  Imported,
  Unreadable,  // the file could not be opened
  WrongKind,   // not a settings file of the chosen kind
  Truncated,   // the right kind but shorter than its layout; nothing taken
  ControlInText,  // a one-line text holds a control character; nothing taken
};

// Identification text, account count and record length of each kind.
const char* OldSettingsMagic(OldSettingsKind kind);
int OldAccountCount(OldSettingsKind kind);
std::size_t OldRecordSize(OldSettingsKind kind);
// The file name the file chooser proposes.
const char* OldSettingsFileName(OldSettingsKind kind);

// `where`, when given, names the field of a ControlInText refusal
// ("account 5 myAddress", "common developerOptions").
ImportResult ImportOldSettings(SettingsImage& image, const std::string& path, OldSettingsKind kind,
                               std::string* where = nullptr);

// The message (code page 932) and its title for a result.
std::string ImportMessage(ImportResult result, OldSettingsKind kind);
std::string ImportMessageTitle(ImportResult result);

}  // namespace velnora
