// The repairs a load applies, each on a file written byte by byte.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/settings_file.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

// Record fields are packed and may sit at odd addresses: they are compared
// as values (+field), since the assertions take references.

struct RepairCase {
  const char* what;
  std::function<void(std::vector<uint8_t>&)> write;
  std::function<void(const SettingsImage&)> check;
};

class SettingsRepairs : public ::testing::TestWithParam<RepairCase> {};

TEST_P(SettingsRepairs, LoadRepairs) {
  TempFolder current, config;
  std::vector<uint8_t> bytes = BareSettings();
  // Sensible values for what the cases do not look at.
  PutInt16(bytes, 120, 10000);
  PutInt16(bytes, 122, 10000);
  GetParam().write(bytes);
  WriteBytes(config.File("velnora4_zo400.prf"), Scrambled(bytes));
  SettingsLocation location(current.path(), config.path());
  auto image = std::make_unique<SettingsImage>();
  const LoadResult result = LoadSettings(*image, location, DisplayArea{1920, 1080}, true);
  ASSERT_TRUE(result.valid);
  GetParam().check(*image);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsRepairs,
    ::testing::Values(
        RepairCase{"window left of the screen is centred from the stored column widths",
                   [](auto& b) {
                     for (int i = 0; i < 6; ++i) PutInt16(b, 16 + 2 * i, 50);
                     PutInt16(b, 32, -5);
                     PutInt16(b, 34, 10);
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.common.windowWidth, 315);
                     EXPECT_EQ(+s.common.windowHeight, 415);
                     EXPECT_EQ(+s.common.windowLeft, (1920 - 315) / 2);
                     EXPECT_EQ(+s.common.windowTop, (1080 - 415) / 2);
                   }},
        RepairCase{"window on the screen stays",
                   [](auto& b) {
                     PutInt16(b, 28, 700);
                     PutInt16(b, 30, 500);
                     PutInt16(b, 32, 1920);
                     PutInt16(b, 34, 1080);
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.common.windowWidth, 700);
                     EXPECT_EQ(+s.common.windowLeft, 1920);
                     EXPECT_EQ(+s.common.windowTop, 1080);
                   }},
        RepairCase{"window below the screen is centred",
                   [](auto& b) { PutInt16(b, 34, 1081); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.windowTop, (1080 - 415) / 2); }},
        RepairCase{"log columns of 0 or less become 100",
                   [](auto& b) {
                     PutInt16(b, 16, 0);
                     PutInt16(b, 18, -3);
                     PutInt16(b, 20, 7);
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.common.logColumnWidths[0], 100);
                     EXPECT_EQ(+s.common.logColumnWidths[1], 100);
                     EXPECT_EQ(+s.common.logColumnWidths[2], 7);
                   }},
        RepairCase{"account columns are always reset",
                   [](auto& b) { PutInt16(b, 452, 999); },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.common.accountColumnWidths[0], 25);
                     EXPECT_EQ(+s.common.accountColumnWidths[8], 150);
                   }},
        RepairCase{"trimming with a limit of 0 is switched off",
                   [](auto& b) { PutInt16(b, 62, 1); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.trimHistory, 0); }},
        RepairCase{"trimming with a limit stays on",
                   [](auto& b) {
                     PutInt16(b, 62, 1);
                     PutInt32(b, 64, 50);
                   },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.trimHistory, 1); }},
        RepairCase{"stuckWorkerMinutes 3 becomes 10", [](auto& b) { PutInt32(b, 92, 3); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.stuckWorkerMinutes, 10); }},
        RepairCase{"maxHeldMailsNext 60000 sets both capacities to 10000",
                   [](auto& b) {
                     PutInt16(b, 120, 20000);
                     PutInt16(b, 122, 60000);
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.common.maxHeldMails, 10000);
                     EXPECT_EQ(+s.common.maxHeldMailsNext, 10000);
                   }},
        RepairCase{"capacities inside the bounds stay",
                   [](auto& b) {
                     PutInt16(b, 120, 1000);
                     PutInt16(b, 122, 50000);
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.common.maxHeldMails, 1000);
                     EXPECT_EQ(+s.common.maxHeldMailsNext, 50000);
                   }},
        RepairCase{"autoConnectDelaySec 0 becomes 5", [](auto& b) { PutInt16(b, 384, 0); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.autoConnectDelaySec, 5); }},
        RepairCase{"autoConnectDelaySec 61 becomes 60", [](auto& b) { PutInt16(b, 384, 61); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.autoConnectDelaySec, 60); }},
        RepairCase{"viewMode 6 becomes 2", [](auto& b) { PutInt16(b, 472, 6); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.viewMode, 2); }},
        RepairCase{"a negative viewMode still names a layout", [](auto& b) { PutInt16(b, 472, -1); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.viewMode, 3); }},
        RepairCase{"accountPaneWidth below 30 becomes 360", [](auto& b) { PutInt16(b, 474, 29); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.accountPaneWidth, 360); }},
        RepairCase{"accountPaneWidth wider than half the screen is cut",
                   [](auto& b) { PutInt16(b, 474, 1500); },
                   [](const SettingsImage& s) { EXPECT_EQ(+s.common.accountPaneWidth, 960); }},
        RepairCase{"feature-phone split values",
                   [](auto& b) {
                     PutInt16(b, AccountAt(2) + 6439, -1);  // phoneSplitMaxMails
                     PutInt16(b, AccountAt(2) + 6437, 9);   // phoneSplitBytes
                     PutInt16(b, AccountAt(3) + 6437, -20);
                     PutInt16(b, AccountAt(2) + 7481, 601); // phoneSplitDelaySec
                     PutInt16(b, AccountAt(3) + 7481, 600);
                     PutInt16(b, AccountAt(2) + 7747, 5);   // phoneSubjectBytes
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.accounts[2].phoneSplitMaxMails, 1);
                     EXPECT_EQ(+s.accounts[2].phoneSplitBytes, 9);
                     EXPECT_EQ(+s.accounts[3].phoneSplitBytes, 8);
                     EXPECT_EQ(+s.accounts[2].phoneSplitDelaySec, 10);
                     EXPECT_EQ(+s.accounts[3].phoneSplitDelaySec, 600);
                     EXPECT_EQ(+s.accounts[2].phoneSubjectBytes, 5);
                     EXPECT_EQ(+s.accounts[3].phoneSubjectBytes, 16);
                   }},
        RepairCase{"citation prefixes, account name end and the cut word",
                   [](auto& b) {
                     PutText(b, AccountAt(1) + 5393, ">>");
                     for (int i = 0; i < 254; ++i) b[AccountAt(1) + 5123 + i] = 'n';
                     PutInt16(b, AccountAt(1) + 7741, 1);   // phoneCutAtWord, empty word
                     PutInt16(b, AccountAt(2) + 7741, 1);
                     PutText(b, AccountAt(2) + 7483, "--");
                   },
                   [](const SettingsImage& s) {
                     EXPECT_STREQ(s.accounts[0].phoneCitationPrefixes, "> |");
                     EXPECT_STREQ(s.accounts[1].phoneCitationPrefixes, ">>");
                     EXPECT_EQ(+s.accounts[1].accountName[253], '\0');
                     EXPECT_EQ(+s.accounts[1].accountName[252], 'n');
                     EXPECT_EQ(+s.accounts[1].phoneCutAtWord, 0);
                     EXPECT_EQ(+s.accounts[2].phoneCutAtWord, 1);
                   }},
        RepairCase{"limitSubjectBytes outside 1..254 becomes 80",
                   [](auto& b) {
                     PutInt16(b, AccountAt(0) + 37201, 255);
                     PutInt16(b, AccountAt(1) + 37201, 254);
                     PutInt16(b, AccountAt(2) + 37201, -1);
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.accounts[0].limitSubjectBytes, 80);
                     EXPECT_EQ(+s.accounts[1].limitSubjectBytes, 254);
                     EXPECT_EQ(+s.accounts[2].limitSubjectBytes, 80);
                   }},
        RepairCase{"working copy of noUidl and the record numbers",
                   [](auto& b) {
                     PutInt16(b, AccountAt(5) + 36737, 1);    // noUidl
                     PutInt16(b, AccountAt(6) + 36735, 1);    // stale noUidlActive
                     PutInt16(b, AccountAt(5) + 37173, 77);   // accountIndex
                     PutInt16(b, AccountAt(400) + 37645, 9);  // template accountNumber
                   },
                   [](const SettingsImage& s) {
                     EXPECT_EQ(+s.accounts[5].noUidlActive, 1);
                     EXPECT_EQ(+s.accounts[6].noUidlActive, 0);
                     EXPECT_EQ(+s.accounts[5].accountIndex, 5);
                     EXPECT_EQ(+s.accounts[400].accountIndex, 400);
                     EXPECT_EQ(+s.accounts[399].accountNumber, 399);
                     EXPECT_EQ(+s.accounts[400].accountNumber, 9);  // only accounts 0..399
                   }}));

TEST(SettingsRepairs, SuspensionsInMemorySurviveAReloadWhateverTheFileSays) {
  TempFolder current, config;
  std::vector<uint8_t> bytes = BareSettings();
  PutInt16(bytes, AccountAt(4) + 37171, 1);  // remoteSuspended in the file
  WriteBytes(config.File("velnora4_zo400.prf"), Scrambled(bytes));
  SettingsLocation location(current.path(), config.path());
  auto image = std::make_unique<SettingsImage>();
  image->accounts[7].remoteSuspended = 1;
  LoadSettings(*image, location, DisplayArea{}, false);
  EXPECT_EQ(+image->accounts[4].remoteSuspended, 0);
  EXPECT_EQ(+image->accounts[7].remoteSuspended, 1);

  // A tool showing the file takes the file's values.
  LoadSettings(*image, location, DisplayArea{}, false, false);
  EXPECT_EQ(+image->accounts[4].remoteSuspended, 1);
  EXPECT_EQ(+image->accounts[7].remoteSuspended, 0);
}

}  // namespace
}  // namespace velnora
