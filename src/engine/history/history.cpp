#include "engine/history/history.h"

#include <charconv>
#include <cstdio>
#include <new>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "engine/forward/fwd_proc.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "report/activity_log.h"
#include "report/log_fields.h"

namespace velnora {
namespace {

constexpr int kOpenAttempts = 10;
constexpr int kOpenDelayMs = 1000;

enum class ReadResult { Read, Unavailable, NoMemory };

ReadResult ReadWholeFile(const std::string& path, std::string& out,
                         const std::atomic<bool>* stop) {
  platform::FilePtr file =
      platform::OpenFileWithRetry(path, "rb", kOpenAttempts, kOpenDelayMs, stop);
  if (!file) return ReadResult::Unavailable;
  const int64_t size = platform::FileSize(path);
  try {
    out.clear();
    if (size > 0) out.reserve(static_cast<size_t>(size));
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) out.append(chunk, n);
  } catch (const std::bad_alloc&) {
    out.clear();
    out.shrink_to_fit();
    return ReadResult::NoMemory;
  }
  return ReadResult::Read;
}

// The `wanted`-th (1-based) non-empty ";"-separated field of `line`.
std::string_view NonEmptyField(std::string_view line, int wanted) {
  int count = 0;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(';', start);
    if (end == std::string_view::npos) end = line.size();
    if (end > start && ++count == wanted) return line.substr(start, end - start);
    start = end + 1;
  }
  return {};
}

// The key of a message without Message-ID, Date, Subject and From (or
// whose lines do not fit): every such message would share it.
constexpr std::string_view kEmptySyntheticKey = "VNRID-";

// Whether a record's category says the message went out (or, with a
// permanent refusal, is settled): a spam-eraser account records its
// forwarded messages as deleted spam.
bool RecordsForwarding(std::string_view category) {
  int code = 0;
  const auto [end, error] = std::from_chars(category.data(), category.data() + category.size(), code);
  if (error != std::errc() || end != category.data() + category.size()) return false;
  const auto recorded = static_cast<Category>(code);  // any number: unknown ones are not deletable
  return recorded == Category::SpamDeleted || IsDeletableResult(recorded, false);
}

}  // namespace

std::string MessageKeyOf(const MailMessage& message) {
  return MessageKey(message.messageId, message.date, message.subject, message.from);
}

HistoryMatch FindInHistory(std::string_view history, std::string_view key, std::string_view label,
                           bool allAccounts) {
  const std::string ownLabel = SanitizedLogField(label);
  HistoryMatch match;
  size_t start = 0;
  while (start < history.size() && !match.forwardedHere) {
    size_t end = history.find('\n', start);
    if (end == std::string_view::npos) end = history.size();
    const std::string_view line = history.substr(start, end - start);
    start = end + 1;

    const std::string_view account = NonEmptyField(line, 9);
    if (account.empty()) continue;
    const bool own = account == ownLabel;
    if (!allAccounts && !own) continue;
    const std::string_view recorded = NonEmptyField(line, 8);
    if (recorded.empty() || recorded == " " || recorded != key) continue;
    match.found = true;
    match.forwardedHere = own && RecordsForwarding(NonEmptyField(line, 2));
  }
  return match;
}

bool IsAlreadyForwarded(const MailMessage& message, const AccountSettings& account,
                        const CommonSettings& common, ActivityLog& log,
                        const std::atomic<bool>* stop, bool* forwardedHere) {
  if (forwardedHere) *forwardedHere = false;
  if (!common.preventDuplicates || account.noDuplicateCheck) return false;
  const std::string& path = log.forwardingLogPath();
  if (platform::FileSize(path) <= 0) return false;

  const std::string key = MessageKeyOf(message);
  if (key == kEmptySyntheticKey) return false;
  std::string history;
  switch (ReadWholeFile(path, history, stop)) {
    case ReadResult::Unavailable:
      return false;
    case ReadResult::NoMemory:
      log.AddActivity(
          SJIS(u8"履歴が多すぎて処理できません。履歴ログをビューアーで削除してください。"),
          Category::ServerNotice, &account);
      return false;
    case ReadResult::Read:
      break;
  }
  const HistoryMatch match =
      FindInHistory(history, key, AccountLabel(account), common.duplicateCheckAllAccounts);
  if (forwardedHere) *forwardedHere = match.forwardedHere;
  return match.found;
}

bool RemoveAccountHistory(const AccountSettings& account, ActivityLog& log) {
  const std::string& path = log.forwardingLogPath();
  if (platform::FileSize(path) <= 0) return !platform::FileExists(path) || platform::FileSize(path) == 0;
  const std::string label = SanitizedLogField(AccountLabel(account));
  auto hold = log.HoldForwardingLog();
  std::string history;
  if (ReadWholeFile(path, history, nullptr) != ReadResult::Read) return false;
  std::string kept;
  kept.reserve(history.size());
  for (size_t start = 0; start < history.size();) {
    size_t end = history.find('\n', start);
    end = end == std::string::npos ? history.size() : end + 1;
    const std::string_view line = std::string_view(history).substr(start, end - start);
    if (NonEmptyField(line, 9) != label) kept.append(line);
    start = end;
  }
  if (kept.size() == history.size()) return true;
  platform::ReplaceFileWriter writer(path);
  return writer.Write(kept) && writer.Commit();
}

int TrimHistory(const CommonSettings& common, ActivityLog& log, const std::atomic<bool>* stop) {
  const std::string& path = log.forwardingLogPath();
  if (!common.trimHistory || platform::FileSize(path) <= 0) return -1;

  int kept = -1;
  {
    // No row may be appended between reading the log and replacing it.
    auto hold = log.HoldForwardingLog();
    std::string history;
    if (ReadWholeFile(path, history, stop) != ReadResult::Read) return -1;

    int64_t lines = 0;
    for (char c : history) lines += c == '\n';
    if (lines <= common.historyLimit) return -1;

    const int64_t keep = lines / 2;
    size_t cut = 0;  // just after the LF that ends line (lines - keep)
    for (int64_t seen = 0; seen < lines - keep; ++seen) cut = history.find('\n', cut) + 1;

    platform::ReplaceFileWriter writer(path);
    if (!writer.Write(std::string_view(history).substr(cut)) || !writer.Commit()) return -1;
    kept = static_cast<int>(keep);
  }
  log.AddActivity(SJIS(u8"古い履歴の半分を自動的に削除しました。残りの履歴数 : ") +
                      std::to_string(kept),
                  Category::Information, nullptr);
  return kept;
}

}  // namespace velnora
