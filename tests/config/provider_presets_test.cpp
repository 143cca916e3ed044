// The provider presets file and what a chosen preset fills in.
#include <gtest/gtest.h>

#include "config/provider_presets.h"
#include "support/test_text.h"

namespace velnora {
namespace {

TEST(ProviderPresets, OnePresetWithCrLfLinesIsPreselectedAndFillsTheServerFields) {
  const auto presets = ParseProviderPresets(
      "SETTING=Example Mail\r\nDOMAIN=example.jp\r\nPOPSERVER=pop.example.jp\r\nPOPPORT=995\r\nPOPSSL=1\r\n");
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(PreselectedPreset(presets, "taro@MAIL.Example.JP"), 0);
  EXPECT_EQ(PreselectedPreset(presets, "taro@example.com"), -1);

  AccountSettings account{};
  testing::SetText(account.smtpServer, "old.smtp");
  account.smtpPort = 25;
  ApplyPreset(presets[0], account);
  EXPECT_STREQ(account.popServer, "pop.example.jp");
  EXPECT_EQ(int(account.popPort), 995);
  EXPECT_EQ(int(account.popSsl), 1);
  EXPECT_STREQ(account.smtpServer, "");
  EXPECT_EQ(int(account.smtpPort), 0);
}

TEST(ProviderPresets, FileRules) {
  // A key before any SETTING= belongs to preset 0; a later key overwrites;
  // numbers are leading numbers; a last line without LF is not read; keys
  // are upper case at the start of the line.
  const auto presets = ParseProviderPresets(
      "POPPORT=110\nSETTING=A\nPOPPORT=995abc\nSMTPPORT=x\nSETTING=B\npopserver=lower\n POPSERVER=indented\n"
      "SMTPWAITTIME=-5\nPOPSERVER=last-line-without-lf");
  ASSERT_EQ(presets.size(), 2u);
  EXPECT_EQ(presets[0].name, "A");
  EXPECT_EQ(presets[0].popPort, 995) << "the first SETTING= names the preset the earlier key went to";
  EXPECT_EQ(presets[0].smtpPort, 0);
  EXPECT_EQ(presets[1].popServer, "");
  EXPECT_EQ(presets[1].smtpWaitTime, -5);

  std::string many;
  for (int i = 0; i < 30; ++i) many += "SETTING=p" + std::to_string(i) + "\n";
  EXPECT_EQ(ParseProviderPresets(many).size(), kMostProviderPresets);
  EXPECT_EQ(ParseProviderPresets("SETTING=" + std::string(100, 'n') + "\n")[0].name.size(), 63u);
}

TEST(ProviderPresets, ListEntriesKeepTheirPresetsOwnNumber) {
  // The first section has no name: the list skips it, and choosing "B"
  // must fill in B's servers, not those of the unnamed section.
  const auto presets =
      ParseProviderPresets("SETTING=\nPOPSERVER=unnamed.example\nSETTING=B\nDOMAIN=b.example\nPOPSERVER=b.example\nSETTING=C\nDOMAIN=\n");
  const std::vector<ListedPreset> listed = ListedPresets(presets);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name, "B");
  EXPECT_EQ(presets[std::size_t(listed[0].preset)].popServer, "b.example");
  EXPECT_EQ(PreselectedPreset(presets, "anyone@anywhere"), 2) << "an empty domain matches every address";
}

}  // namespace
}  // namespace velnora
