#include "engine/compose/mail_date.h"

#include <cstdio>
#include <cstdlib>

namespace velnora {
namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Clock values brought into the printable ranges, so a faulty clock cannot
// index past the name tables or widen the fields.
platform::CalendarTime Normalised(platform::CalendarTime t) {
  t.year = ((t.year % 100) + 100) % 100;
  if (t.month < 1 || t.month > 12) t.month = 1;
  if (t.weekday < 0 || t.weekday > 6) t.weekday = 0;
  t.hour = ((t.hour % 24) + 24) % 24;
  t.minute = ((t.minute % 60) + 60) % 60;
  t.second = ((t.second % 60) + 60) % 60;
  return t;
}

std::string Rfc822(const platform::CalendarTime& t, const char* zone) {
  char text[80];
  std::snprintf(text, sizeof text, "%s, %02d %s 20%02d %02d:%02d:%02d %s", kDayNames[t.weekday],
                t.day, kMonthNames[t.month - 1], t.year, t.hour, t.minute, t.second, zone);
  return text;
}

}  // namespace

std::string FormatMailDate(int style, const platform::CalendarTime& localTime,
                           const platform::CalendarTime& utcTime,
                           std::optional<int> standardBiasMinutes) {
  const platform::CalendarTime local = Normalised(localTime);
  const platform::CalendarTime utc = Normalised(utcTime);
  char text[80];
  switch (style) {
    case kMailDateLocal:
      if (standardBiasMinutes) {
        const int bias = *standardBiasMinutes;
        const char sign = bias <= 0 ? '+' : '-';
        const int magnitude = std::abs(bias);
        char zone[16];
        std::snprintf(zone, sizeof zone, "%c%02d%02d", sign, magnitude / 60 % 100,
                      magnitude % 60);
        return Rfc822(local, zone);
      }
      return Rfc822(utc, "+0000");
    case kMailDateUtc:
      return Rfc822(utc, "+0000");
    case kMailDateCompact:
      std::snprintf(text, sizeof text, "%02d%02d%02d-%02d%02d%02d", utc.year, utc.month, utc.day,
                    utc.hour, utc.minute, utc.second);
      return text;
    default:
      std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d.%02d | ", local.year,
                    local.month, local.day, local.hour, local.minute, local.second);
      return text;
  }
}

std::string FormatMailDate(int style) {
  // The zone is read first: it also brings the time-zone settings up to date.
  const int bias = platform::StandardBiasMinutes();
  const platform::CalendarTime local = platform::LocalNow();
  return FormatMailDate(style, local, platform::UtcNow(), bias);
}

}  // namespace velnora
