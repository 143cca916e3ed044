// Date texts written into forwarded mail: the RFC 822 date of Resent-Date
// and notices, the compact stamp inside Resent-Message-ID, and the stamp of
// captured server replies.
#pragma once

#include <optional>
#include <string>

#include "platform/clock.h"
#include "report/time_stamps.h"

namespace velnora {

enum MailDateStyle {
  kMailDateLocal = 1,    // "Tue, 08 Dec 2026 19:05:09 +0900", local time and standard zone
  kMailDateUtc = 2,      // "Tue, 08 Dec 2026 10:05:09 +0000"
  kMailDateCompact = 3,  // "261208-100509", UTC
  kMailDateCapture = 0,  // "26/12/08 19:05.09 | ", local time (any other value too)
};

// `standardBiasMinutes` is B in UTC = local + B without daylight saving;
// without it style 1 falls back to style 2.
std::string FormatMailDate(int style, const platform::CalendarTime& local,
                           const platform::CalendarTime& utc,
                           std::optional<int> standardBiasMinutes);

// The same from the system clock and time zone.
std::string FormatMailDate(int style);

}  // namespace velnora
