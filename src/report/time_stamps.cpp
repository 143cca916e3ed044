#include "report/time_stamps.h"

#include <cstdio>

namespace velnora {

std::string FormatListTime(const platform::CalendarTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d", t.year % 100, t.month, t.day,
                t.hour, t.minute);
  return text;
}

std::string FormatListTime() { return FormatListTime(platform::LocalNow()); }

std::string FormatClockTime(const platform::CalendarTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, " %02d:%02d:%02d ", t.hour, t.minute, t.second);
  return text;
}

std::string FormatClockTime() { return FormatClockTime(platform::LocalNow()); }

}  // namespace velnora
