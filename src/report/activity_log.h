// The activity list, the forwarding log, the session log and the status
// text: every subsystem reports through one ActivityLog, which writes the
// files and hands rows and texts to the Reporter.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "report/activity_category.h"
#include "report/reporter.h"

namespace velnora {

struct AccountSettings;
struct CommonSettings;

// What the activity list needs of a processed message (the header lines are
// whole lines including the field name, empty when absent).
struct MessageActivity {
  long fileSize = 0;
  Category resultCode = Category::Forwarded;
  int statCount = -1;  // the account's last STAT count; -1 when unknown ("----")
  std::string_view subject, from, to, messageId, date;
};

class ActivityLog {
 public:
  // `common` stays owned by the settings tables (a reload rewrites it in place).
  ActivityLog(Reporter& reporter, const CommonSettings& common, std::string forwardingLogPath,
              std::string sessionLogPath);

  // One row for an event: errors, notices, start-up information.
  void AddActivity(std::string_view text, Category code, const AccountSettings* account);
  // One row for a processed message, with its forwarding-log line.
  void AddMessageActivity(const MessageActivity& message, const AccountSettings& account);
  // Status-bar text and image (StatusIcon::Keep leaves the image).
  void SetStatus(std::string_view text, StatusIcon icon);
  // Appends text to the session log when it is switched on.
  void WriteSessionLog(std::string_view text);
  // The same for one of several checks running side by side: its texts are
  // collected into whole lines, each written with `tag` in front, so that
  // the lines of two checks never run into one another.
  void WriteTaggedSessionLog(std::string_view tag, std::string_view text);
  // Forces the forwarding log to the disk: called before a message is deleted
  // from its server, so the record that prevents a resend survives a crash.
  bool SyncForwardingLog();
  // Keeps rows from being appended while the forwarding log is rewritten.
  // No activity may be added by the holder.
  std::unique_lock<std::mutex> HoldForwardingLog();

  // How often and how far apart the forwarding log is opened before a row is
  // shown without its file line (10 times, 1000 ms).
  void SetOpenRetry(int attempts, int delayMs) {
    openAttempts_ = attempts;
    openDelayMs_ = delayMs;
  }
  int rowCount() const;
  // Lines handed to the forwarding log so far in this run.
  long forwardingLogLines() const;
  // Whether a forwarding-log line could not be written since the last call.
  bool TakeForwardingLogFailure();

  const std::string& forwardingLogPath() const { return forwardingLogPath_; }
  const std::string& sessionLogPath() const { return sessionLogPath_; }

  void RedrawActivityList() { reporter_.ActivityRedrawRequested(); }
  void RefreshAccountList() { reporter_.AccountListChanged(-1); }
  void HighlightAccount(int accountNumber) { reporter_.AccountListChanged(accountNumber); }

  Reporter& reporter() { return reporter_; }

 private:
  Reporter& reporter_;
  const CommonSettings& common_;
  std::string forwardingLogPath_;
  std::string sessionLogPath_;
  // Starts a row: clears the list at the row limit. Called with rowMutex_ held.
  void BeginRowLocked();
  void AddActivityLocked(std::string_view text, Category code, const AccountSettings* account);
  void AppendForwardingLogLocked(const std::string& line);

  mutable std::mutex rowMutex_;
  int rowCounter_ = 0;
  long forwardingLogLines_ = 0;
  bool forwardingLogFailed_ = false;
  int openAttempts_ = 10;
  int openDelayMs_ = 1000;
  // Serialises session-log writes so that neither thread loses a line.
  std::mutex sessionMutex_;
  std::string previousSessionText_;
  int sessionWriteCounter_ = 0;
  // The unfinished line of each tagged check.
  std::mutex pendingMutex_;
  std::map<std::string, std::string, std::less<>> pendingLines_;
};

}  // namespace velnora
