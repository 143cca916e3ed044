// Applying the settings template to accounts and copying an account into it.
#include <gtest/gtest.h>

#include <memory>

#include "config/account_template.h"
#include "config/settings_defaults.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::SetText;

class TemplateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFreshTable(*image, {});
    AccountSettings& t = image->accounts[kTemplateIndex];
    SetText(t.accountName, "template");
    SetText(t.popServer, "pop.template.example");
    t.pollInterval = 7;
    t.partProcessing = 1;
    t.tlsNoVerify = 1;
    SetText(t.filterFrom, "spam@example.org");
    for (int i = 3; i <= 5; ++i) {
      AccountSettings& a = image->accounts[i];
      a.enabled = 1;
      SetText(a.popServer, "pop" + std::to_string(i) + ".example");
      a.mailNumber = int16_t(40 + i);
      a.apportionCount = 9;
    }
  }
  std::unique_ptr<SettingsImage> image = std::make_unique<SettingsImage>();
};

TEST_F(TemplateTest, ApplyingCopiesSettingsNeverTheAccountsOwnCountersOrTheVerificationSwitch) {
  for (int i = 3; i <= 5; ++i) ApplyTemplate(*image, i, {});
  for (int i = 3; i <= 5; ++i) {
    const AccountSettings& a = image->accounts[i];
    EXPECT_EQ(int(a.enabled), 0) << i;
    EXPECT_STREQ(a.popServer, "pop.template.example");
    EXPECT_STREQ(a.filterFrom, "spam@example.org");
    EXPECT_EQ(int(a.pollInterval), 7);
    EXPECT_EQ(int(a.partProcessing), 1);
    EXPECT_EQ(int(a.tlsNoVerify), 0) << "certificate checks are switched off only when asked";
    EXPECT_EQ(int(a.accountNumber), i);
    EXPECT_EQ(int(a.mailNumber), 40 + i);
    EXPECT_EQ(int(a.apportionCount), 9);
  }
  EXPECT_STREQ(image->accounts[6].popServer, "");

  ApplyTemplate(*image, 3, {.includeSecuritySwitches = true});
  EXPECT_EQ(int(image->accounts[3].tlsNoVerify), 1);
}

TEST_F(TemplateTest, KeepingTheServerPageLeavesServersNameAndSwitch) {
  ApplyTemplate(*image, 4, {.keepServerPage = true});
  const AccountSettings& a = image->accounts[4];
  EXPECT_EQ(int(a.enabled), 1);
  EXPECT_STREQ(a.popServer, "pop4.example");
  EXPECT_STREQ(a.accountName, "");
  EXPECT_EQ(int(a.pollInterval), 10) << "the check interval is a Server-page field";
  EXPECT_EQ(int(a.partProcessing), 1);
  EXPECT_STREQ(a.filterFrom, "spam@example.org");
}

TEST_F(TemplateTest, CopyingToTheTemplateNamesItAsACopyAndSwitchesItOff) {
  SetText(image->accounts[7].accountName, "abc");
  image->accounts[7].enabled = 1;
  image->accounts[7].pollInterval = 33;
  CopyToTemplate(*image, 7);
  const AccountSettings& t = image->accounts[kTemplateIndex];
  EXPECT_STREQ(t.accountName, "Copy_of_abc");
  EXPECT_EQ(int(t.enabled), 0);
  EXPECT_EQ(int(t.pollInterval), 33);
  EXPECT_EQ(int(t.accountNumber), kTemplateIndex);

  // A name of 247 characters or more is taken as it is.
  const std::string longName(250, 'n');
  SetText(image->accounts[8].accountName, longName);
  CopyToTemplate(*image, 8);
  EXPECT_EQ(std::string(t.accountName), longName);
}

}  // namespace
}  // namespace velnora
