#include "report/activity_log.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "report/header_display.h"
#include "report/log_fields.h"
#include "report/settings_text.h"
#include "report/time_stamps.h"

namespace velnora {
namespace {

// The list keeps at most this many rows; the next row clears it.
constexpr int kRowLimit = 3000;
// Header lines longer than this are cut before they are decoded for a column.
constexpr size_t kMaxHeaderLine = 65534;
// Session-log texts of this length or more are not written.
constexpr size_t kMaxSessionText = 65534;
// The session log is renamed aside once it grows past this size...
constexpr int64_t kSessionLogRenameSize = 20971519;
// ...checked once every this many writes, at write kSessionLogCheckAt.
constexpr int kSessionLogCheckCycle = 100;
constexpr int kSessionLogCheckAt = 50;

constexpr std::string_view kSessionLogRenamedName = "velnora_session_renamed.log";

std::string AccountNumberText(const AccountSettings& account) {
  char number[32];
  std::snprintf(number, sizeof number, "%d : ", static_cast<int>(account.accountNumber));
  return number;
}

// "%d : name", or "%d : (popUser)" for an account without a name; empty
// when no account is given.
std::string AccountColumn(const AccountSettings* account) {
  if (!account) return {};
  std::string text = AccountNumberText(*account);
  std::string_view name = SettingsText(account->accountName);
  if (name.empty()) {
    text += '(';
    text += SettingsText(account->popUser);
    text += ')';
  } else {
    text += name;
  }
  return text;
}

// The column text of a header line whose name (with colon) is `nameLength`
// bytes: lines shorter than `minLength` give the fallback; the value starts
// after the name and one optional space.
std::string HeaderColumn(std::string_view line, size_t nameLength, size_t minLength,
                         const std::string& fallback, const AccountSettings& account) {
  line = line.substr(0, kMaxHeaderLine);
  if (line.size() < minLength) return fallback;
  size_t start = line[nameLength] == ' ' ? nameLength + 1 : nameLength;
  std::string text = DisplayHeaderValue(line.substr(start), account);
  SanitizeLogField(text);
  return text.empty() ? fallback : text;
}

bool IsErrorOrStartupCode(Category code) {
  return code == Category::Information || code == Category::ServerNotice ||
         code == Category::ServerReply || code == Category::Refused550 ||
         code == Category::Refused552;
}

// A forwarded message of an account that deletes as spam eraser shows as deleted spam.
bool ShownAsForwarded(Category code) {
  return code == Category::Forwarded || code == Category::ForwardedWithoutAttachments ||
         code == Category::ForwardedToPhone;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

ActivityLog::ActivityLog(Reporter& reporter, const CommonSettings& common,
                         std::string forwardingLogPath, std::string sessionLogPath)
    : reporter_(reporter),
      common_(common),
      forwardingLogPath_(std::move(forwardingLogPath)),
      sessionLogPath_(std::move(sessionLogPath)) {}

int ActivityLog::rowCount() const {
  std::lock_guard lock(rowMutex_);
  return rowCounter_;
}

void ActivityLog::BeginRowLocked() {
  if (rowCounter_ < kRowLimit) return;
  reporter_.ActivityCleared();
  rowCounter_ = 0;
  AddActivityLocked(SJIS(u8"ログが3000を越えたため、ウィンドウ上のリストをクリアしました。"),
                    Category::Information, nullptr);
}

void ActivityLog::AppendForwardingLogLocked(const std::string& line) {
  ++forwardingLogLines_;
  platform::FilePtr file =
      platform::OpenFileWithRetry(forwardingLogPath_, "ab", openAttempts_, openDelayMs_);
  // The row is still shown; the caller learns that its record is missing.
  const bool written = file && std::fwrite(line.data(), 1, line.size(), file.get()) == line.size() &&
                       std::fflush(file.get()) == 0;
  if (!written) forwardingLogFailed_ = true;
}

long ActivityLog::forwardingLogLines() const {
  std::lock_guard lock(rowMutex_);
  return forwardingLogLines_;
}

bool ActivityLog::TakeForwardingLogFailure() {
  std::lock_guard lock(rowMutex_);
  return std::exchange(forwardingLogFailed_, false);
}

void ActivityLog::AddActivity(std::string_view text, Category code, const AccountSettings* account) {
  std::lock_guard lock(rowMutex_);
  AddActivityLocked(text, code, account);
}

void ActivityLog::AddActivityLocked(std::string_view text, Category code,
                                    const AccountSettings* account) {
  BeginRowLocked();
  const std::string time = FormatListTime();
  const std::string accountText = AccountColumn(account);
  const std::string cleanText = SanitizedLogField(text);

  ActivityRow row;
  row.row = rowCounter_++;
  row.code = CategoryNumber(code);
  row.columns = {"Info", accountText, time, cleanText, "(Velnora System)", " "};

  const bool toFile = !(common_.noHistoryForDuplicates && code == Category::Duplicate) &&
                      !(common_.noHistoryForErrors && IsErrorOrStartupCode(code));
  if (toFile) {
    std::string line = "V1;" + std::to_string(CategoryNumber(code)) + ";Info;" + time + ";" + cleanText +
                       ";(Velnora System); ; ;" + SanitizedLogField(accountText) + ";\n";
    AppendForwardingLogLocked(line);
  }
  reporter_.ActivityAdded(row);
}

void ActivityLog::AddMessageActivity(const MessageActivity& message,
                                     const AccountSettings& account) {
  std::lock_guard lock(rowMutex_);
  BeginRowLocked();

  Category category = message.resultCode;
  if (ShownAsForwarded(category) && account.deleteAfterForward && account.spamEraser) {
    category = Category::SpamDeleted;
  }

  char sizeText[48];
  if (message.statCount >= 0) {
    std::snprintf(sizeText, sizeof sizeText, "%ld(%d)", message.fileSize, message.statCount);
  } else {
    std::snprintf(sizeText, sizeof sizeText, "%ld(----)", message.fileSize);
  }
  const std::string time = FormatListTime();
  static const std::string noSubject = "(No Subject)";
  static const std::string none = "(none)";

  ActivityRow row;
  row.row = rowCounter_++;
  row.code = CategoryNumber(category);
  row.columns[0] = sizeText;
  row.columns[1] = AccountColumn(&account);
  row.columns[2] = time;
  row.columns[3] = HeaderColumn(message.subject, 8, 9, noSubject, account);
  row.columns[4] = HeaderColumn(message.from, 5, 7, none, account);
  row.columns[5] = HeaderColumn(message.to, 3, 5, none, account);

  if (!(common_.noHistoryForDuplicates && category == Category::Duplicate)) {
    std::string line = "V1;" + std::to_string(CategoryNumber(category)) + ";" + row.columns[0] + ";" + time +
                       ";" + row.columns[3] + ";" + row.columns[4] + ";" + row.columns[5] +
                       ";" + MessageKey(message.messageId, message.date, message.subject,
                                        message.from) +
                       ";" + SanitizedLogField(AccountLabel(account)) + ";\n";
    AppendForwardingLogLocked(line);
  }
  reporter_.ActivityAdded(row);
}

std::unique_lock<std::mutex> ActivityLog::HoldForwardingLog() {
  return std::unique_lock<std::mutex>(rowMutex_);
}

bool ActivityLog::SyncForwardingLog() {
  std::lock_guard lock(rowMutex_);
  platform::FilePtr file =
      platform::OpenFileWithRetry(forwardingLogPath_, "ab", openAttempts_, openDelayMs_);
  return file && platform::FlushToDisk(file.get());
}

void ActivityLog::SetStatus(std::string_view text, StatusIcon icon) {
  reporter_.StatusChanged(text, static_cast<int>(icon));
}

void ActivityLog::WriteTaggedSessionLog(std::string_view tag, std::string_view text) {
  std::vector<std::string> lines;
  {
    std::lock_guard lock(pendingMutex_);
    auto pending = pendingLines_.find(tag);
    if (pending == pendingLines_.end()) pending = pendingLines_.emplace(std::string(tag), std::string()).first;
    std::string& open = pending->second;
    open.append(text);
    std::size_t start = 0;
    for (std::size_t end = open.find('\n'); end != std::string::npos; end = open.find('\n', start)) {
      lines.push_back(std::string(tag) + open.substr(start, end + 1 - start));
      start = end + 1;
    }
    open.erase(0, start);
    // A text that never ends its line is written as it stands, not hoarded.
    if (open.size() >= kMaxSessionText / 2) {
      lines.push_back(std::string(tag) + open);
      open.clear();
    }
  }
  for (const std::string& line : lines) WriteSessionLog(line);
}

void ActivityLog::WriteSessionLog(std::string_view text) {
  if (text.starts_with("####:") || text.size() >= kMaxSessionText) return;
  bool renamed = false;
  {
    std::lock_guard lock(sessionMutex_);
    if (text == previousSessionText_) return;
    previousSessionText_.assign(text);
    if (!common_.sessionLog) return;

    if (sessionWriteCounter_ == kSessionLogCheckAt &&
        platform::FileSize(sessionLogPath_) > kSessionLogRenameSize) {
      const std::string aside = platform::JoinPath(FolderOf(sessionLogPath_), kSessionLogRenamedName);
      platform::RemoveFile(aside);
      platform::SleepMs(100);
      renamed = platform::RenameFile(sessionLogPath_, aside);
    }
    sessionWriteCounter_ = (sessionWriteCounter_ + 1) % kSessionLogCheckCycle;

    if (platform::FilePtr file = platform::OpenFile(sessionLogPath_, "ab")) {
      std::fwrite(text.data(), 1, text.size(), file.get());
    }
    reporter_.SessionLogWritten(text);
  }
  if (renamed) AddActivity(SJIS(u8"通信ログファイルをリネームして待避しました。"), Category::Information, nullptr);
}

}  // namespace velnora
