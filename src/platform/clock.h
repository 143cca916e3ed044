// Clocks: a monotonic millisecond tick for time-outs and the watchdog, the
// local and UTC calendar time, and the standard time-zone bias.
#pragma once

#include <atomic>
#include <cstdint>

namespace velnora::platform {

// Milliseconds from a monotonic clock; never goes backwards.
int64_t TickMs();

struct CalendarTime {
  int year = 0;    // e.g. 2026
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int weekday = 0;  // 0 = Sunday .. 6 = Saturday
};

CalendarTime LocalNow();
CalendarTime UtcNow();

// The standard bias B in minutes, UTC = local + B, without daylight saving
// (Japan: -540).
int StandardBiasMinutes();

// Sleeps `ms`; with `stop` given, wakes within 50 ms of it being set and
// returns false then.
bool SleepMs(int64_t ms, const std::atomic<bool>* stop = nullptr);

}  // namespace velnora::platform
