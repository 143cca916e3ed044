#include "engine/forward/schedule.h"

namespace velnora {

bool IsScheduledNow(const AccountSettings& account, const platform::CalendarTime& localNow) {
  if (!account.useSchedule || account.scheduleDropArrivals) return true;
  // Masks run Monday first; the calendar counts from Sunday.
  int day = (localNow.weekday + 6) % 7;
  int hour = localNow.hour;
  if (hour < 0 || hour > 23) return true;
  int32_t mask = account.scheduleStops[day];
  return (static_cast<uint32_t>(mask) & (1u << (23 - hour))) == 0;
}

bool IsAccountComplete(const AccountSettings& account) {
  bool popReady = account.popServer[0] && account.myAddress[0] && account.popUser[0];
  if (IsSpamEraser(account)) return popReady;
  return popReady && account.smtpServer[0] && account.forwardTo[0];
}

}  // namespace velnora
