// The settings sheet's own controls: radio choices, the schedule's hours,
// the two Server-page dialogs, the server-name boxes, the COPY buttons,
// the help buttons and the capacity notice, each checked against the
// stored bytes they must give.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>

#include "config/settings_defaults.h"
#include "engine/context.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "ui/all_accounts_menu.h"
#include "ui/program_files.h"
#include "ui/provider_dialog.h"
#include "ui/scripted_user.h"
#include "ui/settings_sheet.h"
#include "ui/settings_sub_dialog.h"

namespace velnora::ui {
namespace {

using velnora::testing::RecordingReporter;
using velnora::testing::SetText;
using velnora::testing::TempFolder;

constexpr int kAccount = 2;

class SheetControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeFreshTable(*ctx.settings, DisplayArea{}); }
  AccountSettings& account() { return ctx.settings->accounts[kAccount]; }
  template <typename T>
  static T* Get(SettingsSheet& sheet, const char* name) {
    T* widget = sheet.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  std::vector<uint8_t> Image() const {
    const auto bytes = ImageBytes(*ctx.settings);
    return {bytes.begin(), bytes.end()};
  }

  TempFolder folder;
  RecordingReporter reporter;
  Context ctx{reporter, SettingsLocation::ForFolder(folder.path())};
  ScriptedUser user;
};

// Each row: the buttons clicked in turn, then the fields' stored values.
TEST_F(SheetControlsTest, RadioChoicesStoreTheirFields) {
  struct Row {
    std::vector<const char*> click;
    int deleteAll, spamEraser, filterMode, fromAll, userAgent, html;
  };
  const Row rows[] = {
      {{"deleteIncludingFiltered"}, 1, 0, 0, 0, 0, 0},
      {{"deleteIncludingFiltered", "spamEraser"}, 0, 1, 0, 0, 0, 0},
      {{"spamEraser", "deleteNeutral"}, 0, 0, 0, 0, 0, 0},
      {{"filterMode3", "filterFromAll", "filterMailerUserAgent", "preferHtmlPart"}, 0, 0, 3, 1, 1, 1},
      {{"filterMode1", "filterFromAll", "filterFromNeutral", "preferHtmlPart", "htmlNeutral"}, 0, 0, 1, 0, 0, 0},
  };
  for (const Row& row : rows) {
    MakeFreshTable(*ctx.settings, DisplayArea{});
    SettingsSheet sheet(*ctx.settings, kAccount, user);
    Get<QCheckBox>(sheet, "deleteAfterForward")->setChecked(true);
    for (const char* name : row.click) Get<QRadioButton>(sheet, name)->click();
    sheet.accept();
    ASSERT_EQ(sheet.result(), QDialog::Accepted);
    const AccountSettings& a = account();
    EXPECT_EQ(int(a.deleteIncludingFiltered), row.deleteAll) << row.click.back();
    EXPECT_EQ(int(a.spamEraser), row.spamEraser) << row.click.back();
    EXPECT_EQ(int(a.filterMode), row.filterMode) << row.click.back();
    EXPECT_EQ(int(a.filterFromAll), row.fromAll) << row.click.back();
    EXPECT_EQ(int(a.filterMailerUserAgent), row.userAgent) << row.click.back();
    EXPECT_EQ(int(a.preferHtmlPart), row.html) << row.click.back();
  }
  // Stored choices are shown; the delete choices follow their switch.
  MakeFreshTable(*ctx.settings, DisplayArea{});
  account().spamEraser = 1;
  account().filterMode = 2;
  SettingsSheet sheet(*ctx.settings, kAccount, user);
  EXPECT_TRUE(Get<QRadioButton>(sheet, "spamEraser")->isChecked());
  EXPECT_TRUE(Get<QRadioButton>(sheet, "filterMode2")->isChecked());
  EXPECT_TRUE(Get<QRadioButton>(sheet, "filterFromNeutral")->isChecked());
  EXPECT_FALSE(Get<QRadioButton>(sheet, "spamEraser")->isEnabled());
  Get<QCheckBox>(sheet, "deleteAfterForward")->setChecked(true);
  EXPECT_TRUE(Get<QRadioButton>(sheet, "spamEraser")->isEnabled());
}

// Monday is the first row, hour 0 the highest of the 24 bits.
TEST_F(SheetControlsTest, ScheduleBoxesAreTheHoursOfEachDay) {
  account().scheduleStops[2] = 0x000003;  // Wednesday, 22 and 23 o'clock
  account().scheduleStops[4] = int32_t(0x7F000000u | 0x800000u);  // unused high bits, Friday 0 o'clock
  SettingsSheet sheet(*ctx.settings, kAccount, user);
  EXPECT_TRUE(Get<QCheckBox>(sheet, "scheduleStops_2_22")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>(sheet, "scheduleStops_2_23")->isChecked());
  EXPECT_FALSE(Get<QCheckBox>(sheet, "scheduleStops_2_21")->isChecked());
  EXPECT_TRUE(Get<QCheckBox>(sheet, "scheduleStops_4_0")->isChecked());
  EXPECT_EQ(sheet.findChildren<QCheckBox*>(QRegularExpression(QStringLiteral("^scheduleStops_"))).size(), 168);
  Get<QCheckBox>(sheet, "scheduleStops_0_0")->setChecked(true);
  Get<QCheckBox>(sheet, "scheduleStops_6_23")->setChecked(true);
  Get<QCheckBox>(sheet, "scheduleStops_6_12")->setChecked(true);
  sheet.accept();
  // A changed schedule keeps only the 24 bits of the hours.
  const int32_t expected[7] = {0x800000, 0, 3, 0, 0x800000, 0, 0x000801};
  for (int day = 0; day < 7; ++day) EXPECT_EQ(int32_t(account().scheduleStops[day]), expected[day]) << day;
}

// The dialogs edit the sheet's copy: their Cancel puts back what they
// opened with, the sheet's Cancel drops what their OK kept.
TEST_F(SheetControlsTest, ServerDialogsStoreOnlyWithTheSheetsOk) {
  SetText(account().smtpAuthUser, "before");
  const std::vector<uint8_t> before = Image();
  for (const bool sheetOk : {false, true}) {
    SettingsSheet sheet(*ctx.settings, kAccount, user);
    auto* auth = sheet.findChild<SettingsSubDialog*>(QStringLiteral("smtpAuthDialog"));
    auto* separate = sheet.findChild<SettingsSubDialog*>(QStringLiteral("separateSmtpDialog"));
    EXPECT_EQ(auth->windowTitle(), QStringLiteral("SMTP認証"));
    EXPECT_EQ(separate->windowTitle(), QStringLiteral("他のSMTPサーバーで送信"));
    Get<QPushButton>(sheet, "smtpAuthButton")->click();
    EXPECT_TRUE(auth->isVisible());
    Get<QLineEdit>(sheet, "smtpAuthUser")->setText(QStringLiteral("cancelled"));
    auth->reject();
    EXPECT_EQ(Get<QLineEdit>(sheet, "smtpAuthUser")->text(), QStringLiteral("before"));
    Get<QPushButton>(sheet, "smtpAuthButton")->click();
    Get<QLineEdit>(sheet, "smtpAuthUser")->setText(QStringLiteral("kept"));
    Get<QLineEdit>(sheet, "smtpAuthPassword")->setText(QStringLiteral("pw"));
    auth->accept();
    Get<QPushButton>(sheet, "separateSmtpButton")->click();
    Get<QCheckBox>(sheet, "popBeforeSmtp")->setChecked(true);
    Get<QLineEdit>(sheet, "pbsPort")->setText(QStringLiteral("995"));
    separate->accept();
    if (!sheetOk) {
      sheet.reject();
      EXPECT_EQ(Image(), before);
      continue;
    }
    sheet.accept();
    EXPECT_STREQ(account().smtpAuthUser, "kept");
    EXPECT_STREQ(account().smtpAuthPassword, "pw");
    EXPECT_EQ(int(account().popBeforeSmtp), 1);
    EXPECT_EQ(int(account().pbsPort), 995);
  }
}

TEST_F(SheetControlsTest, ServerBoxesOfferTwentyDifferentNamesAndWaitsShowTheirDefault) {
  for (int i = 0; i < 30; ++i) {
    SetText(ctx.settings->accounts[i * 3].popServer, "pop" + std::to_string(i % 25) + ".example");
  }
  SetText(ctx.settings->accounts[7].smtpServer, "smtp.example");
  account().popDelaySec = 0;
  account().smtpDelaySec = -3;
  const std::vector<uint8_t> before = Image();
  SettingsSheet sheet(*ctx.settings, kAccount, user);
  auto* pop = Get<QComboBox>(sheet, "popServer");
  ASSERT_EQ(pop->count(), 20);
  EXPECT_EQ(pop->itemText(0), QStringLiteral("pop0.example"));
  EXPECT_EQ(pop->itemText(19), QStringLiteral("pop19.example"));
  EXPECT_EQ(Get<QComboBox>(sheet, "smtpServer")->count(), 1);
  EXPECT_EQ(Get<QLineEdit>(sheet, "popDelaySec")->text(), QStringLiteral("10"));
  EXPECT_EQ(Get<QLineEdit>(sheet, "smtpDelaySec")->text(), QStringLiteral("1"));
  sheet.accept();
  EXPECT_EQ(Image(), before);  // shown, not stored
}

TEST_F(SheetControlsTest, CopyPutsOneFilterEntryPerLineOnTheClipboard) {
  SettingsSheet sheet(*ctx.settings, kAccount, user);
  QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
  Get<QPushButton>(sheet, "filterFromCopy")->click();  // empty: nothing
  EXPECT_TRUE(user.told.isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
  Get<QPlainTextEdit>(sheet, "filterSubject")->setPlainText(QStringLiteral("a,b \"c d\"　e\nf g"));
  Get<QPushButton>(sheet, "filterSubjectCopy")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb\r\n\"c d\"\r\ne\r\nf\r\ng"));
  ASSERT_EQ(user.told.size(), 1);
  EXPECT_EQ(user.told.front(),
            QStringLiteral("フィルタ文字を「改行」で区切って、クリップボードにコピーしました。\n"
                           "テキストエディタで編集後、ペーストしてください。\r\n\r\n----(CLIPBOARD)----\r\n"
                           "a\r\nb\r\n\"c d\"\r\ne\r\nf\r\n  :\r\n"));
}

TEST_F(SheetControlsTest, EachPageHasAHelpButtonForAnInstalledPage) {
  SettingsSheet sheet(*ctx.settings, kAccount, user);
  const char* expected[] = {"help/help_01.html",  "help/help_02.html", "help/help_03.html", "help/help_04.html",
                            "help/help_022.html", "help/help_05.html", "help/help_07.html", "help/help_06.html"};
  ASSERT_EQ(sheet.tabs()->count(), 8);
  for (int page = 0; page < sheet.tabs()->count(); ++page) {
    auto* help = sheet.tabs()->widget(page)->findChild<QPushButton*>(QStringLiteral("help"));
    ASSERT_NE(help, nullptr) << page;
    EXPECT_EQ(help->property("helpPage").toString(), QString::fromLatin1(expected[page]));
    EXPECT_TRUE(QFile::exists(ProgramFilePath(QString::fromLatin1(expected[page])))) << expected[page];
  }
}

// The installed presets, each chosen on a page that held other servers.
TEST_F(SheetControlsTest, EachInstalledPresetFillsTheServerFields) {
  struct Row {
    const char* pop;
    int popPort, popSsl;
    const char* smtp;
    int smtpPort, smtpSsl, smtpAuth;
  };
  const Row rows[] = {
      {"pop.gmail.com", 995, 1, "smtp.gmail.com", 465, 1, 1},
      {"pop.mail.yahoo.co.jp", 995, 1, "smtp.mail.yahoo.co.jp", 465, 1, 1},
      {"", 995, 1, "", 465, 1, 1},
  };
  const std::vector<ProviderPreset> presets = ProviderDialog::Installed();
  ASSERT_EQ(presets.size(), std::size(rows));
  for (std::size_t i = 0; i < presets.size(); ++i) {
    MakeFreshTable(*ctx.settings, DisplayArea{});
    SetText(account().popServer, "pop.old.example");
    SetText(account().smtpServer, "smtp.old.example");
    account().useApop = 1;
    account().popDelayOn = 1;
    SettingsSheet sheet(*ctx.settings, kAccount, user);
    sheet.FillFromPreset(presets[i]);
    sheet.accept();
    const AccountSettings& a = account();
    EXPECT_STREQ(a.popServer, rows[i].pop) << i;
    EXPECT_EQ(uint16_t(a.popPort), rows[i].popPort) << i;
    EXPECT_EQ(int(a.popSsl), rows[i].popSsl) << i;
    EXPECT_STREQ(a.smtpServer, rows[i].smtp) << i;
    EXPECT_EQ(uint16_t(a.smtpPort), rows[i].smtpPort) << i;
    EXPECT_EQ(int(a.smtpSsl), rows[i].smtpSsl) << i;
    EXPECT_EQ(int(a.smtpAuth), rows[i].smtpAuth) << i;
    EXPECT_EQ(int(a.useApop), 0) << i;
    EXPECT_EQ(int(a.popDelayOn), 0) << i;
  }
}

// Set for every account at once, saved at once, and kept by the sheet's
// Cancel; the TEXT button's "on" is the HTML flag off.
TEST_F(SheetControlsTest, AllAccountsMenuSetsEveryAccountAndTheSheetShowsIt) {
  {
    SettingsSheet plain(*ctx.settings, kAccount, user);
    EXPECT_EQ(plain.findChild<AllAccountsMenu*>(), nullptr);  // not without the keyword
  }
  SetText(ctx.settings->common.developerOptions, "x tr610415");
  for (int i = 0; i <= kAccountCount; ++i) ctx.settings->accounts[i].preferHtmlPart = 1;
  int saves = 0;
  SettingsSheet sheet(*ctx.settings, kAccount, user);
  sheet.SetSaveNow([&saves] { return ++saves, true; });
  const auto menuOf = [&sheet](const char* name) {
    return sheet.findChild<QAbstractButton*>(QString::fromLatin1(name))->findChild<AllAccountsMenu*>();
  };
  ASSERT_NE(menuOf("htmlToText"), nullptr);
  ASSERT_NE(menuOf("htmlNeutral"), nullptr);
  EXPECT_EQ(menuOf("phoneMode"), nullptr);
  user.answers = {true, true};
  menuOf("htmlToText")->checkAll().trigger();
  menuOf("htmlNeutral")->checkAll().trigger();
  EXPECT_EQ(saves, 2);
  EXPECT_TRUE(Get<QCheckBox>(sheet, "htmlToText")->isChecked());
  EXPECT_TRUE(Get<QAbstractButton>(sheet, "htmlNeutral")->isChecked());
  sheet.reject();
  for (const int i : {0, kAccount, kAccountCount - 1}) {
    EXPECT_EQ(int(ctx.settings->accounts[i].htmlToText), 1) << i;
    EXPECT_EQ(int(ctx.settings->accounts[i].preferHtmlPart), 0) << i;
  }
  EXPECT_EQ(int(ctx.settings->accounts[kTemplateIndex].htmlToText), 0);
  EXPECT_EQ(int(ctx.settings->accounts[kTemplateIndex].preferHtmlPart), 1);
}

// Only remote control lifts a suspension by remote control.
TEST_F(SheetControlsTest, SuspensionIsClearedWhileRemoteControlIsOff) {
  for (const int remote : {1, 0}) {
    account().remoteSuspended = 1;
    ctx.settings->common.remoteControl = int16_t(remote);
    SetText(ctx.settings->common.remotePassword, "pw");
    SettingsSheet sheet(*ctx.settings, kAccount, user);
    EXPECT_EQ(Get<QCheckBox>(sheet, "remoteSuspended")->isEnabled(), remote == 1);
    sheet.accept();
    EXPECT_EQ(int(account().remoteSuspended), remote);
  }
}

TEST_F(SheetControlsTest, NewMailboxCapacityIsToldToNeedARestart) {
  for (const char* typed : {"10000", "20000"}) {
    SettingsSheet sheet(*ctx.settings, kAccount, user);
    Get<QLineEdit>(sheet, "maxHeldMailsNext")->setText(QString::fromLatin1(typed));
    sheet.accept();
  }
  ASSERT_EQ(user.told.size(), 1);
  EXPECT_EQ(user.told.front(), QStringLiteral("メールの最大保持数が 10000 から 20000 に変更されました。\n"
                                              "変更を有効にするには、Velnoraを終了して、再起動する必要があります。"));
  EXPECT_EQ(int(ctx.settings->common.maxHeldMailsNext), 20000);
  EXPECT_EQ(int(ctx.settings->common.maxHeldMails), 10000);
}

}  // namespace
}  // namespace velnora::ui
