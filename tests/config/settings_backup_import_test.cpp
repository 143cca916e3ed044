// Backup, restore and the import of the two older editions.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "config/settings_backup.h"
#include "config/settings_file.h"
#include "config/settings_import.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

// Record fields are packed and may sit at odd addresses: they are compared
// as values (+field), since the assertions take references.

constexpr char kName[] = "velnora4_zo400.prf";

class BackupRestore : public ::testing::Test {
 protected:
  TempFolder current, config, elsewhere;
  SettingsLocation location{current.path(), config.path()};
  std::unique_ptr<SettingsImage> image = std::make_unique<SettingsImage>();
};

TEST_F(BackupRestore, BackupCopiesTheFileAsLastSaved) {
  LoadSettings(*image, location, DisplayArea{}, true);
  image->common.historyLimit = 999;
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  image->common.historyLimit = 5;  // changed after the save: not in the backup
  ASSERT_TRUE(BackupSettings(location, elsewhere.File("copy.prf")));
  EXPECT_EQ(ReadBytes(elsewhere.File("copy.prf")), ReadBytes(config.File(kName)));
}

TEST_F(BackupRestore, BackupWithoutASettingsFileFails) {
  EXPECT_FALSE(BackupSettings(location, elsewhere.File("copy.prf")));
}

TEST_F(BackupRestore, RestoreLoadsTheCopyAndKeepsSuspensions) {
  std::vector<uint8_t> backup = BareSettings();
  PutInt32(backup, 64, 4321);                 // historyLimit
  PutInt16(backup, AccountAt(3) + 37171, 0);  // account 3 not suspended in the backup
  WriteBytes(elsewhere.File("b.prf"), Scrambled(backup));
  LoadSettings(*image, location, DisplayArea{}, true);
  image->accounts[3].remoteSuspended = 1;

  const RestoreResult result = RestoreSettings(*image, location, DisplayArea{}, elsewhere.File("b.prf"));
  ASSERT_TRUE(result.copied);
  EXPECT_TRUE(result.load.valid);
  EXPECT_EQ(+image->common.historyLimit, 4321);
  EXPECT_EQ(+image->accounts[3].remoteSuspended, 1);
  EXPECT_EQ(ReadBytes(config.File(kName)), Scrambled(backup));
}

TEST_F(BackupRestore, RestoreOfAForeignFileIsRefusedBeforeAnythingChanges) {
  WriteBytes(elsewhere.File("x.prf"), std::vector<uint8_t>(5000, 0x41));
  LoadSettings(*image, location, DisplayArea{}, true);
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  const std::vector<uint8_t> before = ReadBytes(config.File(kName));
  image->common.historyLimit = 1;
  const RestoreResult result = RestoreSettings(*image, location, DisplayArea{}, elsewhere.File("x.prf"));
  EXPECT_FALSE(result.copied);
  EXPECT_TRUE(result.sourceRefused);
  EXPECT_EQ(result.source.state, SettingsFileState::WrongIdentification);
  EXPECT_EQ(+image->common.historyLimit, 1);
  EXPECT_EQ(ReadBytes(config.File(kName)), before);
  EXPECT_FALSE(std::filesystem::exists(config.File(std::string(kName) + ".bak")));
}

TEST_F(BackupRestore, FailedRestoreCopyLoadsNothing) {
  LoadSettings(*image, location, DisplayArea{}, true);
  image->common.historyLimit = 1;
  const RestoreResult result = RestoreSettings(*image, location, DisplayArea{}, elsewhere.File("none"));
  EXPECT_FALSE(result.copied);
  EXPECT_EQ(+image->common.historyLimit, 1);
}

// An old file: identification text, common bytes 16..1099, then records.
std::vector<uint8_t> OldFile(const char* magic, int accounts, std::size_t recordSize) {
  std::vector<uint8_t> bytes(kCommonBytes + accounts * recordSize, 0);
  PutText(bytes, 0, magic);
  PutInt16(bytes, 36, 1);     // autoConnect
  PutInt32(bytes, 64, 2500);  // historyLimit
  for (int i = 0; i < accounts; ++i) {
    const std::size_t at = kCommonBytes + i * recordSize;
    PutText(bytes, at + 5123, "old" + std::to_string(i));  // accountName
    PutInt16(bytes, at + 7979, 995);                        // popPort
  }
  return bytes;
}

class ImportOld : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsLocation location(current.path(), config.path());
    LoadSettings(*image, location, DisplayArea{}, true);
    for (int i = 0; i < kAccountSlots; ++i) image->accounts[i].pollInterval = 33;
    image->accounts[150].popPort = 1110;
    image->accounts[400].popPort = 4000;
    image->extras[0].replaceFromOn = 1;
    image->accounts[5].tlsNoVerify = 1;  // beyond the 37,223 bytes of the old records
  }
  TempFolder current, config, elsewhere;
  std::unique_ptr<SettingsImage> image = std::make_unique<SettingsImage>();
};

TEST_F(ImportOld, Kind2TakesTheFirstHundredAccountsAndLeavesTheRest) {
  WriteBytes(elsewhere.File("old.prf"), Scrambled(OldFile("VEL_NORA4_SP1", 100, 37723)));
  ASSERT_EQ(ImportOldSettings(*image, elsewhere.File("old.prf"), OldSettingsKind::Edition100),
            ImportResult::Imported);
  EXPECT_STREQ(image->common.magic, "VEL_NORA4_SP4");
  EXPECT_EQ(+image->common.historyLimit, 2500);
  EXPECT_EQ(+image->common.autoConnect, 0);
  EXPECT_STREQ(image->accounts[99].accountName, "old99");
  EXPECT_EQ(+image->accounts[99].popPort, 995);
  EXPECT_EQ(+image->accounts[99].pollInterval, 0);  // whole record replaced
  EXPECT_EQ(+image->accounts[100].pollInterval, 33);
  EXPECT_EQ(+image->accounts[150].popPort, 1110);
  EXPECT_EQ(+image->accounts[399].pollInterval, 33);
  EXPECT_EQ(+image->accounts[400].popPort, 4000);
  EXPECT_EQ(+image->extras[0].replaceFromOn, 1);
}

TEST_F(ImportOld, Kind1KeepsTheBytesBeyondTheOldRecordLength) {
  WriteBytes(elsewhere.File("old.prf"), Scrambled(OldFile("VEL_NORA_SP41", 400, 37223)));
  ASSERT_EQ(ImportOldSettings(*image, elsewhere.File("old.prf"), OldSettingsKind::PreviousGeneration400),
            ImportResult::Imported);
  EXPECT_STREQ(image->accounts[0].accountName, "old0");
  EXPECT_STREQ(image->accounts[399].accountName, "old399");
  EXPECT_EQ(+image->accounts[150].popPort, 995);
  EXPECT_EQ(+image->accounts[5].tlsNoVerify, 1);
  EXPECT_EQ(+image->accounts[400].popPort, 4000);
}

TEST_F(ImportOld, WrongKindOrCutFileChangesNothing) {
  WriteBytes(elsewhere.File("kind2.prf"), Scrambled(OldFile("VEL_NORA4_SP1", 100, 37723)));
  std::vector<uint8_t> cut = OldFile("VEL_NORA4_SP1", 100, 37723);
  cut.resize(cut.size() - 1);
  WriteBytes(elsewhere.File("cut.prf"), Scrambled(cut));
  WriteBytes(elsewhere.File("current.prf"), Scrambled(BareSettings()));

  EXPECT_EQ(ImportOldSettings(*image, elsewhere.File("kind2.prf"), OldSettingsKind::PreviousGeneration400),
            ImportResult::WrongKind);
  EXPECT_EQ(ImportOldSettings(*image, elsewhere.File("current.prf"), OldSettingsKind::Edition100),
            ImportResult::WrongKind);
  EXPECT_EQ(ImportOldSettings(*image, elsewhere.File("cut.prf"), OldSettingsKind::Edition100),
            ImportResult::Truncated);
  EXPECT_EQ(ImportOldSettings(*image, elsewhere.File("none.prf"), OldSettingsKind::Edition100),
            ImportResult::Unreadable);
  EXPECT_EQ(+image->accounts[0].pollInterval, 33);
  EXPECT_EQ(+image->common.historyLimit, 4000);
}

}  // namespace
}  // namespace velnora
