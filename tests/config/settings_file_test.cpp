// The settings file on disk: its size and scrambling, where it is looked for
// and written, what a load takes from short or foreign files, and copies.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "config/field_access.h"
#include "config/settings_file.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

// Record fields are packed and may sit at odd addresses: they are compared
// as values (+field), since the assertions take references.
namespace fs = std::filesystem;

constexpr char kName[] = "velnora4_zo400.prf";

std::unique_ptr<SettingsImage> Load(SettingsLocation& location, bool initialise = true) {
  auto image = std::make_unique<SettingsImage>();
  LoadSettings(*image, location, DisplayArea{}, initialise);
  return image;
}

TEST(SettingsFile, NibbleSwapExchangesHalves) {
  std::vector<uint8_t> bytes = {0x12, 0x56, 0x00, 0xFF, 0xA0};
  NibbleSwap(bytes);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x21, 0x65, 0x00, 0xFF, 0x0A}));
}

TEST(SettingsFile, FreshSaveIsTheWholeScrambledImageInTheConfigFolder) {
  TempFolder current, config;
  SettingsLocation location(current.path(), config.path());
  auto image = Load(location);
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  EXPECT_FALSE(fs::exists(current.File(kName)));
  const std::vector<uint8_t> bytes = ReadBytes(config.File(kName));
  ASSERT_EQ(bytes.size(), 18832633u);
  EXPECT_EQ(bytes[0], 0x65);  // "V"
  EXPECT_EQ(Scrambled(bytes), std::vector<uint8_t>(ImageBytes(*image).begin(), ImageBytes(*image).end()));
  EXPECT_EQ(fs::status(config.File(kName)).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(config.File(std::string(kName) + ".new")));
}

TEST(SettingsFile, UnusedReservedAndTailBytesSurviveLoadAndSave) {
  TempFolder current, config;
  std::vector<uint8_t> bytes = BareSettings();
  bytes[74] = 0x11;                      // reserved
  bytes[200] = 0x22;                     // reserved block
  bytes[1000] = 0x33;                    // unused end of the common record
  bytes[AccountAt(9) + 37700] = 0x44;    // unused end of an account record
  bytes[ExtraAt(3) + 5000] = 0x55;       // unused part of an extra record
  bytes[kFileSize - 1] = 0x66;           // unused tail
  WriteBytes(config.File(kName), Scrambled(bytes));
  SettingsLocation location(current.path(), config.path());
  auto image = Load(location);
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  const std::vector<uint8_t> saved = Scrambled(ReadBytes(config.File(kName)));
  ASSERT_EQ(saved.size(), kFileSize);
  for (std::size_t at : {std::size_t{74}, std::size_t{200}, std::size_t{1000}, AccountAt(9) + 37700,
                         ExtraAt(3) + 5000, kFileSize - 1}) {
    EXPECT_EQ(saved[at], bytes[at]) << at;
  }
}

TEST(SettingsFile, ShortFileWithTheRightTextKeepsAccountsZeroExceptRepairs) {
  TempFolder current, config;
  WriteBytes(config.File(kName), Scrambled(BareSettings(1000)));
  SettingsLocation location(current.path(), config.path());
  auto image = std::make_unique<SettingsImage>();
  const LoadResult result = LoadSettings(*image, location, DisplayArea{}, true);
  EXPECT_TRUE(result.valid);
  EXPECT_FALSE(result.freshTable);
  const AccountSettings& a = image->accounts[17];
  EXPECT_EQ(+a.popPort, 0);
  EXPECT_EQ(+a.smtpPort, 0);
  EXPECT_EQ(+a.phoneSplitBytes, 8);
  EXPECT_EQ(+a.phoneSplitMaxMails, 1);
  EXPECT_STREQ(a.phoneCitationPrefixes, "> |");
  EXPECT_STREQ(a.lastCheckTime, "");
}

TEST(SettingsFile, ForeignFileGivesAFreshTableOrIsTakenAsRead) {
  TempFolder current, config;
  std::vector<uint8_t> bytes(kFileSize, 0);
  PutText(bytes, 0, "SOMETHING_ELSE");
  PutInt32(bytes, 64, 1234);  // historyLimit
  WriteBytes(config.File(kName), Scrambled(bytes));
  SettingsLocation location(current.path(), config.path());

  auto image = std::make_unique<SettingsImage>();
  LoadResult result = LoadSettings(*image, location, DisplayArea{}, true);
  EXPECT_TRUE(result.fileFound);
  EXPECT_FALSE(result.valid);
  EXPECT_TRUE(result.freshTable);
  EXPECT_STREQ(image->common.magic, "VEL_NORA4_SP4");
  EXPECT_EQ(+image->common.historyLimit, 4000);

  result = LoadSettings(*image, location, DisplayArea{}, false);
  EXPECT_FALSE(result.freshTable);
  EXPECT_STREQ(image->common.magic, "SOMETHING_ELSE");
  EXPECT_EQ(+image->common.historyLimit, 1234);
}

TEST(SettingsFile, CurrentFolderFileWinsAndMovesTheCompanionFiles) {
  TempFolder current, config;
  std::vector<uint8_t> inCurrent = BareSettings(), inConfig = BareSettings();
  PutInt32(inCurrent, 64, 111);
  PutInt32(inConfig, 64, 222);
  WriteBytes(config.File(kName), Scrambled(inConfig));

  SettingsLocation plain(current.path(), config.path());
  EXPECT_EQ(Load(plain)->common.historyLimit, 222);
  EXPECT_FALSE(plain.currentFolderMode());
  EXPECT_EQ(plain.HistoryPath(), config.File("velnora_.log"));
  EXPECT_EQ(plain.UidlStorePath(), config.File("velnora4uidl_zo400.mbx"));

  WriteBytes(current.File(kName), Scrambled(inCurrent));
  SettingsLocation location(current.path(), config.path());
  auto image = Load(location);
  EXPECT_EQ(+image->common.historyLimit, 111);
  EXPECT_TRUE(location.currentFolderMode());
  EXPECT_EQ(location.HistoryPath(), current.File("velnora_.log"));
  EXPECT_EQ(location.UidlStorePath(), current.File("velnora4uidl_zo400.mbx"));

  image->common.historyLimit = 333;
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  EXPECT_EQ(Scrambled(ReadBytes(current.File(kName)))[64], 333 % 256);
  EXPECT_EQ(Scrambled(ReadBytes(config.File(kName)))[64], 222);

  // The mode stays for the run even when the file goes away.
  fs::remove(current.File(kName));
  Load(location);
  EXPECT_TRUE(location.currentFolderMode());
}

TEST(SettingsFile, SaveFallsBackToTheCurrentFolderWithoutAConfigFolder) {
  TempFolder current, config;
  SettingsLocation location(current.path(), config.File("missing/deeper"));
  auto image = Load(location);
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  EXPECT_EQ(fs::file_size(current.File(kName)), kFileSize);
}

TEST(SettingsFile, SaveReportsThatNothingCouldBeWritten) {
  TempFolder base;
  SettingsLocation location(base.File("no/current"), base.File("no/config"));
  auto image = Load(location);
  EXPECT_EQ(SaveSettings(*image, location), SaveResult::NoWritableFile);
}

TEST(SettingsFile, SaveReplacesAReadOnlyFile) {
  TempFolder current, config;
  SettingsLocation location(current.path(), config.path());
  auto image = Load(location);
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  fs::permissions(config.File(kName), fs::perms::owner_read);
  image->common.historyLimit = 77;
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  EXPECT_EQ(Load(location)->common.historyLimit, 77);
}

TEST(CopyFile64k, CopiesEveryByteAcrossPieceBoundaries) {
  TempFolder folder;
  std::vector<uint8_t> bytes(65536 * 3 + 17);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  WriteBytes(folder.File("a"), bytes);
  WriteBytes(folder.File("b"), std::vector<uint8_t>(5, 1));
  fs::permissions(folder.File("b"), fs::perms::owner_read);
  ASSERT_TRUE(CopyFile64k(folder.File("a"), folder.File("b")));
  EXPECT_EQ(ReadBytes(folder.File("b")), bytes);
}

TEST(CopyFile64k, MissingSourceLeavesTheTargetAlone) {
  TempFolder folder;
  WriteBytes(folder.File("b"), {1, 2, 3});
  EXPECT_FALSE(CopyFile64k(folder.File("missing"), folder.File("b")));
  EXPECT_EQ(ReadBytes(folder.File("b")), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(CopyFile64k(folder.File("b"), folder.File("no/such/folder/c")));
}

TEST(CopyFile64k, CopyOntoItselfKeepsTheContent) {
  TempFolder folder;
  const std::vector<uint8_t> bytes(100000, 0x5A);
  WriteBytes(folder.File("a"), bytes);
  ASSERT_TRUE(CopyFile64k(folder.File("a"), folder.File("a")));
  EXPECT_EQ(ReadBytes(folder.File("a")), bytes);
}

}  // namespace
}  // namespace velnora
