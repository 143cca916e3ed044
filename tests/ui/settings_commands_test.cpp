// The window's settings commands with the user's answers scripted: the hold
// that keeps the worker off, the CSV files, backup and restore, marking all
// as forwarded, and the questions of a quit.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <deque>
#include <filesystem>

#include "config/account_csv.h"
#include "config/settings_file.h"
#include "engine/context.h"
#include "platform/codepage.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "ui/account_list_sheet.h"
#include "ui/desktop.h"
#include "ui/scripted_user.h"
#include "ui/template_dialogs.h"

namespace velnora::ui {
namespace {

using velnora::testing::FileText;
using velnora::testing::ScopedEnv;
using velnora::testing::SetText;
using velnora::testing::TempFolder;


class SettingsCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto scripted = std::make_unique<ScriptedUser>();
    user = scripted.get();
    desktop = std::make_unique<Desktop>(SettingsLocation::ForFolder(folder.path()), nullptr, std::move(scripted));
    ASSERT_EQ(desktop->Open(), Desktop::Start::Running);
  }
  void TearDown() override {
    if (desktop->window()) desktop->Quit(Desktop::QuitSource::Signal);
  }

  Context& ctx() { return *desktop->context(); }
  void Run(Command command) { desktop->window()->action(command)->trigger(); }
  std::unique_ptr<SettingsImage> SavedSettings(const std::string& path) {
    auto image = std::make_unique<SettingsImage>();
    SettingsLocation location = SettingsLocation::ForFolder(folder.path());
    if (!path.empty()) {
      std::filesystem::copy_file(path, location.SettingsPath(), std::filesystem::copy_options::overwrite_existing);
    }
    EXPECT_TRUE(LoadSettings(*image, location, DisplayArea{}, false).Usable());
    return image;
  }

  TempFolder folder;
  ScopedEnv config{"XDG_CONFIG_HOME", folder.path()};
  TempFolder files;
  ScriptedUser* user = nullptr;
  std::unique_ptr<Desktop> desktop;
};

TEST_F(SettingsCommandsTest, EveryCommandIsRefusedWhileAPassRunsAndAHoldKeepsPassesOff) {
  ctx().worker.flags.passActive = true;  // as the worker sets it during a pass
  for (Command command : {Command::Backup, Command::Restore, Command::ExportCsv, Command::ImportCsv,
                          Command::MarkAllForwarded, Command::ImportOlder}) {
    Run(command);
  }
  EXPECT_EQ(user->told.size(), 6);
  EXPECT_EQ(user->told.count(QStringLiteral("転送実行中は、環境設定を行うことはできません。")), 6);
  EXPECT_TRUE(user->asked.isEmpty());
  EXPECT_EQ(user->fileDialogs, 0);
  ctx().worker.flags.passActive = false;

  SettingsSession& session = *desktop->settingsSession();
  {
    const SettingsSession::Hold outer = session.Begin();
    ASSERT_TRUE(outer);
    {
      const SettingsSession::Hold inner = session.Begin();  // a dialog opened from another
      ASSERT_TRUE(inner);
    }
    EXPECT_TRUE(ctx().worker.flags.passActive);
    EXPECT_TRUE(ctx().worker.uiOperationActive);
    ctx().account(0).enabled = 1;
    Run(Command::Connect);  // no pass starts under the hold
    EXPECT_EQ(ctx().worker.fwdProcRuns, 0);
    EXPECT_FALSE(ctx().worker.flags.connected);
  }
  EXPECT_FALSE(ctx().worker.flags.passActive);
  EXPECT_FALSE(ctx().worker.uiOperationActive);
}

TEST_F(SettingsCommandsTest, CsvExportIsPrivateAndAnImportWithOneBadCellChangesNothing) {
  const std::string csv = files.File("accounts.csv");
  user->file = QString::fromStdString(csv);
  SetText(ctx().account(3).accountName, SJIS(u8"東京, \"本社\""));
  Run(Command::ExportCsv);
  EXPECT_EQ(user->told.last(), QStringLiteral("400 個のアカウント情報を書き出しました"));
  EXPECT_EQ(std::filesystem::status(csv).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const std::string exported = FileText(csv);
  EXPECT_EQ(exported.rfind("VELNORA_PRF,", 0), 0u);
  EXPECT_NE(exported.find("\r\n3,\"" + SJIS(u8"東京, \"\"本社\"\"") + "\","), std::string::npos);

  // Account 2 renamed, then a port out of range for account 4: nothing is taken.
  const std::string header = exported.substr(0, exported.find("\r\n") + 2);
  std::string broken = header + "2,renamed" + std::string(31, ',') + "\r\n" + "4" + std::string(9, ',') + "70000" +
                       std::string(23, ',') + "\r\n";
  { std::FILE* f = std::fopen(csv.c_str(), "wb"); std::fwrite(broken.data(), 1, broken.size(), f); std::fclose(f); }
  user->answers = {true};
  Run(Command::ImportCsv);
  EXPECT_TRUE(user->told.contains(QStringLiteral(
      "読み込んだCSVファイルの途中に無効なデータがあります。\n行番号 = 3  列番号 = 10\nセルの文字列= '70000'")));
  EXPECT_EQ(user->told.last(), QStringLiteral("0 個のアカウント情報を読み込みました"));
  EXPECT_STREQ(ctx().account(2).accountName, "");

  // Without the bad line the rename is taken and saved at once.
  const std::string good = header + "2,renamed" + std::string(31, ',') + "\r\n";
  { std::FILE* f = std::fopen(csv.c_str(), "wb"); std::fwrite(good.data(), 1, good.size(), f); std::fclose(f); }
  user->answers = {true};
  Run(Command::ImportCsv);
  EXPECT_EQ(user->told.last(), QStringLiteral("1 個のアカウント情報を読み込みました"));
  EXPECT_STREQ(ctx().account(2).accountName, "renamed");
  EXPECT_STREQ(SavedSettings("")->accounts[2].accountName, "renamed");
}

TEST_F(SettingsCommandsTest, BackupHoldsWhatTheWindowShowsAndRestoreBringsItBack) {
  const std::string backup = files.File("backup.prf");
  user->file = QString::fromStdString(backup);
  SetText(ctx().account(7).accountName, "before-backup");
  ctx().account(7).enabled = 1;
  user->answers = {true};
  Run(Command::Backup);
  ASSERT_TRUE(std::filesystem::exists(backup));
  EXPECT_STREQ(SavedSettings(backup)->accounts[7].accountName, "before-backup");

  SetText(ctx().account(7).accountName, "changed-later");
  ctx().account(7).enabled = 0;
  desktop->window()->ShowSettings();
  const int rowsBefore = desktop->window()->accountView().model()->rowCount();
  user->answers = {true};
  Run(Command::Restore);
  EXPECT_STREQ(ctx().account(7).accountName, "before-backup");
  EXPECT_EQ(desktop->window()->accountView().model()->rowCount(), rowsBefore + 1);

  // A file that is not a settings file is refused and changes nothing.
  user->file = QString::fromStdString(files.File("accounts.txt"));
  { std::FILE* f = std::fopen(files.File("accounts.txt").c_str(), "wb"); std::fputs("not settings", f); std::fclose(f); }
  user->answers = {true};
  Run(Command::Restore);
  EXPECT_TRUE(user->told.last().startsWith(QStringLiteral("Error: Cannot restore settings!")));
  EXPECT_STREQ(ctx().account(7).accountName, "before-backup");
}

TEST_F(SettingsCommandsTest, MarkAllForwardedTouchesOnlyEnabledAccountsAndOnlyOnOk) {
  ctx().account(1).enabled = 1;
  ctx().account(5).enabled = 1;
  user->answers = {false};
  Run(Command::MarkAllForwarded);
  for (int i = 0; i < kAccountCount; ++i) ASSERT_EQ(int(ctx().account(i).markAllForwardedNext), 0) << i;
  user->answers = {true};
  Run(Command::MarkAllForwarded);
  for (int i = 0; i < kAccountCount; ++i) EXPECT_EQ(int(ctx().account(i).markAllForwardedNext), i == 1 || i == 5) << i;
  EXPECT_EQ(user->told.last(), QStringLiteral("メールボックスにある全てのメールを「転送済み」にセットしました。"));
}

TEST_F(SettingsCommandsTest, QuitAsksWhenConfiguredAndTheDeletionQuestionOnlyWhenConnected) {
  std::vector<int> exits;
  QObject::connect(desktop.get(), &Desktop::finished, [&](int code) { exits.push_back(code); });
  ctx().common().confirmQuit = 1;
  ctx().common().deleteAllOnQuit = 1;
  user->answers = {false};
  Run(Command::Quit);
  EXPECT_EQ(user->asked, QStringList{QStringLiteral("終了してもよろしいですか？")});
  EXPECT_TRUE(exits.empty());

  user->answers = {true};
  Run(Command::Quit);  // not connected: nothing to delete, no second question
  EXPECT_EQ(user->asked.size(), 2);
  EXPECT_EQ(exits, std::vector<int>{0});
}

// Works on the next modal dialog of type D as soon as it is open.
template <typename D>
void WhenOpen(std::function<void(D&)> work) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, work] {
    if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      work(*dialog);
    }
  });
  timer->start();
}

TEST_F(SettingsCommandsTest, AccountListSheetAndTemplateDialogsChangeWhatTheyShowAndSaveIt) {
  testing::SetText(ctx().account(150).popUser, "hanako");
  WhenOpen<AccountListSheet>([](AccountListSheet& sheet) {
    EXPECT_EQ(sheet.box(150).text(), QStringLiteral("150:(hanako)"));
    EXPECT_EQ(sheet.box(7).text(), QStringLiteral("7:アカウント"));
    sheet.box(7).setChecked(true);
    sheet.box(150).setChecked(true);
    sheet.accept();
  });
  Run(Command::AccountSwitch);
  EXPECT_EQ(int(ctx().account(7).enabled), 1);
  EXPECT_EQ(int(ctx().account(150).enabled), 1);
  EXPECT_EQ(int(SavedSettings("")->accounts[150].enabled), 1);
  EXPECT_EQ(desktop->window()->accountView().model()->rowCount(), 2);

  // A range that ends before it starts keeps the dialog open; 3..5 then
  // takes the template and leaves the accounts off.
  ctx().account(kTemplateIndex).pollInterval = 77;
  for (int i = 3; i <= 5; ++i) ctx().account(i).enabled = 1;
  WhenOpen<ApplyTemplateDialog>([](ApplyTemplateDialog& dialog) {
    dialog.firstBox().setValue(5);
    dialog.lastBox().setValue(3);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    dialog.firstBox().setValue(3);
    dialog.lastBox().setValue(5);
    dialog.accept();
  });
  Run(Command::ApplyTemplate);
  for (int i = 2; i <= 6; ++i) {
    const bool applied = i >= 3 && i <= 5;
    EXPECT_EQ(int(ctx().account(i).pollInterval), applied ? 77 : 10) << i;
    EXPECT_EQ(int(SavedSettings("")->accounts[i].pollInterval), applied ? 77 : 10) << i;
  }
  EXPECT_EQ(int(ctx().account(4).enabled), 0);

  testing::SetText(ctx().account(7).accountName, "abc");
  WhenOpen<CopyToTemplateDialog>([](CopyToTemplateDialog& dialog) {
    dialog.accountBox().setValue(7);
    dialog.accept();
  });
  Run(Command::CopyToTemplate);
  EXPECT_STREQ(ctx().account(kTemplateIndex).accountName, "Copy_of_abc");
}

TEST_F(SettingsCommandsTest, LogLinesSenderGoesIntoItsAccountsFromFilterOnce) {
  testing::SetText(ctx().account(2).accountName, "home");
  testing::SetText(ctx().account(12).accountName, "myhome");
  ActivityRow row;
  row.code = 0;
  row.columns = {"1200(3)", "12 : myhome", "26/12/09 10:00", "Hello", "Taro <taro@example.jp>", "me@example.jp"};
  SettingsCommands& commands = *desktop->settingsCommands();
  user->answers = {true};
  commands.AddToFilter(row, FilterList::From);
  EXPECT_EQ(user->edited, QStringList{QStringLiteral("taro@example.jp")});
  EXPECT_STREQ(ctx().account(12).filterFrom, "taro@example.jp");
  EXPECT_STREQ(ctx().account(2).filterFrom, "");
  EXPECT_STREQ(SavedSettings("")->accounts[12].filterFrom, "taro@example.jp");
  EXPECT_EQ(user->toldTitles.last(), QStringLiteral("12 : myhome : 差出人フィルタへ追加"));

  user->answers = {true};
  commands.AddToFilter(row, FilterList::From);
  EXPECT_EQ(user->told.last(), QStringLiteral("taro@example.jp\n\n上の文字列は既に差出人（From:）フィルタに含まれています。"));
  // The program's own lines have no sender to add.
  row.columns[4] = "(Velnora System)";
  const qsizetype asked = user->asked.size();
  commands.AddToFilter(row, FilterList::From);
  EXPECT_EQ(user->asked.size(), asked);
}

}  // namespace
}  // namespace velnora::ui
