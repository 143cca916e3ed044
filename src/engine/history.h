// Duplicate prevention against the forwarding log, and the trimming of an
// over-long log before a pass.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "engine/mail_message.h"

namespace velnora {

struct AccountSettings;
struct CommonSettings;
class ActivityLog;

// The key under which the activity list records `message`.
std::string MessageKeyOf(const MailMessage& message);

// Whether a forwarding-log text holds a record of `key`: the eighth
// non-empty field of a line equals the key (a lone space never matches), and
// the ninth is `label` unless `allAccounts` is set.
bool HistoryHoldsKey(std::string_view history, std::string_view key, std::string_view label,
                     bool allAccounts);

// True when duplicate prevention applies and the forwarding log already holds
// the message (it is then kept back with code 5). A log that cannot be read
// lets the message through.
bool IsAlreadyForwarded(const MailMessage& message, const AccountSettings& account,
                        const CommonSettings& common, ActivityLog& log,
                        const std::atomic<bool>* stop = nullptr);

// With trimHistory on and more than historyLimit lines in the forwarding log,
// keeps its newer half. The kept part is written beside the log and renamed
// over it, so an interruption leaves the old log whole. Returns the number
// of lines kept, or -1 when nothing was trimmed.
int TrimHistory(const CommonSettings& common, ActivityLog& log,
                const std::atomic<bool>* stop = nullptr);

}  // namespace velnora
