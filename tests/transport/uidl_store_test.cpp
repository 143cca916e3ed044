#include "transport/uidl/uidl_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "transport/uidl/uidl_decision.h"
#include "transport_fixture.h"

namespace velnora {
namespace {

using testing::FileText;
using testing::TempFolder;

int32_t Int32At(const std::string& bytes, std::size_t offset) {
  int32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  platform::FilePtr file = platform::OpenFile(path, "wb");
  ASSERT_TRUE(file);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
}

// A store file laid out by hand for `maxHeld` slots per account.
std::string HandMadeStore(int maxHeld, const char* trailer = "VEL_NORA4_SP4") {
  std::string bytes(UidlStoreFileSize(maxHeld), '\0');
  std::memcpy(bytes.data() + bytes.size() - 16, trailer, std::strlen(trailer));
  return bytes;
}

void PutAccount(std::string& bytes, int maxHeld, int account, int32_t count,
                const std::vector<std::string>& uidls) {
  const std::size_t base = std::size_t(account) * (4 + 72 * std::size_t(maxHeld));
  std::memcpy(bytes.data() + base, &count, 4);
  for (std::size_t i = 0; i < uidls.size(); ++i) {
    std::memcpy(bytes.data() + base + 4 + 72 * i, uidls[i].data(), uidls[i].size());
  }
}

TEST(UidlStore, FileLayoutIsByteForByte) {
  TempFolder folder;
  const std::string path = folder.File(kUidlStoreFileName);
  RuntimeTables tables(1000);
  tables.accounts[0].SetStoredUidl(0, "first");
  tables.accounts[0].SetStoredUidl(1, "second");
  tables.accounts[0].SetStoredCount(2);
  tables.accounts[399].SetStoredUidl(999, std::string(80, 'z'));
  tables.accounts[399].SetStoredCount(1000);
  ASSERT_TRUE(SaveUidlStore(tables, path));

  std::string expected = HandMadeStore(1000);
  PutAccount(expected, 1000, 0, 2, {"first", "second"});
  std::vector<std::string> last(1000);
  last[999] = std::string(70, 'z');
  PutAccount(expected, 1000, 399, 1000, last);
  const std::string bytes = FileText(path);
  ASSERT_EQ(bytes.size(), 400u * (4 + 72 * 1000) + 16);
  EXPECT_TRUE(bytes == expected);
  EXPECT_EQ(UidlStoreFileSize(10000), 288001616u);
}

TEST(UidlStore, RoundTripKeepsListsAndCounts) {
  TempFolder folder;
  const std::string path = folder.File(kUidlStoreFileName);
  RuntimeTables saved(1000);
  for (int a : {0, 7, 399}) {
    for (int p = 0; p < 5; ++p) saved.accounts[a].SetStoredUidl(p, "u" + std::to_string(a * 10 + p));
    saved.accounts[a].SetStoredCount(5);
  }
  ASSERT_TRUE(SaveUidlStore(saved, path));
  RuntimeTables loaded(1000);
  ASSERT_TRUE(LoadUidlStore(loaded, path, 1000, kSettingsMagic));
  for (int a = 0; a < kRuntimeAccounts; ++a) {
    ASSERT_EQ(loaded.accounts[a].storedCount(), saved.accounts[a].storedCount()) << a;
    for (int p = 0; p < 5; ++p) EXPECT_EQ(loaded.accounts[a].StoredUidl(p), saved.accounts[a].StoredUidl(p));
    EXPECT_FALSE(loaded.accounts[a].changed());
  }
}

TEST(UidlStore, CapacityRaisedKeepsListsAndRelaysTheFile) {
  TempFolder folder;
  const std::string path = folder.File(kUidlStoreFileName);
  std::string bytes = HandMadeStore(1000);
  PutAccount(bytes, 1000, 3, 2, {"a", "b"});
  WriteFile(path, bytes);
  RuntimeTables tables(2000);
  ASSERT_TRUE(LoadUidlStore(tables, path, 1000, kSettingsMagic));
  EXPECT_EQ(tables.accounts[3].storedCount(), 2);
  EXPECT_EQ(tables.accounts[3].StoredUidl(1), "b");
  ASSERT_TRUE(SaveUidlStore(tables, path));  // nothing changed but the layout
  const std::string relaid = FileText(path);
  ASSERT_EQ(relaid.size(), UidlStoreFileSize(2000));
  EXPECT_EQ(Int32At(relaid, 3 * (4 + 72 * 2000)), 2);
}

TEST(UidlStore, CapacityLoweredDropsOverlongLists) {
  TempFolder folder;
  const std::string path = folder.File(kUidlStoreFileName);
  std::string bytes = HandMadeStore(2000);
  PutAccount(bytes, 2000, 0, 1500, {"keep-not"});
  PutAccount(bytes, 2000, 1, 3, {"x", "y", "z"});
  WriteFile(path, bytes);
  RuntimeTables tables(1000);
  ASSERT_TRUE(LoadUidlStore(tables, path, 2000, kSettingsMagic));
  EXPECT_EQ(tables.accounts[0].storedCount(), 0);
  EXPECT_EQ(tables.accounts[1].storedCount(), 3);
  EXPECT_EQ(tables.accounts[1].StoredUidl(2), "z");
}

TEST(UidlStore, BadCountsTrailersAndShortFilesEmptyTheLists) {
  TempFolder folder;
  const std::string path = folder.File(kUidlStoreFileName);
  {
    std::string bytes = HandMadeStore(1000);
    PutAccount(bytes, 1000, 0, -1, {"a"});
    PutAccount(bytes, 1000, 1, 1, {"b"});
    WriteFile(path, bytes);
    RuntimeTables tables(1000);
    ASSERT_TRUE(LoadUidlStore(tables, path, 1000, kSettingsMagic));
    EXPECT_EQ(tables.accounts[0].storedCount(), 0);
    EXPECT_EQ(tables.accounts[1].storedCount(), 1);
  }
  for (const bool shortFile : {false, true}) {
    std::string bytes = HandMadeStore(1000, "VEL_NORA4_SP3");
    PutAccount(bytes, 1000, 1, 1, {"b"});
    if (shortFile) bytes.resize(bytes.size() / 2);
    WriteFile(path, bytes);
    RuntimeTables tables(1000);
    tables.accounts[1].mailCount = 9;
    ASSERT_TRUE(LoadUidlStore(tables, path, 1000, kSettingsMagic));
    EXPECT_EQ(tables.accounts[1].storedCount(), 0);
    EXPECT_EQ(tables.accounts[1].mailCount, 0);
  }
  RuntimeTables none(1000);
  EXPECT_TRUE(LoadUidlStore(none, folder.File("missing.mbx"), 1000, kSettingsMagic));
  EXPECT_EQ(none.accounts[0].storedCount(), 0);
}

TEST(UidlStore, UnchangedListsAreNotRewritten) {
  TempFolder folder;
  const std::string path = folder.File(kUidlStoreFileName);
  RuntimeTables tables(1000);
  tables.accounts[0].SetStoredUidl(0, "a");
  tables.accounts[0].SetStoredCount(1);
  ASSERT_TRUE(SaveUidlStore(tables, path));
  // Mark the file; a save without changes must leave it alone.
  std::string bytes = FileText(path);
  bytes[bytes.size() - 1] = 'M';
  WriteFile(path, bytes);
  tables.accounts[0].SetStoredUidl(0, "a");  // same value: no change
  ASSERT_TRUE(SaveUidlStore(tables, path));
  EXPECT_EQ(FileText(path).back(), 'M');
  tables.accounts[0].ClearStoredUidl(0);
  ASSERT_TRUE(SaveUidlStore(tables, path));
  const std::string rewritten = FileText(path);
  EXPECT_EQ(rewritten.back(), '\0');
  EXPECT_EQ(rewritten[4], '\0');
}

TEST(UidlStore, AllocationAppliesThePendingCapacity) {
  auto common = std::make_unique<CommonSettings>();
  common->maxHeldMails = 1000;
  common->maxHeldMailsNext = 3000;
  int previous = 0;
  auto tables = AllocateRuntime(*common, previous);
  EXPECT_EQ(previous, 1000);
  EXPECT_EQ(int{common->maxHeldMails}, 3000);
  EXPECT_EQ(tables->maxHeldMails, 3000);
  FreeRuntime(tables);
  EXPECT_EQ(tables, nullptr);
}

// The documented search, written plainly, as the reference.
std::vector<uint8_t> ReferenceDecision(const std::vector<std::string>& stored,
                                       const std::vector<std::string>& listed) {
  std::vector<uint8_t> matched(stored.size(), 0), isNew(listed.size(), 1);
  for (std::size_t j = 0; j < listed.size(); ++j) {
    for (std::size_t p = 0; p < stored.size(); ++p) {
      if (!matched[p] && !stored[p].empty() && stored[p] == listed[j]) {
        isNew[j] = 0;
        matched[p] = 1;
        break;
      }
    }
  }
  return isNew;
}

TEST(UidlDecision, SameResultsAsTheLinearSearch) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> stored(random() % 30), listed(random() % 30);
    // Few distinct values, so duplicates and empties are common.
    for (auto& s : stored) s = (random() % 5 == 0) ? "" : "u" + std::to_string(random() % 8);
    for (auto& s : listed) s = (random() % 7 == 0) ? "" : "u" + std::to_string(random() % 8);
    std::vector<uint8_t> isNew;
    const auto decision = DecideNewMessages(
        [&](int p) { return std::string_view(stored[std::size_t(p)]); }, int(stored.size()),
        [&](int j) { return std::string_view(listed[std::size_t(j)]); }, 0, int(listed.size()), isNew);
    isNew.resize(listed.size());
    const auto expected = ReferenceDecision(stored, listed);
    ASSERT_EQ(isNew, expected) << "round " << round;
    int known = 0;
    for (auto flag : expected) known += flag == 0;
    EXPECT_EQ(decision.known, known);
  }
}

TEST(UidlDecision, FirstUnmatchedStoredPositionWins) {
  const std::vector<std::string> stored = {"x", "d", "y", "d"};
  const std::vector<std::string> listed = {"d", "d", "d"};
  std::vector<uint8_t> isNew;
  const auto decision = DecideNewMessages(
      [&](int p) { return std::string_view(stored[std::size_t(p)]); }, 4,
      [&](int j) { return std::string_view(listed[std::size_t(j)]); }, 0, 3, isNew);
  EXPECT_EQ(decision.matchedStored, (std::vector<int>{1, 3, -1}));
  EXPECT_EQ(isNew, (std::vector<uint8_t>{0, 0, 1}));
}

}  // namespace
}  // namespace velnora
