// Per-account runtime records and the process-wide tables that go with
// them: working counts, the stored UIDL list, the new-message flags and the
// embedded mail session.
//
// Memory follows use: a stored list grows with the UIDLs stored in it (its
// high-water mark), never to maxHeldMails slots up front, so 400 accounts
// with a large capacity and little mail stay small.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "config/common_settings.h"
#include "report/activity_category.h"
#include "config/settings_image.h"
#include "transport/mail_session.h"

namespace velnora {

inline constexpr std::size_t kUidlSlotSize = 72;   // one stored UIDL, NUL-terminated
inline constexpr std::size_t kUidlMaxLength = 70;  // UIDLs are cut to this
inline constexpr int kRuntimeAccounts = kAccountCount;

using UidlSlot = std::array<char, kUidlSlotSize>;

// The text of a slot (never runs past the slot).
std::string_view SlotText(const UidlSlot& slot);
// A slot holding `uidl` cut to 70 bytes.
UidlSlot MakeSlot(std::string_view uidl);

// Outcome and UIDL of each message of a check.
struct ForwardStatus {
  Category resultCode = Category::Forwarded;
  UidlSlot uidl{};
};

class AccountRuntime {
 public:
  MailSession session;
  // The last server listing of this account, indexed by message number - 1
  // (grows with it), and the outcome of each message of the check in
  // progress. Kept per account so that checks running side by side never
  // share them; released after the check.
  std::vector<UidlSlot> currentUidls;
  std::vector<ForwardStatus> forwardStatus;
  // Folder of this check's temporary files while it runs beside others;
  // empty: the context's own folder.
  std::string laneFolder;

  int32_t mailCount = 0;   // STAT count after a login, then the position fetched up to
  int32_t startIndex = 0;  // first position to consider (no-UIDL mode: handled so far)
  int32_t limitWarned = 0; // the over-limit line was shown this run
  int32_t statCount = 0;   // message count of the last STAT
  std::vector<uint8_t> isNew;  // per mailbox position of the last listing
  // Positions whose received files this check wrote, in the order fetched:
  // only these files are taken for this account's new mail, so a leftover
  // of an earlier pass or of another account is never forwarded.
  std::vector<int> fetched;
  // No-UIDL mode: per position, 1 = handled in an earlier check although a
  // position below it was not (meaningful only from startIndex on), so that
  // restarting at the first unhandled message resends nothing.
  std::vector<uint8_t> handledBeyondStart;
  // Failed fetches per message (UIDL, or "#number" without one), so that a
  // message that can never be fetched stops blocking the rest.
  std::map<std::string, int> fetchFailures;

  std::string_view CurrentUidl(int position) const {
    return position >= 0 && std::size_t(position) < currentUidls.size()
               ? SlotText(currentUidls[std::size_t(position)])
               : std::string_view();
  }
  // Frees the listing and the outcomes once the check is over.
  void ReleaseCheckTables() {
    std::vector<UidlSlot>().swap(currentUidls);
    std::vector<ForwardStatus>().swap(forwardStatus);
  }

  int32_t storedCount() const { return storedCount_; }
  // Entry `p` of the stored list; empty beyond what was ever stored.
  std::string_view StoredUidl(int p) const;
  void SetStoredUidl(int p, std::string_view uidl);
  // Empties entry `p`: its message becomes new again.
  void ClearStoredUidl(int p) { SetStoredUidl(p, {}); }
  void SetStoredCount(int32_t count);
  // Slots held in memory (high-water mark); beyond them all slots are empty.
  const std::vector<UidlSlot>& slots() const { return slots_; }

  // The stored list changed since the last save.
  bool changed() const {
    std::lock_guard lock(listMutex_);
    return changes_ != savedAt_;
  }
  void MarkSaved() {
    std::lock_guard lock(listMutex_);
    savedAt_ = changes_;
  }
  void MarkChanged() {
    std::lock_guard lock(listMutex_);
    ++changes_;
  }
  // A save from another thread reads the list under this lock and marks
  // only the changes it wrote as saved, so one made meanwhile is kept for
  // the next save.
  std::unique_lock<std::mutex> LockList() const { return std::unique_lock(listMutex_); }
  uint64_t changeNumberLocked() const { return changes_; }
  void MarkSavedAtLocked(uint64_t changeNumber) { savedAt_ = changeNumber; }

  // Reset of the working counts (a store file of another format).
  void ResetCounts();

 private:
  friend class UidlStoreReader;
  std::vector<UidlSlot> slots_;
  int32_t storedCount_ = 0;
  // Changes made, and how many of them the last save wrote.
  uint64_t changes_ = 0;
  uint64_t savedAt_ = 0;
  // Guards slots_, storedCount_ and the change numbers against a save of
  // the store from another check; the account's own check reads unlocked.
  mutable std::mutex listMutex_;
};

struct RuntimeTables {
  explicit RuntimeTables(int maxHeld) : maxHeldMails(maxHeld) {}
  RuntimeTables(const RuntimeTables&) = delete;
  RuntimeTables& operator=(const RuntimeTables&) = delete;

  int maxHeldMails;  // fixed for the program run
  std::array<AccountRuntime, kRuntimeAccounts> accounts;
  // Writes of the UIDL store, the forwarding log or a received file that
  // failed in this run (the front end reports them in its exit status).
  std::atomic<int> writeFailures{0};
  // The last save of the UIDL store failed: forwarding waits for a save.
  std::atomic<bool> stateUnsaved{false};
  // One save of the UIDL store at a time (checks running side by side).
  std::mutex saveMutex;

};

// Start-up: applies a pending capacity change (maxHeldMailsNext becomes
// maxHeldMails) and creates the tables. `previousMaxHeld` receives the
// capacity the store file was written with.
std::unique_ptr<RuntimeTables> AllocateRuntime(CommonSettings& common, int& previousMaxHeld);

// Program end: frees the tables (the records close their sessions).
void FreeRuntime(std::unique_ptr<RuntimeTables>& tables);

}  // namespace velnora
