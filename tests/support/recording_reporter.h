// Reporter for tests: keeps everything it is told, thread-safe.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "report/reporter.h"

namespace velnora::testing {

class RecordingReporter : public Reporter {
 public:
  void ActivityAdded(const ActivityRow& row) override {
    std::lock_guard lock(mutex_);
    rows.push_back(row);
  }
  void ActivityCleared() override {
    std::lock_guard lock(mutex_);
    ++clears;
  }
  void StatusChanged(std::string_view text, int icon) override {
    std::lock_guard lock(mutex_);
    statuses.emplace_back(std::string(text), icon);
  }
  void SummaryChanged(std::string_view text, int icon) override {
    std::lock_guard lock(mutex_);
    summaries.emplace_back(std::string(text), icon);
  }
  void PassActiveChanged(bool active) override {
    std::lock_guard lock(mutex_);
    passActiveChanges.push_back(active);
  }
  void SessionLogWritten(std::string_view text) override {
    std::lock_guard lock(mutex_);
    sessionLog.emplace_back(text);
  }
  void AccountListChanged(int highlight) override {
    std::lock_guard lock(mutex_);
    accountListChanges.push_back(highlight);
  }
  Answer Ask(std::string_view text, std::string_view) override {
    std::lock_guard lock(mutex_);
    questions.emplace_back(text);
    return answer;
  }
  void Tell(std::string_view text, std::string_view) override {
    std::lock_guard lock(mutex_);
    messages.emplace_back(text);
  }
  ScreenSize Screen() const override { return screen; }

  // Snapshot of the activity texts (column 3) for assertions.
  std::vector<std::string> ActivityTexts() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& row : rows) texts.push_back(row.columns[3]);
    return texts;
  }

  std::vector<ActivityRow> rows;
  std::vector<std::pair<std::string, int>> statuses;
  std::vector<std::pair<std::string, int>> summaries;
  std::vector<bool> passActiveChanges;
  std::vector<std::string> sessionLog;
  std::vector<int> accountListChanges;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  int clears = 0;
  Answer answer = Answer::Yes;
  ScreenSize screen;

 private:
  mutable std::mutex mutex_;
};

}  // namespace velnora::testing
