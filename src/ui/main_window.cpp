#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QProcess>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <cstring>
#include <span>

#include "config/settings_image.h"
#include "engine/context.h"
#include "report/list_columns.h"
#include "ui/list_icons.h"
#include "ui/pane_layout.h"
#include "ui/program_files.h"
#include "ui/ui_strings.h"
#include "ui/ui_text.h"

namespace velnora::ui {
namespace {

int EnabledAccounts(Context& ctx) {
  int count = 0;
  for (int i = 0; i < kAccountCount; ++i) count += ctx.account(i).enabled != 0;
  return count;
}

// Report-style list: grid, whole rows, draggable headers, text never elided
// into markup (cells are drawn as plain text by the item delegate).
void SetUpList(QTableView& view) {
  view.setShowGrid(true);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setWordWrap(false);
  view.verticalHeader()->hide();
  view.verticalHeader()->setDefaultSectionSize(18);
  view.horizontalHeader()->setSectionsMovable(true);
  view.horizontalHeader()->setStretchLastSection(false);
}

}  // namespace

MainWindow::MainWindow(Context& ctx, QtReporter& reporter) : ctx_(ctx) {
  setWindowTitle(ProgramTitle());
  setWindowIcon(ProgramIcon());
  BuildMenus();
  BuildToolBar();
  BuildLists();
  BuildStatusBar();
  BuildTray();
  const CommonSettings& common = ctx_.common();
  setGeometry(common.windowLeft, common.windowTop, common.windowWidth, common.windowHeight);

  connect(this, &MainWindow::commandChosen, this, &MainWindow::OnCommand);
  connect(&reporter, &QtReporter::activityChanged, this, &MainWindow::ApplyActivity);
  connect(&reporter, &QtReporter::activityRedraw, activityView_->viewport(), qOverload<>(&QWidget::update));
  connect(&reporter, &QtReporter::statusChanged, this, &MainWindow::SetStatus);
  connect(&reporter, &QtReporter::summaryChanged, this, [this](const QString& text, int icon) {
    summaryIcon_->setPixmap(StatusImage(icon).pixmap(16, 16));
    summaryText_->setText(text);
    if (tray_) tray_->setToolTip(TrayToolTip());
  });
  connect(&reporter, &QtReporter::passActiveChanged, this, [this](bool active) {
    // Quitting waits for the end of a pass.
    action(Command::Quit)->setEnabled(!active);
  });
  connect(&reporter, &QtReporter::accountListChanged, this, &MainWindow::RefreshAccounts);
  connect(&reporter, &QtReporter::told, this, &MainWindow::ShowMessage);
  connect(&reporter, &QtReporter::asked, this,
          [this](const QString& text, const QString& title, bool* yes) { *yes = AskYesNo(text, title); });
  RefreshAccounts(-1);
  ApplyLayout();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::action(Command command) const { return actions_.at(command); }

QAction* MainWindow::AddCommand(QMenu* menu, Command command, const QString& text, bool enabled) {
  QAction* item = menu->addAction(text);
  item->setEnabled(enabled);
  connect(item, &QAction::triggered, this, [this, command] { Q_EMIT commandChosen(command); });
  actions_[command] = item;
  return item;
}

void MainWindow::BuildMenus() {
  QMenu* main = menuBar()->addMenu(QStringLiteral("メイン"));
  AddCommand(main, Command::Connect, QStringLiteral("サーバーへ接続・転送開始"));
  AddCommand(main, Command::Disconnect, QStringLiteral("切断・転送中止"));
  main->addSeparator();
  AddCommand(main, Command::MarkAllForwarded, QStringLiteral("全アカウントを転送済みにする"));
  main->addSeparator();
  AddCommand(main, Command::Settings, QStringLiteral("環境設定"));
  AddCommand(main, Command::AccountSwitch, QStringLiteral("アカウント切換"));
  AddCommand(main, Command::ToTray, QStringLiteral("タスクトレイに入れる"));
  AddCommand(main, Command::HistoryViewer, QStringLiteral("転送履歴ビューア起動"));
  AddCommand(main, Command::LogDetails, QStringLiteral("選択ログの詳細情報を表示"));
  AddCommand(main, Command::SwitchView, QStringLiteral("ビュー切替"));
  main->addSeparator();
  AddCommand(main, Command::Quit, QStringLiteral("終了"));

  QMenu* options = menuBar()->addMenu(QStringLiteral("オプション"));
  AddCommand(options, Command::Backup, QStringLiteral("環境設定全体をファイルにコピー（バックアップ）"));
  AddCommand(options, Command::Restore, QStringLiteral("指定した環境設定ファイルを適用（リストア）"));
  options->addSeparator();
  AddCommand(options, Command::CopyToTemplate, QStringLiteral("指定するアカウント設定をテンプレートにコピー"));
  AddCommand(options, Command::EditTemplate, QStringLiteral("アカウントテンプレートを編集.."));
  AddCommand(options, Command::ApplyTemplate, QStringLiteral("アカウントテンプレートをアカウントに適用.."));
  options->addSeparator();
  AddCommand(options, Command::ExportCsv, QStringLiteral("CSVへ「アカウント」設定を書き出し.."));
  AddCommand(options, Command::ImportCsv, QStringLiteral("CSVから「アカウント」設定を読み込み.."));
  AddCommand(options, Command::AccountHelp, QStringLiteral("ヘルプ（アカウント情報の管理）"));
  options->addSeparator();
  AddCommand(options, Command::ImportOlder, QStringLiteral("他のバージョンから環境設定を取り込む"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ"));
  AddCommand(help, Command::Manual, QStringLiteral("ヘルプ・使い方マニュアル"));
  AddCommand(help, Command::IconHelp, QStringLiteral("表示アイコンについて"));
  AddCommand(help, Command::WebSite, QStringLiteral("最新情報 / WEBサイトへ接続"), !ProductPage().isEmpty());
  help->addSeparator();
  AddCommand(help, Command::About, QStringLiteral("このプログラムについて"));
}

void MainWindow::BuildToolBar() {
  struct Button {
    Command command;
    const char16_t* text;
    const char16_t* tip;
    bool groupEnd;
  };
  static constexpr Button kButtons[] = {
      {Command::Connect, u"接続 ", u"サーバーへの接続確認を行い 転送を開始します", false},
      {Command::Disconnect, u"切断 ", u"サーバーへの接続を切断し 転送を中止します", true},
      {Command::Settings, u"設定 ", u"環境設定 転送制限の設定を行います", false},
      {Command::AccountSwitch, u"切替 ", u"有効なアカウントを一覧で設定します", true},
      {Command::HistoryViewer, u"履歴 ", u"転送履歴ビューア（Log Viewer）を起動します", false},
      {Command::LogDetails, u"情報 ", u"選択されたログの詳細情報を表示します（選択＋右クリック）", true},
      {Command::ToTray, u"トレイ ", u"タスクトレイに格納します", false},
      {Command::SwitchView, u"ビュー ", nullptr, false},
  };
  QToolBar* bar = addToolBar(QStringLiteral("main"));
  bar->setObjectName(QStringLiteral("toolbar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const Button& button : kButtons) {
    QAction* menuItem = action(button.command);
    QAction* tool = bar->addAction(QString::fromUtf16(button.text));
    tool->setObjectName(QStringLiteral("tool%1").arg(int(button.command)));
    tool->setToolTip(button.tip ? QString::fromUtf16(button.tip) : QString());
    tool->setEnabled(menuItem->isEnabled());
    connect(menuItem, &QAction::enabledChanged, tool, &QAction::setEnabled);
    connect(tool, &QAction::triggered, menuItem, &QAction::trigger);
    if (button.command == Command::Settings) {
      // The drop-down of "設定 " lists the accounts, filled when it opens.
      if (auto* widget = qobject_cast<QToolButton*>(bar->widgetForAction(tool))) {
        widget->setPopupMode(QToolButton::MenuButtonPopup);
        accountMenu_ = new QMenu(widget);
        accountMenu_->setObjectName(QStringLiteral("accountMenu"));
        connect(accountMenu_, &QMenu::aboutToShow, this, &MainWindow::FillAccountMenu);
        widget->setMenu(accountMenu_);
      }
    }
    if (button.groupEnd) bar->addSeparator();
  }
}

QString MainWindow::AccountMenuText(int index, const AccountSettings& account) {
  const std::string_view name(account.accountName, ::strnlen(account.accountName, sizeof account.accountName));
  const std::string_view user(account.popUser, ::strnlen(account.popUser, sizeof account.popUser));
  if (!name.empty()) return QStringLiteral(" %1:").arg(index) + FromCp932(name);
  if (!user.empty()) return QStringLiteral(" %1:(").arg(index) + FromCp932(user) + QLatin1Char(')');
  return QStringLiteral(" %1:アカウント").arg(index);
}

void MainWindow::FillAccountMenu() {
  accountMenu_->clear();
  const bool pagesOpen = action(Command::Settings)->isEnabled();
  for (int i = 0; i < kAccountCount; ++i) {
    const AccountSettings& account = ctx_.account(i);
    QAction* item = accountMenu_->addAction(EnabledMark(account.enabled != 0), AccountMenuText(i, account));
    item->setEnabled(pagesOpen);
    connect(item, &QAction::triggered, this, [this, i] { Q_EMIT accountSettingsChosen(i); });
  }
}

void MainWindow::BuildLists() {
  panes_ = new QSplitter(this);
  panes_->setChildrenCollapsible(true);
  accountView_ = new QTableView(panes_);
  accountView_->setObjectName(QStringLiteral("accountList"));
  activityView_ = new QTableView(panes_);
  activityView_->setObjectName(QStringLiteral("activityList"));
  accountView_->setModel(&accounts_);
  activityView_->setModel(&activity_);
  SetUpList(*accountView_);
  SetUpList(*activityView_);
  const CommonSettings& common = ctx_.common();
  for (int i = 0; i < 6; ++i) activityView_->horizontalHeader()->resizeSection(i, std::max<int>(common.logColumnWidths[i], 1));
  for (int i = 0; i < 10; ++i) accountView_->horizontalHeader()->resizeSection(i, std::max<int>(common.accountColumnWidths[i], 1));
  // A right click on a line shows its details.
  activityView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(activityView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const QModelIndex index = activityView_->indexAt(at);
    if (!index.isValid()) return;
    activityView_->selectRow(index.row());
    Q_EMIT commandChosen(Command::LogDetails);
  });
  activityView_->horizontalHeader()->setSectionsClickable(true);
  connect(activityView_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { activity_.SortByColumn(column); });
  setCentralWidget(panes_);
}

void MainWindow::BuildStatusBar() {
  // Two equal parts: the status text with its image, the forwarding summary.
  auto part = [this](QLabel*& icon, QLabel*& text, const char* name) {
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(2, 0, 2, 0);
    icon = new QLabel(box);
    text = new QLabel(box);
    text->setObjectName(QString::fromLatin1(name));
    // Server replies reach the status text: never read them as markup.
    text->setTextFormat(Qt::PlainText);
    icon->setPixmap(StatusImage(0).pixmap(16, 16));
    layout->addWidget(icon);
    layout->addWidget(text, 1);
    statusBar()->addWidget(box, 1);
  };
  part(statusIcon_, statusText_, "statusText");
  part(summaryIcon_, summaryText_, "summaryText");
}

void MainWindow::BuildTray() {
  trayMenu_ = std::make_unique<QMenu>();
  trayMenu_->setObjectName(QStringLiteral("trayMenu"));
  connect(trayMenu_->addAction(QStringLiteral("タスクトレイから出す")), &QAction::triggered, this,
          &MainWindow::RestoreFromTray);
  // Quitting must not need the window first.
  connect(trayMenu_->addAction(QStringLiteral("終了")), &QAction::triggered, this,
          [this] { Q_EMIT commandChosen(Command::Quit); });
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  tray_ = std::make_unique<QSystemTrayIcon>(ProgramIcon());
  tray_->setContextMenu(trayMenu_.get());
  connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) RestoreFromTray();
  });
}

void MainWindow::OnCommand(Command command) {
  switch (command) {
    case Command::SwitchView:
      ctx_.common().viewMode = int16_t(NextViewMode(ctx_.common().viewMode));
      ApplyLayout();
      break;
    case Command::ToTray:
      if (!ctx_.worker.flags.connected &&
          !AskYesNo(QStringLiteral("サーバーに未接続ですが、タスクトレイに格納しますか？"), QStringLiteral("確認"))) {
        break;
      }
      HideToTray();
      break;
    case Command::About:
      ShowMessage(ProgramTitle() + QStringLiteral(".00"), QStringLiteral("このプログラムについて"));
      break;
    case Command::Manual: OpenProgramFile(QStringLiteral("readme.html")); break;
    case Command::IconHelp: OpenProgramFile(QStringLiteral("help/velnoraicon.html")); break;
    case Command::AccountHelp: OpenProgramFile(QStringLiteral("help/help_08.html")); break;
    case Command::WebSite: OpenProductPage(); break;
    case Command::HistoryViewer: StartHistoryViewer(); break;
    default:
      break;  // forwarding and quitting belong to the Desktop
  }
}

void MainWindow::OpenProgramFile(const QString& name) {
  if (!ui::OpenProgramFile(name)) {
    ShowMessage(QStringLiteral("ファイルを開けませんでした。\n%1").arg(name), ProgramTitle());
  }
}

void MainWindow::OpenProductPage() {
  const QUrl page = ProductPage();
  if (page.isEmpty() || !AskYesNo(QStringLiteral("作者のWEBページへ接続しますか？"), QStringLiteral("Velnora 最新情報"))) {
    return;
  }
  QDesktopServices::openUrl(page);
}

void MainWindow::StartHistoryViewer() {
  const QString viewer = HistoryViewerPath();
  if (viewer.isEmpty() ||
      !QProcess::startDetached(viewer, {}, QString::fromStdString(ctx_.location.ForwardingFolder()))) {
    ShowMessage(QStringLiteral("転送履歴ビューアを起動できませんでした。"), ProgramTitle());
  }
}

int MainWindow::SelectedActivityRow() const {
  const QModelIndexList rows = activityView_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void MainWindow::ShowSettings() {
  RefreshAccounts(-1);
  ApplyLayout();
  if (tray_) tray_->setToolTip(TrayToolTip());
}

QString MainWindow::TrayToolTip() const {
  QString tip = ProgramTitle() + QStringLiteral(".00\n");
  if (ctx_.worker.flags.connected) {
    int enabled = 0;
    for (int i = 0; i < kAccountCount; ++i) enabled += ctx_.account(i).enabled != 0;
    tip += QStringLiteral("待機中..\n%1 個のアカウントが有効").arg(enabled);
  } else {
    tip += QStringLiteral("サーバー未接続（停止中）");
  }
  return tip;
}

void MainWindow::HideToTray() {
  if (!tray_ || !QSystemTrayIcon::isSystemTrayAvailable()) {
    showMinimized();
    return;
  }
  tray_->setToolTip(TrayToolTip());
  tray_->show();
  hide();
  inTray_ = true;
}

bool MainWindow::CheckPassword() {
  const CommonSettings& common = ctx_.common();
  if (!common.requirePassword) return true;
  const std::string_view password(common.startupPassword, ::strnlen(common.startupPassword, sizeof common.startupPassword));
  const QString title = QStringLiteral("Velnora - 起動・復帰");
  for (;;) {
    QInputDialog dialog(this);
    dialog.setWindowTitle(title);
    dialog.setLabelText(QString());
    dialog.setTextEchoMode(QLineEdit::Password);
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(10);
    if (dialog.exec() != QDialog::Accepted) return false;
    std::string typed;
    if (ToCp932(dialog.textValue(), typed) && typed == password) return true;
    QMessageBox wrong(QMessageBox::Warning, title, QStringLiteral("パスワードが正しくありません"), QMessageBox::Ok, this);
    wrong.setTextFormat(Qt::PlainText);
    wrong.exec();
  }
}

void MainWindow::RestoreFromTray() {
  if (restoring_) return;
  restoring_ = true;
  const bool allowed = CheckPassword();
  restoring_ = false;
  if (!allowed) return;  // stays in the tray
  if (tray_) tray_->hide();
  inTray_ = false;
  showNormal();
  raise();
  activateWindow();
}

void MainWindow::ApplyLayout() {
  const CommonSettings& common = ctx_.common();
  const QSize area = panes_->size();
  const PaneLayout layout = LayoutPanes(common.viewMode, area.width(), area.height(), common.accountPaneWidth,
                                        EnabledAccounts(ctx_));
  panes_->setOrientation(layout.horizontal ? Qt::Horizontal : Qt::Vertical);
  accountView_->setVisible(layout.showAccounts);
  activityView_->setVisible(layout.showActivity);
  const int whole = layout.horizontal ? area.width() : area.height();
  panes_->setSizes({layout.accountExtent, std::max(whole - layout.accountExtent, 0)});
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  int columns[6];
  for (int i = 0; i < 6; ++i) columns[i] = accountView_->horizontalHeader()->sectionSize(i);
  const QScreen* screen = this->screen();
  const int screenWidth = screen ? screen->geometry().width() : ctx_.reporter.Screen().width;
  ctx_.common().accountPaneWidth = int16_t(AccountPaneWidth(columns, screenWidth));
  ApplyLayout();
}

void MainWindow::StoreColumnWidths() {
  CommonSettings& common = ctx_.common();
  for (int i = 0; i < 6; ++i) common.logColumnWidths[i] = StoredColumnWidth(activityView_->horizontalHeader()->sectionSize(i));
  for (int i = 0; i < 10; ++i) {
    common.accountColumnWidths[i] = StoredColumnWidth(accountView_->horizontalHeader()->sectionSize(i));
  }
}

void MainWindow::RefreshAccounts(int highlightAccount) {
  std::vector<AccountCounters> counters(kAccountCount);
  for (int i = 0; i < kAccountCount; ++i) {
    counters[std::size_t(i)] = {ctx_.stats.forwardedCount[std::size_t(i)].load(),
                                ctx_.stats.filteredCount[std::size_t(i)].load(),
                                ctx_.stats.serverMailCount[std::size_t(i)].load()};
  }
  accounts_.SetRows(BuildAccountList(std::span(ctx_.settings->accounts, kAccountCount), counters, highlightAccount));
}

void MainWindow::ApplyActivity(const std::vector<ActivityChange>& changes) {
  activity_.Apply(changes);
  if (ctx_.common().autoScroll) activityView_->scrollToBottom();
}

void MainWindow::SetStatus(const QString& text, int icon) {
  if (icon >= 0 && icon < 8) statusIcon_->setPixmap(StatusImage(icon).pixmap(16, 16));
  statusText_->setText(text);
}

void MainWindow::ShowMessage(const QString& text, const QString& title) {
  // Not modal: a message from the worker must not stop the window's events.
  auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, this);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

bool MainWindow::AskYesNo(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, this);
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  Q_EMIT closeRequested();
}

}  // namespace velnora::ui
