// Where the program's own pages come from, which addresses it opens, and
// the items of the accounts' drop-down menu.
#include <gtest/gtest.h>

#include <QDir>

#include "config/settings_image.h"
#include "platform/codepage.h"
#include "support/test_text.h"
#include "ui/main_window.h"
#include "ui/program_files.h"
#include "ui/provider_dialog.h"

namespace velnora::ui {
namespace {

TEST(ProgramFiles, PagesComeFromTheDataFolderOnly) {
  const QString readme = ProgramFilePath(QStringLiteral("readme.html"));
  ASSERT_FALSE(readme.isEmpty());
  EXPECT_TRUE(readme.endsWith(QStringLiteral("/data/readme.html")) ||
              readme.endsWith(QStringLiteral("/share/velnora/readme.html")))
      << readme.toStdString();
  EXPECT_FALSE(ProgramFilePath(QStringLiteral("help/help_08.html")).isEmpty());
  EXPECT_FALSE(ProgramFilePath(QStringLiteral("help/velnoraicon.html")).isEmpty());
  // Nothing outside it, and nothing from the current folder.
  EXPECT_TRUE(ProgramFilePath(QStringLiteral("../CMakeLists.txt")).isEmpty());
  EXPECT_TRUE(ProgramFilePath(QStringLiteral("help/../../README.md")).isEmpty());
  EXPECT_TRUE(ProgramFilePath(QStringLiteral("no_such_page.html")).isEmpty());
  EXPECT_NE(DataFolder(), QDir::currentPath());
}

TEST(ProgramFiles, OnlyWebAddressesAreOpened) {
  const struct {
    const char* url;
    bool opened;
  } cases[] = {
      {"https://example.org/velnora/", true},  {"http://example.org", true},
      {"file:///etc/passwd", false},           {"javascript:alert(1)", false},
      {"ftp://example.org/", false},           {"https:///no-host", false},
      {"/usr/bin/xterm", false},               {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(QUrl(QString::fromLatin1(c.url))), c.opened) << c.url;
}

TEST(ProgramFiles, AccountMenuItemsNameTheAccountOrItsUser) {
  AccountSettings account{};
  EXPECT_EQ(MainWindow::AccountMenuText(7, account), QStringLiteral(" 7:アカウント"));
  testing::SetText(account.popUser, "taro");
  EXPECT_EQ(MainWindow::AccountMenuText(7, account), QStringLiteral(" 7:(taro)"));
  testing::SetText(account.accountName, SJIS(u8"東京支社"));
  EXPECT_EQ(MainWindow::AccountMenuText(399, account), QStringLiteral(" 399:東京支社"));
}

TEST(ProgramFiles, InstalledProviderPresetsAreListedAndPreselectedByAddress) {
  const std::vector<ProviderPreset> presets = ProviderDialog::Installed();
  ASSERT_EQ(presets.size(), 3u);
  ProviderDialog gmail(presets, "someone@gmail.com");
  EXPECT_EQ(gmail.list().currentText(), QStringLiteral("Gmail"));
  EXPECT_EQ(presets[std::size_t(gmail.chosen())].popServer, "pop.gmail.com");
  ProviderDialog yahoo(presets, "someone@Yahoo.co.jp");
  EXPECT_EQ(yahoo.list().currentText(), QStringLiteral("Yahoo!メール（Yahoo! JAPAN）"));
  ProviderDialog other(presets, "someone@example.org");
  EXPECT_EQ(other.list().currentText(), QStringLiteral("POP3S / SMTPS（一般）"));
}

}  // namespace
}  // namespace velnora::ui
