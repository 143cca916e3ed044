// The reporter of the desktop program. The forwarding worker calls it as
// well as the window thread; it only queues what it is given and posts one
// delivery to the window thread, so the worker never waits for the window.
// Activity rows arrive in batches, in the order they were numbered; the
// status, summary and account-list requests keep only their latest value.
#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>
#include <mutex>
#include <optional>
#include <vector>

#include "report/reporter.h"

namespace velnora::ui {

// One step of the activity list in order: a row, or the list emptied.
struct ActivityChange {
  bool cleared = false;
  ActivityRow row;
};

class QtReporter : public QObject, public Reporter {
  Q_OBJECT
 public:
  // Lives on the window thread; `screen` is read once there.
  QtReporter(DisplayArea screen, QObject* parent = nullptr);

  void ActivityAdded(const ActivityRow& row) override;
  void ActivityCleared() override;
  void ActivityRedrawRequested() override;
  void StatusChanged(std::string_view text, int icon) override;
  void SummaryChanged(std::string_view text, int icon) override;
  void PassActiveChanged(bool active) override;
  void AccountListChanged(int highlightAccount) override;
  // On the window thread a modal question; from any other thread the
  // worker must not wait for a person, so the answer is No.
  Answer Ask(std::string_view text, std::string_view title) override;
  void Tell(std::string_view text, std::string_view title) override;
  ScreenSize Screen() const override { return screen_; }

  // Delivers what is queued now (the window thread does this by itself).
  void Deliver();

 Q_SIGNALS:
  void activityChanged(const std::vector<velnora::ui::ActivityChange>& changes);
  void activityRedraw();
  void statusChanged(const QString& text, int icon);
  void summaryChanged(const QString& text, int icon);
  void passActiveChanged(bool active);
  void accountListChanged(int highlightAccount);
  void told(const QString& text, const QString& title);
  // Only on the window thread: answered by whoever shows the question.
  void asked(const QString& text, const QString& title, bool* yes);

 private:
  struct Text {
    std::string text;
    int icon = 0;
  };
  struct Message {
    std::string text;
    std::string title;
  };
  // Under mutex_: posts one delivery unless one is on its way.
  void ScheduleLocked();

  const DisplayArea screen_;
  std::mutex mutex_;
  bool scheduled_ = false;
  std::vector<ActivityChange> activity_;
  bool redraw_ = false;
  std::optional<Text> status_;
  std::optional<Text> summary_;
  std::optional<bool> passActive_;
  std::optional<int> accountList_;
  std::vector<Message> messages_;
};

}  // namespace velnora::ui
