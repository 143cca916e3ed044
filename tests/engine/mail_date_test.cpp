#include "engine/compose/mail_date.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/temp_folder.h"

namespace velnora {
namespace {

using platform::CalendarTime;

CalendarTime At(int year, int month, int day, int hour, int minute, int second, int weekday) {
  CalendarTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.weekday = weekday;
  return t;
}

struct DateCase {
  int style;
  std::optional<int> bias;
  const char* expected;
};

class MailDateStyleTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(MailDateStyleTest, FormatsTheClockValues) {
  const CalendarTime local = At(2026, 8, 31, 19, 5, 9, 1);  // Monday
  const CalendarTime utc = At(2026, 8, 31, 10, 5, 9, 1);
  EXPECT_EQ(FormatMailDate(GetParam().style, local, utc, GetParam().bias), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MailDateStyleTest,
    ::testing::Values(DateCase{1, -540, "Mon, 31 Aug 2026 19:05:09 +0900"},
                      DateCase{1, 300, "Mon, 31 Aug 2026 19:05:09 -0500"},
                      DateCase{1, -330, "Mon, 31 Aug 2026 19:05:09 +0530"},
                      DateCase{1, 0, "Mon, 31 Aug 2026 19:05:09 +0000"},
                      DateCase{1, std::nullopt, "Mon, 31 Aug 2026 10:05:09 +0000"},
                      DateCase{2, -540, "Mon, 31 Aug 2026 10:05:09 +0000"},
                      DateCase{3, -540, "260831-100509"},
                      DateCase{0, -540, "26/08/31 19:05.09 | "},
                      DateCase{7, -540, "26/08/31 19:05.09 | "}));

TEST(MailDateTest, OutOfRangeClockValuesStayPrintable) {
  const CalendarTime odd = At(2126, 13, 31, 25, 61, 60, 9);
  EXPECT_EQ(FormatMailDate(2, odd, odd, -540), "Sun, 31 Jan 2026 01:01:00 +0000");
  EXPECT_EQ(FormatMailDate(3, odd, odd, -540), "260131-010100");
}

struct ZoneCase {
  const char* tz;
  const char* suffix;
};

class MailDateZoneTest : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(MailDateZoneTest, LocalStyleCarriesTheStandardZone) {
  testing::ScopedEnv tz("TZ", GetParam().tz);
  const std::string date = FormatMailDate(1);
  EXPECT_TRUE(std::regex_match(
      date, std::regex(R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat), \d\d [A-Z][a-z][a-z] 20\d\d \d\d:\d\d:\d\d )" +
                       std::string(GetParam().suffix))))
      << date;
}

// Daylight saving is not added: New York is -0500 in summer too.
INSTANTIATE_TEST_SUITE_P(Zones, MailDateZoneTest,
                         ::testing::Values(ZoneCase{"JST-9", "\\+0900"},
                                           ZoneCase{"EST5EDT,M3.2.0,M11.1.0", "-0500"},
                                           ZoneCase{"UTC0", "\\+0000"}));

TEST(TimeStampTest, ListAndClockStamps) {
  const CalendarTime t = At(2026, 12, 8, 9, 5, 7, 2);
  EXPECT_EQ(FormatListTime(t), "26/12/08 09:05");
  EXPECT_EQ(FormatClockTime(t), " 09:05:07 ");
}

}  // namespace
}  // namespace velnora
