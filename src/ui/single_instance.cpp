#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

namespace velnora::ui {
namespace {

constexpr char kRaise[] = "raise\n";
constexpr char kRaised[] = "ok\n";

}  // namespace

QString SingleInstance::ServerName(const std::string& folder) {
  const QString path = QString::fromStdString(folder);
  const QString canonical = QDir(path).canonicalPath();
  const QByteArray key = (canonical.isEmpty() ? QDir::cleanPath(path) : canonical).toUtf8();
  return QStringLiteral("velnora-") +
         QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
}

bool SingleInstance::AskToRaise(const QString& name, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kRaise);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // Only an answer proves that a live program took the request.
  QByteArray answer;
  while (!answer.contains('\n') && answer.size() < 16 && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
  return answer == kRaised;
}

bool SingleInstance::Listen(const QString& name) {
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(name)) return false;
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->bytesAvailable() > 64) {
          socket->abort();
          return;
        }
        if (!socket->canReadLine()) return;
        if (socket->readLine() == kRaise) {
          socket->write(kRaised);
          socket->flush();
          Q_EMIT raiseRequested();
        }
        socket->disconnectFromServer();
      });
    }
  });
  return true;
}

}  // namespace velnora::ui
