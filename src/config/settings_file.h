// Reading and writing the settings file "velnora4_zo400.prf": the settings
// image byte for byte, every byte with its two halves exchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "config/display_area.h"
#include "config/settings_image.h"
#include "config/settings_location.h"

namespace velnora {

// Exchanges the two 4-bit halves of every byte (0x12 <-> 0x21); its own
// inverse.
void NibbleSwap(std::span<uint8_t> bytes);

struct LoadResult {
  bool fileFound = false;   // a settings file exists (opened or not)
  bool valid = false;       // and it carried the identification text
  bool whole = false;       // and it was read in full: exactly the size of the layout
  bool freshTable = false;  // the table was rebuilt from the defaults
  std::string path;         // the file found

  // Only a missing file may be replaced by the defaults; a file that is
  // there but not whole and valid is kept as it is.
  bool Usable() const { return !fileFound || (valid && whole); }
};

// What a settings file on disk is, checked before it is used or replaced.
enum class SettingsFileState {
  Missing,
  Whole,                // the size of the layout and the identification text
  Unreadable,           // there, but it cannot be read
  WrongSize,            // cut short or with bytes after the layout
  WrongIdentification,  // not a settings file of this edition, or damaged at its start
};
struct SettingsFileCheck {
  SettingsFileState state = SettingsFileState::Missing;
  int64_t size = -1;
};
SettingsFileCheck CheckSettingsFile(const std::string& path);

// "<path> is cut short: ... bytes of 18,832,633" and the like (ASCII);
// empty for a missing or whole file.
std::string SettingsFileProblem(const std::string& path, const SettingsFileCheck& check);
// The same for what a load found (empty when Usable()).
std::string SettingsFileProblem(const LoadResult& load);

// Reads the settings file (current folder first, then the configuration
// folder) into `image` and applies the repairs. A missing or foreign file
// gives a fresh table when initialiseIfInvalid is set and leaves what was
// read otherwise. remoteSuspended keeps its in-memory value unless
// keepSuspensions is false (a tool that shows the file as it is).
LoadResult LoadSettings(SettingsImage& image, SettingsLocation& location, DisplayArea screen,
                        bool initialiseIfInvalid, bool keepSuspensions = true);

enum class SaveResult {
  Saved,
  NoWritableFile,  // neither path could be created; nothing written
  WriteFailed,     // writing failed (disk full); the previous file is whole
  TargetDamaged,   // the file there is not a whole settings file: kept, nothing written
};

// Writes the image to the settings file of this run. The new file is written
// beside the old one, synced and renamed into place, so an interrupted save
// leaves the previous or the new file whole; it is created with mode 0600.
// Outside current-folder mode the current-folder file is the fallback when
// the configuration folder cannot take the file. A file there that is not a
// whole settings file is never replaced: it may be all the user has.
SaveResult SaveSettings(const SettingsImage& image, const SettingsLocation& location);

// Copies a file in 65,536-byte pieces after making the target writable.
// True only when the whole file was copied; the target is replaced whole or
// not at all, so copying a file onto itself is harmless.
bool CopyFile64k(const std::string& source, const std::string& target);

}  // namespace velnora
