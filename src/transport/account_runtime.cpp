#include "transport/account_runtime.h"

#include <algorithm>
#include <cstring>

namespace velnora {

std::string_view SlotText(const UidlSlot& slot) {
  return std::string_view(slot.data(), ::strnlen(slot.data(), slot.size()));
}

UidlSlot MakeSlot(std::string_view uidl) {
  UidlSlot slot{};
  const std::size_t length = std::min(uidl.size(), kUidlMaxLength);
  if (length > 0) std::memcpy(slot.data(), uidl.data(), length);  // data() may be null when empty
  return slot;
}

std::string_view AccountRuntime::StoredUidl(int p) const {
  return p >= 0 && std::size_t(p) < slots_.size() ? SlotText(slots_[std::size_t(p)])
                                                  : std::string_view();
}

void AccountRuntime::SetStoredUidl(int p, std::string_view uidl) {
  if (p < 0) return;
  std::lock_guard lock(listMutex_);
  const std::size_t index = std::size_t(p);
  if (index >= slots_.size()) {
    if (uidl.empty()) return;  // already empty
    slots_.resize(index + 1);
  }
  const UidlSlot slot = MakeSlot(uidl);
  if (slots_[index] != slot) {
    slots_[index] = slot;
    ++changes_;
  }
}

void AccountRuntime::SetStoredCount(int32_t count) {
  if (count < 0) count = 0;
  std::lock_guard lock(listMutex_);
  if (count != storedCount_) {
    storedCount_ = count;
    ++changes_;
  }
}

void AccountRuntime::ResetCounts() {
  limitWarned = 0;
  mailCount = 0;
  statCount = 0;
  startIndex = 0;
  fetched.clear();
  handledBeyondStart.clear();
  SetStoredCount(0);
  session.stream.Close();
  session.nonBlocking = 0;
}

std::unique_ptr<RuntimeTables> AllocateRuntime(CommonSettings& common, int& previousMaxHeld) {
  previousMaxHeld = common.maxHeldMails;
  if (common.maxHeldMailsNext != common.maxHeldMails) {
    common.maxHeldMails = common.maxHeldMailsNext;
  }
  int held = common.maxHeldMails;
  if (held < kMinHeldMails || held > kMaxHeldMails) held = kDefaultHeldMails;  // never trust a bad file
  return std::make_unique<RuntimeTables>(held);
}

void FreeRuntime(std::unique_ptr<RuntimeTables>& tables) { tables.reset(); }

}  // namespace velnora
