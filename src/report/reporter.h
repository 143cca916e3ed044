// The one interface through which the core talks to whoever shows it: the
// desktop window, the console of velnora-cli, or a test. All texts handed
// over are code page 932 bytes; each implementation converts for its screen.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "config/display_area.h"

namespace velnora {

// One row of the activity list: the six column texts in list order
// (size, account, time, subject, sender, recipient) and its category code.
struct ActivityRow {
  int row = 0;
  int code = 0;
  std::array<std::string, 6> columns;
};

using ScreenSize = DisplayArea;

enum class Answer { Yes, No };

// The activity and status calls come from the forwarding worker as well as
// the window thread, in the order the rows are numbered; an implementation
// hands them on (queues them for its window) and never waits for the window
// thread, which may itself be adding a row at that moment.
class Reporter {
 public:
  virtual ~Reporter() = default;

  virtual void ActivityAdded(const ActivityRow& row) = 0;
  virtual void ActivityCleared() = 0;
  // All rows of the activity list should be repainted.
  virtual void ActivityRedrawRequested() {}
  // Status-bar text; icon < 8 switches the status image, larger keeps it.
  virtual void StatusChanged(std::string_view text, int icon) = 0;
  // The forwarding summary (status-bar pane 1): icon 1 while started, 0 otherwise.
  virtual void SummaryChanged(std::string_view, int) {}
  // A pass started or ended: the front end greys out the settings commands
  // (quit, backup, restore, templates, CSV, import, connection test) meanwhile.
  virtual void PassActiveChanged(bool) {}
  // A piece of session-log text as written to the file (for live views).
  virtual void SessionLogWritten(std::string_view) {}
  // The account list must be rebuilt; highlight is the account being
  // processed or -1.
  virtual void AccountListChanged(int highlightAccount) = 0;
  // A yes/no question to the user; a headless run answers for the user.
  virtual Answer Ask(std::string_view text, std::string_view title) = 0;
  // A message box without a choice.
  virtual void Tell(std::string_view text, std::string_view title) = 0;
  // Screen size for window repairs; a headless run uses 1920 x 1080.
  virtual ScreenSize Screen() const { return {}; }
};

}  // namespace velnora
