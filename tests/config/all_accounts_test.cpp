// One check box set for every account: exactly accounts 0..399 change, and
// only the field and the partners its page keeps in step with it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "config/all_accounts.h"
#include "config/settings_defaults.h"

namespace velnora {
namespace {

// Byte offset of the first difference, or -1.
long FirstDifference(const SettingsImage& a, const SettingsImage& b) {
  const auto* x = reinterpret_cast<const unsigned char*>(&a);
  const auto* y = reinterpret_cast<const unsigned char*>(&b);
  for (std::size_t i = 0; i < sizeof a; ++i) {
    if (x[i] != y[i]) return long(i);
  }
  return -1;
}

TEST(AllAccountsTest, SetsAccountsZeroTo399AndThePartnersOnlyNeverTheTemplate) {
  struct Case {
    const char* field;
    bool value;
    std::function<void(AccountSettings&)> expected;
  };
  const Case cases[] = {
      {"partProcessing", true, [](AccountSettings& a) { a.partProcessing = 1; }},
      {"dropDateHeader", true, [](AccountSettings& a) { a.dropDateHeader = 1; }},
      {"nonBlocking", false, [](AccountSettings& a) { a.nonBlocking = 0; }},
      {"oversizeDrop", true, [](AccountSettings& a) { a.oversizeDrop = 1, a.oversizeStripAttachments = 0; }},
      {"oversizeDrop", false, [](AccountSettings& a) { a.oversizeDrop = 0, a.oversizeStripAttachments = 1; }},
      {"oversizeStripAttachments", false,
       [](AccountSettings& a) { a.oversizeStripAttachments = 0, a.oversizeDrop = 1; }},
      {"extractLinks", true, [](AccountSettings& a) { a.extractLinks = 1, a.noAutoCrlf = 1; }},
      {"extractLinks", false, [](AccountSettings& a) { a.extractLinks = 0; }},
      {"noUidl", true, [](AccountSettings& a) { a.noUidl = 1, a.noUidlActive = 1; }},
  };
  for (const Case& c : cases) {
    auto image = std::make_unique<SettingsImage>();
    MakeFreshTable(*image, {});
    for (AccountSettings& a : image->accounts) {
      a.noAutoCrlf = 0;  // so that a flag requiring it shows whether it was set
      a.oversizeStripAttachments = 1;
    }
    auto expected = std::make_unique<SettingsImage>();
    std::memcpy(expected.get(), image.get(), sizeof *image);
    for (int i = 0; i < 400; ++i) c.expected(expected->accounts[i]);

    SetForAllAccounts(*image, *FindField(SettingsRecord::Account, c.field), c.value);
    EXPECT_EQ(FirstDifference(*image, *expected), -1) << c.field << " " << c.value;
  }
}

TEST(AllAccountsTest, OffersThePartProcessingBoxesAndTheAdvancedFlagsButTheHtmlEncodingOnes) {
  for (const char* name : {"partProcessing", "oversizeStripAttachments", "oversizeDrop", "preferHtmlPart",
                           "keepExtensionsOn", "htmlToText", "extractLinks", "extractTitles", "extractImageAlt",
                           "skipRemainingAtStartup", "noUidl", "noResendException1", "noSendDelay"}) {
    EXPECT_TRUE(OffersAllAccounts(name)) << name;
  }
  for (const char* name : {"htmlUseUtf8", "htmlBase64", "strictUtf8", "phoneMode", "enabled", "useSchedule",
                           "oversizeKb", "keepExtensions", "subjectPrefix", "limitSubjectBytes", "noUidlActive",
                           "phoneKeepReFw", "remoteControl", "nosuchfield"}) {
    EXPECT_FALSE(OffersAllAccounts(name)) << name;
  }
  int offered = 0;
  for (const FieldInfo& field : AllFields()) offered += OffersAllAccounts(field.name);
  EXPECT_EQ(offered, 9 + 46);  // Part Processing, and the Advanced page's 49 flags less three
}

}  // namespace
}  // namespace velnora
