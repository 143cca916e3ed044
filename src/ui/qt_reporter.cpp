#include "ui/qt_reporter.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <utility>

#include "ui/ui_text.h"

namespace velnora::ui {

QtReporter::QtReporter(DisplayArea screen, QObject* parent) : QObject(parent), screen_(screen) {}

void QtReporter::ScheduleLocked() {
  if (scheduled_) return;
  scheduled_ = true;
  // Queued even on the window thread: a row added while the list is being
  // painted or sorted lands after that work, never inside it.
  QMetaObject::invokeMethod(this, &QtReporter::Deliver, Qt::QueuedConnection);
}

void QtReporter::ActivityAdded(const ActivityRow& row) {
  std::lock_guard lock(mutex_);
  activity_.push_back({false, row});
  ScheduleLocked();
}

void QtReporter::ActivityCleared() {
  std::lock_guard lock(mutex_);
  // Rows queued before the clearing would be cleared at once: drop them.
  activity_.clear();
  activity_.push_back({true, {}});
  ScheduleLocked();
}

void QtReporter::ActivityRedrawRequested() {
  std::lock_guard lock(mutex_);
  redraw_ = true;
  ScheduleLocked();
}

void QtReporter::StatusChanged(std::string_view text, int icon) {
  std::lock_guard lock(mutex_);
  // A "keep the image" text keeps the image of a change still queued.
  const int keptIcon = icon >= 8 && status_ ? status_->icon : icon;
  status_ = Text{std::string(text), keptIcon};
  ScheduleLocked();
}

void QtReporter::SummaryChanged(std::string_view text, int icon) {
  std::lock_guard lock(mutex_);
  summary_ = Text{std::string(text), icon};
  ScheduleLocked();
}

void QtReporter::PassActiveChanged(bool active) {
  std::lock_guard lock(mutex_);
  passActive_ = active;
  ScheduleLocked();
}

void QtReporter::AccountListChanged(int highlightAccount) {
  std::lock_guard lock(mutex_);
  accountList_ = highlightAccount;
  ScheduleLocked();
}

void QtReporter::Tell(std::string_view text, std::string_view title) {
  std::lock_guard lock(mutex_);
  messages_.push_back({std::string(text), std::string(title)});
  ScheduleLocked();
}

Answer QtReporter::Ask(std::string_view text, std::string_view title) {
  if (QThread::currentThread() != thread()) return Answer::No;
  Deliver();  // what was reported before the question shows first
  bool yes = false;
  Q_EMIT asked(FromCp932(text), FromCp932(title), &yes);
  return yes ? Answer::Yes : Answer::No;
}

void QtReporter::Deliver() {
  std::vector<ActivityChange> activity;
  bool redraw;
  std::optional<Text> status, summary;
  std::optional<bool> passActive;
  std::optional<int> accountList;
  std::vector<Message> messages;
  {
    std::lock_guard lock(mutex_);
    scheduled_ = false;
    activity.swap(activity_);
    redraw = std::exchange(redraw_, false);
    status = std::exchange(status_, std::nullopt);
    summary = std::exchange(summary_, std::nullopt);
    passActive = std::exchange(passActive_, std::nullopt);
    accountList = std::exchange(accountList_, std::nullopt);
    messages.swap(messages_);
  }
  if (!activity.empty()) Q_EMIT activityChanged(activity);
  if (redraw) Q_EMIT activityRedraw();
  if (status) Q_EMIT statusChanged(FromCp932(status->text), status->icon);
  if (summary) Q_EMIT summaryChanged(FromCp932(summary->text), summary->icon);
  if (passActive) Q_EMIT passActiveChanged(*passActive);
  if (accountList) Q_EMIT accountListChanged(*accountList);
  for (const Message& message : messages) Q_EMIT told(FromCp932(message.text), FromCp932(message.title));
}

}  // namespace velnora::ui
