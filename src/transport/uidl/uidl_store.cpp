#include "transport/uidl/uidl_store.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace velnora {
namespace {

constexpr char kTrailer[kUidlStoreTrailerSize] = "VEL_NORA4_SP4";

uint64_t BlockSize(int maxHeld) { return 4 + uint64_t(kUidlSlotSize) * uint64_t(maxHeld); }

int32_t ReadInt32(const unsigned char bytes[4]) {
  return int32_t(uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
                 (uint32_t(bytes[3]) << 24));
}

bool Seek(std::FILE* file, uint64_t offset) {
  return std::fseek(file, long(offset), SEEK_SET) == 0;  // long is 64-bit here
}

bool SlotIsEmpty(const UidlSlot& slot) {
  for (char c : slot) {
    if (c != 0) return false;
  }
  return true;
}

}  // namespace

// Fills a record's slots directly from the file.
class UidlStoreReader {
 public:
  static void Fill(AccountRuntime& runtime, std::vector<UidlSlot> slots, int32_t count) {
    runtime.slots_ = std::move(slots);
    runtime.storedCount_ = count;
    runtime.savedAt_ = runtime.changes_;
  }
};

uint64_t UidlStoreFileSize(int maxHeld) {
  return uint64_t(kRuntimeAccounts) * BlockSize(maxHeld) + kUidlStoreTrailerSize;
}

int UidlStoreCapacityForSize(uint64_t size) {
  const uint64_t fixed = uint64_t(kRuntimeAccounts) * 4 + kUidlStoreTrailerSize;
  const uint64_t perSlot = uint64_t(kRuntimeAccounts) * kUidlSlotSize;
  if (size < fixed || (size - fixed) % perSlot != 0) return 0;
  const uint64_t capacity = (size - fixed) / perSlot;
  return capacity >= uint64_t(kMinHeldMails) && capacity <= uint64_t(kMaxHeldMails) ? int(capacity) : 0;
}

bool LoadUidlStore(RuntimeTables& tables, const std::string& path, int previousMaxHeld,
                   std::string_view magic) {
  const int maxHeld = tables.maxHeldMails;
  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (!file) return !platform::FileExists(path);
  if (previousMaxHeld < 0) previousMaxHeld = 0;
  // The settings and the store are replaced one after the other, so the
  // capacity in the settings may be one step behind or ahead of the file.
  if (const int64_t size = platform::FileSize(path); size >= 0 && uint64_t(size) != UidlStoreFileSize(previousMaxHeld)) {
    if (const int written = UidlStoreCapacityForSize(uint64_t(size)); written > 0) previousMaxHeld = written;
  }

  for (int a = 0; a < kRuntimeAccounts; ++a) {
    AccountRuntime& runtime = tables.accounts[std::size_t(a)];
    const uint64_t base = uint64_t(a) * BlockSize(previousMaxHeld);
    unsigned char countBytes[4] = {};
    int32_t count = 0;
    if (Seek(file.get(), base) && std::fread(countBytes, 1, 4, file.get()) == 4) {
      count = ReadInt32(countBytes);
    }
    if (count < 0 || count > maxHeld) count = 0;
    // Only the used slots are read; the file has previousMaxHeld of them.
    const int toRead = std::min(count, previousMaxHeld);
    std::vector<UidlSlot> slots(std::size_t(std::max(toRead, 0)));
    if (toRead > 0) {
      const std::size_t got =
          std::fread(slots.data(), kUidlSlotSize, std::size_t(toRead), file.get());
      for (std::size_t i = got; i < slots.size(); ++i) slots[i] = UidlSlot{};
    }
    UidlStoreReader::Fill(runtime, std::move(slots), count);
  }

  char trailer[kUidlStoreTrailerSize + 1] = {};
  const bool trailerRead = Seek(file.get(), uint64_t(kRuntimeAccounts) * BlockSize(previousMaxHeld)) &&
                           std::fread(trailer, 1, kUidlStoreTrailerSize, file.get()) ==
                               kUidlStoreTrailerSize;
  const std::string_view trailerText(trailer, ::strnlen(trailer, kUidlStoreTrailerSize));
  if (!trailerRead || trailerText != magic) {
    for (auto& runtime : tables.accounts) runtime.ResetCounts();
  }
  // A file laid out for another capacity must be rewritten at the next save.
  const bool relayout = previousMaxHeld != maxHeld;
  for (auto& runtime : tables.accounts) {
    if (relayout) runtime.MarkChanged();
    else runtime.MarkSaved();
  }
  return true;
}

bool SaveUidlStore(RuntimeTables& tables, const std::string& path) {
  bool anyChanged = false;
  for (const auto& runtime : tables.accounts) anyChanged = anyChanged || runtime.changed();
  if (!anyChanged && platform::FileExists(path)) return true;

  const int maxHeld = tables.maxHeldMails;
  platform::ClearReadOnly(path);
  platform::ReplaceFileWriter writer(path);
  if (!writer.ok()) return false;
  // Every byte of the layout is written, but runs of zeros (unused
  // accounts, empty slots) become holes: few extents, fast to replace.
  uint64_t hole = 0;
  std::vector<uint64_t> written;
  written.reserve(tables.accounts.size());
  for (const auto& runtime : tables.accounts) {
    const auto lock = runtime.LockList();
    written.push_back(runtime.changeNumberLocked());
    const uint32_t count = uint32_t(runtime.storedCount());
    if (count == 0) {
      hole += 4;
    } else {
      const unsigned char countBytes[4] = {uint8_t(count), uint8_t(count >> 8),
                                           uint8_t(count >> 16), uint8_t(count >> 24)};
      if (hole) writer.Skip(hole);
      hole = 0;
      writer.Write(std::string_view(reinterpret_cast<const char*>(countBytes), 4));
    }
    const auto& slots = runtime.slots();
    const std::size_t inMemory = std::min(slots.size(), std::size_t(maxHeld));
    for (std::size_t i = 0; i < inMemory; ++i) {
      if (SlotIsEmpty(slots[i])) {
        hole += kUidlSlotSize;
        continue;
      }
      if (hole) writer.Skip(hole);
      hole = 0;
      writer.Write(std::string_view(slots[i].data(), kUidlSlotSize));
    }
    hole += uint64_t(std::size_t(maxHeld) - inMemory) * kUidlSlotSize;
  }
  if (hole) writer.Skip(hole);
  writer.Write(std::string_view(kTrailer, kUidlStoreTrailerSize));
  if (!writer.Commit()) return false;
  for (std::size_t a = 0; a < tables.accounts.size(); ++a) {
    const auto lock = tables.accounts[a].LockList();
    tables.accounts[a].MarkSavedAtLocked(written[a]);
  }
  return true;
}

}  // namespace velnora
