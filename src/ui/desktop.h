// The desktop program as a whole: the folder's lock and single-instance
// socket, the Context, the forwarding worker, the main window and the timers
// that drive the worker, and the one way out of all of it.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

#include "config/settings_location.h"
#include "platform/process_lock.h"
#include "ui/main_window.h"
#include "ui/qt_reporter.h"
#include "ui/settings_commands.h"
#include "ui/settings_session.h"
#include "ui/single_instance.h"
#include "ui/user_dialogs.h"
#include "ui/update_check.h"

namespace velnora {
class Context;
class ForwardingControl;
namespace platform {
class StopSignals;
}
}  // namespace velnora

namespace velnora::ui {

class Desktop : public QObject {
  Q_OBJECT
 public:
  // `stopSignals` (may be null) are polled for SIGTERM and SIGINT. The
  // commands ask through `dialogs` when given (tests answer for the user),
  // else through message boxes and file dialogs over the window; `update`
  // is where start-up looks for a newer version.
  Desktop(SettingsLocation location, platform::StopSignals* stopSignals,
          std::unique_ptr<UserDialogs> dialogs = nullptr, UpdateSource update = UpdateSource::Built());
  ~Desktop() override;

  enum class Start {
    Running,     // the window is up
    HandedOver,  // another window for the folder came to the front
    Refused,     // another process forwards with the folder: refusal()
    Failed,      // the context could not start: refusal()
    Cancelled,   // the start-up password was not given
  };
  Start Open();
  // Why Open refused or failed, for the user.
  const QString& refusal() const { return refusal_; }

  enum class QuitSource { User, Signal };
  // The one quit path. A user's quit waits for no pass (it beeps while one
  // runs); a stop signal winds a running pass down first. Stops the timers,
  // stops and joins the worker, saves the settings and the UIDL store and
  // emits finished; the widgets and the context go with this object.
  void Quit(QuitSource source);
  bool quitting() const { return quitting_; }

  MainWindow* window() { return window_.get(); }
  Context* context() { return ctx_.get(); }
  QTimer& pollTimer() { return poll_; }
  QTimer& autoConnectTimer() { return autoConnect_; }
  SettingsSession* settingsSession() { return session_.get(); }
  SettingsCommands* settingsCommands() { return commands_.get(); }
  // The start-up update check; null when it is switched off or has no address.
  const UpdateCheck* updateCheck() const { return updateCheck_.get(); }
  // The start-up countdown while it is open.
  QDialog* countdown() { return countdown_; }

 Q_SIGNALS:
  void finished(int exitCode);

 private:
  Start ClaimFolder(const std::string& folder, const QString& name);
  void MakeWindow();
  void OnCommand(Command command);
  void Connect();
  void Disconnect();
  void PollTick();
  void AutoConnectTick();
  void CheckWatchdog();
  void ShowLogDetails();
  // The questions of a user's quit: false when the user keeps the program.
  bool ConfirmQuit(bool& deleteOnQuit);
  void FinishQuit();

  SettingsLocation location_;
  platform::StopSignals* signals_;
  platform::ProcessLock lock_;
  SingleInstance instance_;
  QString refusal_;
  // Destroyed in reverse: the window before the worker's context.
  std::unique_ptr<QtReporter> reporter_;
  std::unique_ptr<Context> ctx_;
  std::unique_ptr<ForwardingControl> forwarding_;
  std::unique_ptr<SettingsSession> session_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<UserDialogs> dialogs_;
  std::unique_ptr<SettingsCommands> commands_;
  UpdateSource update_;
  std::unique_ptr<UpdateCheck> updateCheck_;  // announces into the context's log
  QTimer poll_;         // one poll tick or the watchdog a minute
  QTimer autoConnect_;  // the first connection after start-up
  QTimer signalPoll_;
  QTimer quitWait_;     // a stopping pass, before the quit goes on
  QTimer watchdogWait_; // a hung pass told to end, until it has
  QPointer<QDialog> countdown_;
  int settingsAccount_ = 0;  // the account the settings sheet opens on, chosen from the drop-down
  bool trayAfterStart_ = false;  // a start pass runs; trayAfterConnect applies after it
  bool quitting_ = false;
  int exitCode_ = 0;
};

}  // namespace velnora::ui
