// A fresh settings table, byte for byte: the documented defaults at their
// offsets and zero everywhere else.
#include <gtest/gtest.h>

#include <algorithm>
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

// Account record bytes that a load of a fresh table gives, written out here.
std::vector<uint8_t> ExpectedFreshAccount(int index) {
  std::vector<uint8_t> a(kAccountBytes, 0);
  PutInt16(a, 7979, 110);  // popPort
  PutInt16(a, 7981, 25);   // smtpPort
  PutInt16(a, 37053, 110); // pbsPort
  PutInt16(a, 7983, 10);   // pollInterval
  PutText(a, 5393, "> |"); // phoneCitationPrefixes
  PutText(a, 7777, "N/A"); // lastCheckTime
  for (std::size_t flagOn : {7987, 7753, 7757, 7761, 7763, 36721, 36773, 37179, 37625, 37637, 37639,
                             37641, 37643}) {
    PutInt16(a, flagOn, 1);
  }
  PutInt16(a, 6437, 360);  // phoneSplitBytes
  PutInt16(a, 6439, 4);    // phoneSplitMaxMails
  PutInt16(a, 7481, 10);   // phoneSplitDelaySec
  PutInt16(a, 7747, 16);   // phoneSubjectBytes
  PutInt16(a, 7477, 40);   // phoneLineBreakBytes
  PutInt16(a, 37201, 80);  // limitSubjectBytes, by the load's repair
  PutInt16(a, 37173, index);                      // accountIndex
  if (index < 400) PutInt16(a, 37645, index);     // accountNumber
  else PutInt16(a, 37645, 400);
  return a;
}

std::vector<uint8_t> ExpectedFreshCommon() {
  std::vector<uint8_t> c(kCommonBytes, 0);
  PutText(c, 0, "VEL_NORA4_SP4");
  const int logColumns[] = {100, 100, 120, 250, 120, 120};
  for (int i = 0; i < 6; ++i) PutInt16(c, 16 + 2 * i, logColumns[i]);
  PutInt16(c, 28, 825);
  PutInt16(c, 30, 415);
  PutInt16(c, 32, (1920 - 825) / 2);
  PutInt16(c, 34, (1080 - 415) / 2);
  PutInt16(c, 38, 1);      // preventDuplicates
  PutInt16(c, 62, 1);      // trimHistory
  PutInt32(c, 64, 4000);   // historyLimit
  PutInt32(c, 80, 60);     // timeoutSec
  PutInt16(c, 90, 1);      // restartStuckWorker
  PutInt32(c, 92, 30);     // stuckWorkerMinutes
  PutInt16(c, 120, 10000); // maxHeldMails
  PutInt16(c, 122, 10000); // maxHeldMailsNext
  PutInt16(c, 380, 1);     // autoScroll
  PutInt16(c, 384, 5);     // autoConnectDelaySec
  PutInt16(c, 386, 1);     // noUpdateInfo
  const int accountColumns[] = {25, 125, 50, 50, 50, 50, 50, 110, 150, 50};
  for (int i = 0; i < 10; ++i) PutInt16(c, 452 + 2 * i, accountColumns[i]);
  PutInt16(c, 474, 360);   // accountPaneWidth
  return c;
}

std::vector<uint8_t> Bytes(std::span<const uint8_t> s) { return {s.begin(), s.end()}; }

TEST(FreshSettings, LoadWithoutAFileGivesTheDocumentedTable) {
  TempFolder current, config;
  SettingsLocation location(current.path(), config.path());
  auto image = std::make_unique<SettingsImage>();
  const LoadResult result = LoadSettings(*image, location, DisplayArea{1920, 1080}, true);
  EXPECT_FALSE(result.fileFound);
  EXPECT_TRUE(result.freshTable);
  EXPECT_EQ(Bytes(RecordBytes(image->common)), ExpectedFreshCommon());
  for (int index : {0, 1, 399, 400}) {
    EXPECT_EQ(Bytes(RecordBytes(image->accounts[index])), ExpectedFreshAccount(index)) << index;
  }
  for (const AccountExtraSettings& extra : image->extras) {
    const auto bytes = RecordBytes(extra);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; }));
  }
}

TEST(FreshSettings, InvertedFeaturePhoneBoxesShowTheirDocumentedState) {
  auto image = std::make_unique<SettingsImage>();
  TempFolder current, config;
  SettingsLocation location(current.path(), config.path());
  LoadSettings(*image, location, DisplayArea{}, true);
  // "分割転送の場合1通目はカットしない" checked, "Re:を'<' Fw:を'>'に変える" unchecked.
  EXPECT_EQ(+image->accounts[0].phoneCutFirstSubject, 0);
  EXPECT_EQ(+image->accounts[0].phoneKeepReFw, 1);
}

TEST(FreshSettings, WindowIsCentredOnTheGivenScreen) {
  auto image = std::make_unique<SettingsImage>();
  TempFolder current, config;
  SettingsLocation location(current.path(), config.path());
  LoadSettings(*image, location, DisplayArea{1024, 768}, true);
  EXPECT_EQ(+image->common.windowLeft, (1024 - 825) / 2);
  EXPECT_EQ(+image->common.windowTop, (768 - 415) / 2);
}

}  // namespace
}  // namespace velnora
