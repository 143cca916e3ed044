// The decision whether a received message is forwarded: remote control,
// schedule, exemptions, duplicates, returned mail, bounces, the account's
// filtering conditions under its filter mode and the spam switches; then the
// first classification of the content of a message that passes.
#pragma once

#include <atomic>

#include "config/settings_image.h"
#include "engine/context.h"
#include "engine/message/mail_message.h"
#include "platform/clock.h"
#include "report/activity_log.h"

namespace velnora {

// What the filter stage reads and writes besides the message.
struct FilterScope {
  SettingsImage& settings;
  ActivityLog& log;
  platform::CalendarTime localNow;           // for the schedule
  const std::atomic<bool>* stop = nullptr;   // ends waits for the forwarding log
  // Set while checks run side by side: remote commands for other accounts wait here.
  DeferredSuspensions* deferred = nullptr;
};

// The sender is on the always-forward list, or the message is a read
// receipt that the account forwards: every check and condition is skipped.
bool AlwaysForward(const MailMessage& message, const AccountSettings& account);
bool ForwardReadReceipt(const MailMessage& message, const AccountSettings& account);

// The filtering conditions under the account's filter mode, spam switches
// included: true to go on; false with resultCode set.
bool PassesFilterMode(MailMessage& message, const AccountSettings& account);

// Non-zero when the message is to be forwarded; resultCode says why not (or
// 19 for a remote command to be answered with the status report).
int MailFilterProc(FilterScope& scope, MailMessage& message, int accountIndex);

inline int MailFilterProc(Context& ctx, MailMessage& message, int accountIndex) {
  FilterScope scope{*ctx.settings, *ctx.log, platform::LocalNow(),
                    &ctx.worker.flags.stopRequested,
                    ctx.sideBySide ? &ctx.deferredSuspensions : nullptr};
  return MailFilterProc(scope, message, accountIndex);
}

}  // namespace velnora
