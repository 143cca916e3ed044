// The UIDL store file "velnora4uidl_zo400.mbx": for each of the 400
// accounts its storedCount (int32, little-endian) and all maxHeldMails
// 72-byte slots, then a 16-byte trailer "VEL_NORA4_SP4" and three NULs.
//
// Empty slots are never read or written: they are skipped with a seek, so a
// mostly empty store (288 MB at the default capacity) loads and saves in
// milliseconds and is written as a sparse file with the same bytes.
#pragma once

#include <string>

#include "config/settings_location.h"  // kUidlStoreFileName
#include "transport/account_runtime.h"

namespace velnora {

inline constexpr std::size_t kUidlStoreTrailerSize = 16;

// Size of the file for a capacity.
uint64_t UidlStoreFileSize(int maxHeld);

// The capacity whose layout has exactly `size` bytes (1000..50000), or 0.
int UidlStoreCapacityForSize(uint64_t size);

// Reads the file written with `previousMaxHeld` slots per account. The file
// does not name its capacity, but its size does: a file whose size fits
// another valid capacity was written with that one (a capacity change that
// was cut short) and is read in that layout. A missing file leaves every
// list empty; a trailer other than `magic` resets every record. A file laid
// out for another capacity than the tables' is marked for rewriting. False
// only when the file exists but could not be read at all.
bool LoadUidlStore(RuntimeTables& tables, const std::string& path, int previousMaxHeld,
                   std::string_view magic);

// Writes the file when some list changed since the last save (or the
// capacity changed since it was written): a new file beside it, flushed and
// renamed into place. True when the file is up to date.
bool SaveUidlStore(RuntimeTables& tables, const std::string& path);

}  // namespace velnora
