// Duplicate prevention against the forwarding log, and the trimming of an
// over-long log before a pass.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "engine/message/mail_message.h"

namespace velnora {

struct AccountSettings;
struct CommonSettings;
class ActivityLog;

// The key under which the activity list records `message`.
std::string MessageKeyOf(const MailMessage& message);

// What a forwarding-log text says of a message key.
struct HistoryMatch {
  bool found = false;          // a record that stops the message as a duplicate
  bool forwardedHere = false;  // a record of `label` whose outcome forwarded it
};

// Looks for records of `key`: the eighth non-empty field of a line equals
// the key (a lone space never matches), and the ninth is `label` unless
// `allAccounts` is set. `label` is compared as the log stores it (sanitised).
HistoryMatch FindInHistory(std::string_view history, std::string_view key, std::string_view label,
                           bool allAccounts);
inline bool HistoryHoldsKey(std::string_view history, std::string_view key, std::string_view label,
                            bool allAccounts) {
  return FindInHistory(history, key, label, allAccounts).found;
}

// True when duplicate prevention applies and the forwarding log already holds
// the message (it is then kept back with code 5). A log that cannot be read
// lets the message through, and so does a message without Message-ID, Date,
// Subject and From: its key says nothing about it. `forwardedHere`, when
// given, tells whether this account's own record shows it forwarded (its
// server copy may then go like a forwarded one).
bool IsAlreadyForwarded(const MailMessage& message, const AccountSettings& account,
                        const CommonSettings& common, ActivityLog& log,
                        const std::atomic<bool>* stop = nullptr, bool* forwardedHere = nullptr);

// Removes the records of `account` from the forwarding log: those whose
// ninth field is exactly its label (another account's name that merely
// ends the same stays). The log is rewritten whole beside itself. False
// when the log is there but could not be read or rewritten (it is then
// unchanged); true also when there is no log.
bool RemoveAccountHistory(const AccountSettings& account, ActivityLog& log);

// With trimHistory on and more than historyLimit lines in the forwarding log,
// keeps its newer half. The kept part is written beside the log and renamed
// over it, so an interruption leaves the old log whole. Returns the number
// of lines kept, or -1 when nothing was trimmed.
int TrimHistory(const CommonSettings& common, ActivityLog& log,
                const std::atomic<bool>* stop = nullptr);

}  // namespace velnora
