// Reporter for velnora-cli: activity rows and messages as UTF-8 lines.
#pragma once

#include <cstdio>
#include <mutex>

#include "report/reporter.h"

namespace velnora {

class ConsoleReporter : public Reporter {
 public:
  // `out` receives activity rows; `err` messages and questions. Status text
  // is shown only when `showStatus` is set (it changes many times a second).
  ConsoleReporter(std::FILE* out, std::FILE* err, bool showStatus = false,
                  Answer defaultAnswer = Answer::No);

  void ActivityAdded(const ActivityRow& row) override;
  void ActivityCleared() override {}
  void StatusChanged(std::string_view text, int icon) override;
  void AccountListChanged(int) override {}
  Answer Ask(std::string_view text, std::string_view title) override;
  void Tell(std::string_view text, std::string_view title) override;

 private:
  std::FILE* out_;
  std::FILE* err_;
  bool showStatus_;
  Answer defaultAnswer_;
  std::mutex mutex_;  // rows come from the worker, messages from the main thread
};

}  // namespace velnora
