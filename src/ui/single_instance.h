// One desktop program per settings folder. The running one listens on a
// local socket named after the folder; a second start asks it to come to the
// front and ends. The socket is taken over only by a process that holds the
// folder's forwarding lock, so a socket left behind by a killed process is
// removed without risk.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>

namespace velnora::ui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // The socket name for a settings folder: the same for every spelling of it.
  static QString ServerName(const std::string& folder);
  // True when a running program answered and will come to the front.
  static bool AskToRaise(const QString& name, int timeoutMs = 3000);

  // Listens on `name`, replacing a socket file nobody serves. Call it only
  // while holding the folder's lock.
  bool Listen(const QString& name);

 Q_SIGNALS:
  void raiseRequested();

 private:
  QLocalServer server_;
};

}  // namespace velnora::ui
