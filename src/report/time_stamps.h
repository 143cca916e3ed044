// The short local time stamps of the activity list and the session log.
#pragma once

#include <string>

#include "platform/clock.h"

namespace velnora {

// "yy/mm/dd hh:mm" (year modulo 100): the time column of the activity list
// and the forwarding log.
std::string FormatListTime(const platform::CalendarTime& t);
std::string FormatListTime();

// " hh:mm:ss " with a space on each side: the stamp of session-log lines.
std::string FormatClockTime(const platform::CalendarTime& t);
std::string FormatClockTime();

}  // namespace velnora
