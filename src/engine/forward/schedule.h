// When an account may be forwarded, and whether it is configured enough to try.
#pragma once

#include "config/account_settings.h"
#include "platform/clock.h"

namespace velnora {

// True unless the schedule stops forwarding in the given local hour. With
// scheduleDropArrivals the account is checked anyway: the filters then drop
// what arrived in the stopped hours.
bool IsScheduledNow(const AccountSettings& account, const platform::CalendarTime& localNow);
inline bool IsScheduledNow(const AccountSettings& account) {
  return IsScheduledNow(account, platform::LocalNow());
}

// True when every field that forwarding needs is filled in (spam-eraser mode
// needs no SMTP side).
bool IsAccountComplete(const AccountSettings& account);

// Spam-eraser mode: nothing is forwarded, forwardable mail is deleted.
inline bool IsSpamEraser(const AccountSettings& account) {
  return account.deleteAfterForward && account.spamEraser;
}

}  // namespace velnora
