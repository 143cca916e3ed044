#include "platform/clock.h"

#include <sys/time.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace velnora::platform {
namespace {

CalendarTime FromTm(const std::tm& t, int millis) {
  CalendarTime c;
  c.year = t.tm_year + 1900;
  c.month = t.tm_mon + 1;
  c.day = t.tm_mday;
  c.hour = t.tm_hour;
  c.minute = t.tm_min;
  c.second = t.tm_sec;
  c.millisecond = millis;
  c.weekday = t.tm_wday;
  return c;
}

}  // namespace

int64_t TickMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CalendarTime LocalNow() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm t{};
  time_t secs = tv.tv_sec;
  localtime_r(&secs, &t);
  return FromTm(t, static_cast<int>(tv.tv_usec / 1000));
}

CalendarTime UtcNow() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm t{};
  time_t secs = tv.tv_sec;
  gmtime_r(&secs, &t);
  return FromTm(t, static_cast<int>(tv.tv_usec / 1000));
}

int StandardBiasMinutes() {
  // tzset() rewrites process-wide zone data and `timezone`: checks running
  // side by side read it one at a time.
  static std::mutex zoneMutex;
  std::lock_guard lock(zoneMutex);
  tzset();
  // `timezone` is seconds west of UTC for standard time.
  return static_cast<int>(timezone / 60);
}

bool SleepMs(int64_t ms, const std::atomic<bool>* stop) {
  const int64_t end = TickMs() + ms;
  for (;;) {
    if (stop && stop->load()) return false;
    int64_t left = end - TickMs();
    if (left <= 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(left, stop ? 50 : left)));
  }
}

}  // namespace velnora::platform
