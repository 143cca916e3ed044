// The version file that the update server publishes: the latest version,
// a message for the user and a further line, in Shift_JIS, lines ending in
// CR LF or LF. Parsed from memory; nothing here touches the network.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

class ActivityLog;

// The program's own version, in the form the version file uses.
inline constexpr std::string_view kOwnVersion = "5.20";
// Each line is taken only when shorter than this; a longer one is left empty.
inline constexpr std::size_t kVersionLineLimit = 256;

enum class VersionVerdict {
  Newer,       // the file names a later version than ours
  NotNewer,    // the same or an earlier version
  Unreadable,  // the first line is no version (an error page, an empty body)
};

struct VersionFile {
  VersionVerdict verdict = VersionVerdict::Unreadable;
  std::string latest, message, extra;  // filled only for Newer
};

// `body` is the file's text as served (at most the bytes read of it).
VersionFile ReadVersionFile(std::string_view body, std::string_view ownVersion = kOwnVersion);

// Tells the user what the update check found: the message of a later
// version, or, when the file could not be fetched, where to look instead.
void AnnounceVersion(bool fetched, const VersionFile& file, ActivityLog& log);

}  // namespace velnora
