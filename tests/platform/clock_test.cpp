#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "support/temp_folder.h"

namespace velnora::platform {
namespace {

TEST(Clock, StandardBiasIgnoresDaylightSaving) {
  {
    testing::ScopedEnv tz("TZ", "Asia/Tokyo");
    EXPECT_EQ(StandardBiasMinutes(), -540);
  }
  {
    // New York in July is on daylight time; the standard bias is still +300.
    testing::ScopedEnv tz("TZ", "America/New_York");
    EXPECT_EQ(StandardBiasMinutes(), 300);
  }
  tzset();
}

TEST(Clock, LocalAndUtcDifferByTheZone) {
  testing::ScopedEnv tz("TZ", "Asia/Tokyo");
  tzset();
  CalendarTime local = LocalNow();
  CalendarTime utc = UtcNow();
  int diff = (local.hour - utc.hour + 24) % 24;
  EXPECT_EQ(diff, 9);
  EXPECT_GE(local.month, 1);
  EXPECT_LE(local.month, 12);
}

TEST(Clock, SleepEndsEarlyOnStop) {
  std::atomic<bool> stop{false};
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
  });
  int64_t start = TickMs();
  EXPECT_FALSE(SleepMs(60000, &stop));
  setter.join();
  EXPECT_LT(TickMs() - start, 10000);
  EXPECT_TRUE(SleepMs(1));
}

}  // namespace
}  // namespace velnora::platform
