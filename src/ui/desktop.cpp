#include "ui/desktop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <system_error>

#include "config/settings_file.h"
#include "engine/context.h"
#include "engine/forward/forwarding_control.h"
#include "engine/history/runtime_state.h"
#include "platform/codepage.h"
#include "platform/stop_signals.h"
#include "platform/text_format.h"
#include "ui/countdown_dialog.h"
#include "ui/settings_sheet.h"

namespace velnora::ui {
namespace {

constexpr int kPollTickMs = 60000;
constexpr int kAutoConnectTickMs = 100;

DisplayArea ScreenArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return {screen->geometry().width(), screen->geometry().height()};
}

}  // namespace

Desktop::Desktop(SettingsLocation location, platform::StopSignals* stopSignals, std::unique_ptr<UserDialogs> dialogs,
                 UpdateSource update)
    : location_(location), signals_(stopSignals), dialogs_(std::move(dialogs)), update_(std::move(update)) {
  poll_.setInterval(kPollTickMs);
  connect(&poll_, &QTimer::timeout, this, &Desktop::PollTick);
  autoConnect_.setInterval(kAutoConnectTickMs);
  connect(&autoConnect_, &QTimer::timeout, this, &Desktop::AutoConnectTick);
  if (signals_) {
    signalPoll_.setInterval(100);
    connect(&signalPoll_, &QTimer::timeout, this, [this] {
      if (signals_->Wait(0) != 0) Quit(QuitSource::Signal);
    });
    signalPoll_.start();
  }
  watchdogWait_.setInterval(250);
  watchdogWait_.setSingleShot(true);
  connect(&watchdogWait_, &QTimer::timeout, this, [this] {
    if (!quitting_ && forwarding_) CheckWatchdog();
  });
  quitWait_.setInterval(50);
  connect(&quitWait_, &QTimer::timeout, this, [this] {
    if (forwarding_ && !forwarding_->Idle()) return;
    quitWait_.stop();
    FinishQuit();
  });
}

Desktop::~Desktop() {
  // A Desktop left without the quit path (a failed test) still joins its worker.
  forwarding_.reset();
}

// The settings folder's lock and the window's socket: Running when both
// are held, otherwise why not, with the reason in `refusal_`.
Desktop::Start Desktop::ClaimFolder(const std::string& folder, const QString& name) {
  switch (lock_.Acquire(folder)) {
    case platform::ProcessLock::Result::Acquired:
      break;
    case platform::ProcessLock::Result::HeldElsewhere: {
      const long pid = platform::ProcessLock::HolderPid(folder);
      refusal_ = QStringLiteral("別の Velnora%1 がこの設定フォルダで転送を実行中のため、起動できません。\n%2")
                     .arg(pid ? QStringLiteral(" (pid %1)").arg(pid) : QString(), QString::fromStdString(folder));
      return Start::Refused;
    }
    case platform::ProcessLock::Result::Failed:
      refusal_ = QStringLiteral("設定フォルダにロックファイルを作成できません。\n%1").arg(QString::fromStdString(folder));
      return Start::Refused;
  }
  // Holding the lock, no live program serves the socket: a file left there is stale.
  if (!instance_.Listen(name)) {
    refusal_ = QStringLiteral("Fatal Error: QLocalServer");
    return Start::Failed;
  }
  return Start::Running;
}

// The main window, wired to the commands, the single-instance socket and
// the end of the start pass.
void Desktop::MakeWindow() {
  session_ = std::make_unique<SettingsSession>(*ctx_, *forwarding_);
  window_ = std::make_unique<MainWindow>(*ctx_, *reporter_);
  if (!dialogs_) dialogs_ = std::make_unique<WidgetDialogs>(window_.get());
  commands_ = std::make_unique<SettingsCommands>(*session_, *dialogs_, ScreenArea());
  connect(session_.get(), &SettingsSession::changed, window_.get(), &MainWindow::ShowSettings);
  connect(window_.get(), &MainWindow::commandChosen, this, &Desktop::OnCommand);
  connect(window_.get(), &MainWindow::accountSettingsChosen, this, [this](int account) {
    settingsAccount_ = account;
    OpenSettingsSheet(*session_, *dialogs_, account, window_.get());
  });
  connect(window_.get(), &MainWindow::closeRequested, this, [this] { Quit(QuitSource::User); });
  connect(&instance_, &SingleInstance::raiseRequested, window_.get(), &MainWindow::RestoreFromTray);
  connect(reporter_.get(), &QtReporter::passActiveChanged, this, [this](bool active) {
    // The start pass is over: a started forwarding may go to the tray.
    if (active || !trayAfterStart_) return;
    trayAfterStart_ = false;
    if (ctx_->worker.flags.connected && ctx_->common().trayAfterConnect && !window_->inTray()) window_->HideToTray();
  });
}

Desktop::Start Desktop::Open() {
  const std::string folder = location_.ForwardingFolder();
  const QString name = SingleInstance::ServerName(folder);
  if (SingleInstance::AskToRaise(name)) return Start::HandedOver;
  if (const Start claimed = ClaimFolder(folder, name); claimed != Start::Running) return claimed;

  reporter_ = std::make_unique<QtReporter>(ScreenArea());
  ctx_ = std::make_unique<Context>(*reporter_, location_);
  if (!ctx_->StartUp()) {
    // The reason went to the reporter; there is no window to show it in.
    QStringList reasons;
    const QMetaObject::Connection collect = connect(reporter_.get(), &QtReporter::told, this,
                                                    [&reasons](const QString& text, const QString&) { reasons << text; });
    reporter_->Deliver();
    disconnect(collect);
    refusal_ = reasons.isEmpty() ? QStringLiteral("Fatal Error: StartUp") : reasons.join(QLatin1Char('\n'));
    return Start::Failed;
  }
  try {
    forwarding_ = std::make_unique<ForwardingControl>(*ctx_);
  } catch (const std::system_error&) {
    refusal_ = QStringLiteral("Fatal Error: CreateThread");
    return Start::Failed;
  }
  MakeWindow();
  ctx_->AnnounceStartUp();
  // Shift held at start-up switches the update check off for good.
  if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) ctx_->common().noUpdateInfo = 1;
  if (!ctx_->common().noUpdateInfo) {
    updateCheck_ = std::make_unique<UpdateCheck>(update_, ctx_->log.get());
    if (!updateCheck_->Start()) updateCheck_.reset();  // built without an address
  }
  // An automatic start asks no password: nobody may be there to type it.
  if (!ctx_->common().autoConnect && !window_->CheckPassword()) return Start::Cancelled;
  window_->show();
  if (ctx_->common().autoConnect) {
    // Not modal: the window and the reporter keep working during the countdown.
    countdown_ = new CountdownDialog(ctx_->common().autoConnectDelaySec, window_.get());
    countdown_->setAttribute(Qt::WA_DeleteOnClose);
    connect(countdown_, &QDialog::accepted, this, [this] {
      if (quitting_) return;
      autoConnect_.start();
      ctx_->log->AddActivity(SJIS(u8"自動でサーバーへ接続します"), Category::Information, nullptr);
    });
    countdown_->show();
  }
  return Start::Running;
}

void Desktop::OnCommand(Command command) {
  switch (command) {
    case Command::Connect: Connect(); break;
    case Command::Disconnect: Disconnect(); break;
    case Command::Quit: Quit(QuitSource::User); break;
    case Command::Backup: commands_->Backup(); break;
    case Command::Restore: commands_->Restore(); break;
    case Command::ImportOlder: commands_->ImportOlder(); break;
    case Command::ExportCsv: commands_->ExportCsv(); break;
    case Command::ImportCsv: commands_->ImportCsv(); break;
    case Command::MarkAllForwarded: commands_->MarkAllForwarded(); break;
    case Command::AccountSwitch:
      commands_->AccountList(window_.get(), [this](int account) {
        settingsAccount_ = account;
        OpenSettingsSheet(*session_, *dialogs_, account, window_.get());
      });
      break;
    case Command::ApplyTemplate: commands_->ApplyTemplate(window_.get()); break;
    case Command::CopyToTemplate: commands_->CopyToTemplate(window_.get()); break;
    case Command::LogDetails: ShowLogDetails(); break;
    case Command::Settings: OpenSettingsSheet(*session_, *dialogs_, settingsAccount_, window_.get()); break;
    case Command::EditTemplate: OpenSettingsSheet(*session_, *dialogs_, kTemplateIndex, window_.get()); break;
    default: break;  // the window's own commands
  }
}

// A copy of the line: the list may change while the dialog is open.
void Desktop::ShowLogDetails() {
  const int selected = window_->SelectedActivityRow();
  if (selected < 0) return;
  const ActivityRow row = window_->activityModel().row(selected);
  commands_->LogDetails(window_.get(), row);
  window_->activityView().selectRow(selected);
}

void Desktop::Connect() {
  if (quitting_ || ctx_->worker.flags.passActive) return;
  poll_.start();
  ctx_->worker.flags.stopRequested = false;
  trayAfterStart_ = forwarding_->Resume(kTriggerStartCommand);
}

void Desktop::Disconnect() {
  poll_.stop();
  if (!forwarding_->Idle()) {
    forwarding_->RequestStop();
  } else {
    forwarding_->DisconnectIdle();
  }
}

void Desktop::AutoConnectTick() {
  autoConnect_.stop();
  if (quitting_) return;
  poll_.start();
  if (!ctx_->worker.flags.passActive) trayAfterStart_ = forwarding_->Resume(kTriggerAutoConnect);
}

void Desktop::PollTick() {
  if (!forwarding_->Idle()) {
    if (!ctx_->worker.uiOperationActive) CheckWatchdog();
    return;
  }
  // A pass that ended forwarding (a stop, a refused start) leaves the timer to us.
  if (!ctx_->worker.flags.connected) {
    poll_.stop();
    return;
  }
  forwarding_->Resume(kTriggerPollTick);
}

bool Desktop::ConfirmQuit(bool& deleteOnQuit) {
  const CommonSettings& common = ctx_->common();
  if (common.confirmQuit &&
      !dialogs_->AskYesNo(QStringLiteral("終了してもよろしいですか？"), QStringLiteral("Velnora"))) {
    return false;
  }
  if (ctx_->worker.flags.passActive) {  // a pass started while the question was open
    QApplication::beep();
    return false;
  }
  deleteOnQuit = ctx_->worker.flags.connected && common.deleteAllOnQuit &&
                 (common.deleteAllImmediately ||
                  dialogs_->AskYesNo(QStringLiteral("すべてのアカウントのメールボックスにあるメールを全て削除しますか？"),
                                     QStringLiteral("メール削除の確認")));
  return true;
}

// A stop signal (logout, shutdown) ends at once: it asks nothing and leaves
// the deletion at quit out, which only ever removes mail that is safe to keep.
// The watchdog never waits on this thread: while a hung pass it has told to
// end is still winding down, it asks again a quarter second later.
void Desktop::CheckWatchdog() {
  switch (forwarding_->Watchdog(0)) {
    case ForwardingWorker::WatchdogResult::Stopping:
      watchdogWait_.start();
      break;
    case ForwardingWorker::WatchdogResult::RestartFailed:
      ctx_->log->AddActivity(SJIS(u8"通信スレッドが起動できないため、Velnoraを強制終了しました。"),
                             Category::ServerNotice, nullptr);
      Quit(QuitSource::Signal);
      break;
    default:
      break;
  }
}

void Desktop::Quit(QuitSource source) {
  if (quitting_ || !ctx_) return;
  bool deleteOnQuit = false;
  if (source == QuitSource::User) {
    if (ctx_->worker.flags.passActive) {
      QApplication::beep();
      return;
    }
    if (!ConfirmQuit(deleteOnQuit) || quitting_) return;
  }
  quitting_ = true;
  poll_.stop();
  autoConnect_.stop();
  signalPoll_.stop();
  watchdogWait_.stop();
  if (!forwarding_->Idle()) {
    forwarding_->RequestStop();
    quitWait_.start();  // the window keeps painting while the pass winds down
    return;
  }
  if (deleteOnQuit && forwarding_->Resume(kTriggerQuit)) {
    quitWait_.start();  // the deletion runs on the worker; its progress shows in the lists
    return;
  }
  FinishQuit();
}

void Desktop::FinishQuit() {
  updateCheck_.reset();  // an answer still on its way is not announced
  forwarding_->DisconnectIdle();
  forwarding_.reset();  // joins the worker thread
  window_->StoreColumnWidths();
  reporter_->Deliver();
  if (!SaveRuntimeState(*ctx_, nullptr)) exitCode_ = 1;
  if (SaveSettings(*ctx_->settings, ctx_->location) != SaveResult::Saved) exitCode_ = 1;
  if (window_->tray()) window_->tray()->hide();
  window_->hide();
  Q_EMIT finished(exitCode_);
}

}  // namespace velnora::ui
