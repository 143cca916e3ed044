// The start-up look for a newer version: one GET of the update server's
// version file, in the background of the window's event loop, bounded in
// time and size. It only reads a text; nothing is ever downloaded or run.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include "report/version_file.h"

class QNetworkReply;

namespace velnora {
class ActivityLog;
}

namespace velnora::ui {

// Where the version file is and how long the whole exchange may take.
struct UpdateSource {
  QUrl address;  // http or https; empty: there is no update check
  int deadlineMs = 10000;
  // The address this program was built with (empty unless configured).
  static UpdateSource Built();
};

class UpdateCheck : public QObject {
  Q_OBJECT
 public:
  // The body is read up to this size; a version file is a few lines.
  static constexpr qint64 kMaxBody = 4096;

  // `log` (may be null) receives the announcement when the check ends.
  UpdateCheck(UpdateSource source, ActivityLog* log, QObject* parent = nullptr);
  ~UpdateCheck() override;

  // Sends the request and returns; false without an address (nothing
  // happens then). An address that is not http or https fails at once.
  bool Start();

  bool done() const { return done_; }
  // Whether a version file came back (status 200, read to its end or to
  // the size bound) before the deadline.
  bool fetched() const { return fetched_; }
  const VersionFile& file() const { return file_; }

 Q_SIGNALS:
  void finished();

 private:
  void OnReadyRead();
  void OnFinished();
  void Finish(bool fetched);
  bool StatusOk() const;

  UpdateSource source_;
  ActivityLog* log_;
  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
  QTimer deadline_;
  QByteArray body_;
  VersionFile file_;
  bool done_ = false;
  bool fetched_ = false;
};

}  // namespace velnora::ui
