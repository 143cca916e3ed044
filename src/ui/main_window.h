// The main window: menu, flat toolbar, the activity and account lists in the
// arrangement of viewMode, the two-part status bar and the tray icon. It
// shows what the reporter delivers and turns the user's commands into
// signals; the Desktop decides what they do.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTableView>
#include <map>
#include <memory>

#include "ui/account_model.h"
#include "ui/activity_model.h"
#include "ui/qt_reporter.h"

class QAction;

namespace velnora {
class Context;
struct AccountSettings;
}

namespace velnora::ui {

// Command ids of the window.
enum class Command : int {
  Connect = 40053,
  Disconnect = 40090,
  MarkAllForwarded = 40107,
  Settings = 40014,
  AccountSwitch = 40066,
  ToTray = 40069,
  HistoryViewer = 40062,
  LogDetails = 40088,
  SwitchView = 40102,
  Quit = 40015,
  Backup = 244,
  Restore = 245,
  CopyToTemplate = 249,
  EditTemplate = 239,
  ApplyTemplate = 240,
  ExportCsv = 235,
  ImportCsv = 234,
  AccountHelp = 251,
  ImportOlder = 263,
  Manual = 40064,
  IconHelp = 40063,
  WebSite = 40060,
  About = 40017,
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Context& ctx, QtReporter& reporter);
  ~MainWindow() override;

  QAction* action(Command command) const;
  ActivityModel& activityModel() { return activity_; }
  QTableView& activityView() { return *activityView_; }
  QTableView& accountView() { return *accountView_; }
  QSplitter& panes() { return *panes_; }
  QLabel& statusText() { return *statusText_; }
  QLabel& summaryText() { return *summaryText_; }
  QSystemTrayIcon* tray() { return tray_.get(); }
  // The tray icon's menu (made also where the desktop has no tray).
  QMenu& trayMenu() { return *trayMenu_; }
  bool inTray() const { return inTray_; }

  // Lays the lists out for the current viewMode.
  void ApplyLayout();
  // The column widths into the common settings.
  void StoreColumnWidths();
  // Hides the window to the tray; without a tray it is minimised instead,
  // so that it can always be found again.
  void HideToTray();
  // Asks for the start-up password when the settings require one (at most
  // ten characters, asked again after a wrong one). False when cancelled.
  bool CheckPassword();
  // Back from the tray, after the password when one is required.
  void RestoreFromTray();
  void RefreshAccounts(int highlightAccount);
  // The selected line of the activity list, or -1.
  int SelectedActivityRow() const;
  // The settings changed as a whole (restore, import): lists, layout, tip.
  void ShowSettings();
  // The drop-down of "設定 ": one item per account.
  QMenu& accountMenu() { return *accountMenu_; }
  // Text of account `index`'s item in that menu.
  static QString AccountMenuText(int index, const AccountSettings& account);
  // The tray tip for the current forwarding state.
  QString TrayToolTip() const;

 Q_SIGNALS:
  void commandChosen(velnora::ui::Command command);
  // The close box, which acts as Quit.
  void closeRequested();
  // An account chosen in the drop-down of "設定 ".
  void accountSettingsChosen(int account);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, Command command, const QString& text, bool enabled = true);
  void BuildMenus();
  void BuildToolBar();
  void BuildLists();
  void BuildStatusBar();
  void BuildTray();
  void FillAccountMenu();
  // A read-me or help page of the data folder, with the desktop's viewer.
  void OpenProgramFile(const QString& name);
  void OpenProductPage();
  void StartHistoryViewer();
  void OnCommand(Command command);
  void ShowMessage(const QString& text, const QString& title);
  bool AskYesNo(const QString& text, const QString& title);
  void SetStatus(const QString& text, int icon);
  void ApplyActivity(const std::vector<ActivityChange>& changes);

  Context& ctx_;
  ActivityModel activity_;
  AccountModel accounts_;
  QSplitter* panes_ = nullptr;
  QTableView* activityView_ = nullptr;
  QTableView* accountView_ = nullptr;
  QLabel* statusIcon_ = nullptr;
  QLabel* statusText_ = nullptr;
  QLabel* summaryIcon_ = nullptr;
  QLabel* summaryText_ = nullptr;
  QMenu* accountMenu_ = nullptr;
  std::unique_ptr<QMenu> trayMenu_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  bool inTray_ = false;
  bool restoring_ = false;  // a password prompt of a restore is open
  std::map<Command, QAction*> actions_;
};

}  // namespace velnora::ui
