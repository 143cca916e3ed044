#include "ui/update_check.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include "report/activity_log.h"

#ifndef VELNORA_UPDATE_URL
#define VELNORA_UPDATE_URL ""
#endif

namespace velnora::ui {

UpdateSource UpdateSource::Built() { return {QUrl(QStringLiteral(VELNORA_UPDATE_URL)), 10000}; }

UpdateCheck::UpdateCheck(UpdateSource source, ActivityLog* log, QObject* parent)
    : QObject(parent), source_(std::move(source)), log_(log) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, [this] { Finish(false); });
}

UpdateCheck::~UpdateCheck() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    delete reply_;
  }
}

bool UpdateCheck::Start() {
  if (source_.address.isEmpty()) return false;
  const QString scheme = source_.address.scheme();
  if (!source_.address.isValid() || source_.address.host().isEmpty() ||
      (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
    Finish(false);
    return true;
  }
  QNetworkRequest request(source_.address);
  // A redirect is not the version file: only the address itself counts.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setRawHeader("Accept", "*/*");
  reply_ = manager_.get(request);
  // Qt itself buffers no more than we keep, whatever the server sends.
  reply_->setReadBufferSize(kMaxBody);
  connect(reply_, &QNetworkReply::readyRead, this, &UpdateCheck::OnReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &UpdateCheck::OnFinished);
  deadline_.start(source_.deadlineMs);
  return true;
}

bool UpdateCheck::StatusOk() const {
  return reply_ && reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
}

void UpdateCheck::OnReadyRead() {
  if (done_ || !reply_) return;
  if (!StatusOk()) {
    Finish(false);
    return;
  }
  body_ += reply_->read(kMaxBody - body_.size());
  // The first lines are all there is to read; the rest is never fetched.
  if (body_.size() >= kMaxBody) Finish(true);
}

void UpdateCheck::OnFinished() {
  if (done_ || !reply_) return;
  const bool ok = reply_->error() == QNetworkReply::NoError && StatusOk();
  if (ok) body_ += reply_->read(kMaxBody - body_.size());
  Finish(ok);
}

void UpdateCheck::Finish(bool fetched) {
  if (done_) return;
  done_ = true;
  deadline_.stop();
  if (reply_) {
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
  }
  fetched_ = fetched;
  if (fetched) file_ = ReadVersionFile(std::string_view(body_.constData(), std::size_t(body_.size())));
  body_.clear();
  if (log_) AnnounceVersion(fetched_, file_, *log_);
  Q_EMIT finished();
}

}  // namespace velnora::ui
