#include "runtime/gregorian_calendar.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "runtime/wall_clock.h"

namespace quillmar::runtime {
namespace {

TEST(GregorianCalendarTest, DatesAreStrictProlepticAndZoned) {
    const GregorianCalendar utc("UTC");
    EXPECT_EQ(utc.date(1970, 1, 1, 0), 0.0);
    EXPECT_EQ(utc.date(2024, 2, 29, 12, 30, 15), 1709209815.0);
    EXPECT_FALSE(utc.date(2023, 2, 29, 12));  // not a leap year
    EXPECT_FALSE(utc.date(2024, 4, 31, 0));
    EXPECT_FALSE(utc.date(2024, 1, 1, 0, 60));
    EXPECT_FALSE(utc.date(2000000, 1, 1, 0));
    // No Julian switch-over: 1582-10-10 exists and is a Sunday.
    const auto before = utc.date(1582, 10, 10, 12);
    ASSERT_TRUE(before);
    EXPECT_EQ(utc.components(*before)->weekday, 1);
    // An unknown zone reads as UTC; a real one shifts the civil day.
    EXPECT_EQ(GregorianCalendar("Not/AZone").date(2024, 6, 1, 0), utc.date(2024, 6, 1, 0));
    const auto c = GregorianCalendar("Asia/Tokyo").components(*utc.date(2024, 6, 1, 20));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->day, 2);
    EXPECT_EQ(c->hour, 5);
}

TEST(GregorianCalendarTest, WallClockReadsThroughTheCalendar) {
    CivilDateTime c;
    c.year = 2024;
    c.month = 3;
    c.day = 31;
    c.hour = 2;
    c.minute = 30;
    c.second = 12.25;
    EXPECT_FALSE(WallClock::instant(c, "Europe/Berlin"));  // skipped by the spring-forward change
    const auto utc = WallClock::instant(c, "UTC");
    ASSERT_TRUE(utc);
    const CivilDateTime back = WallClock::civil(*utc, "UTC");
    EXPECT_TRUE(back.sameDay(c));
    EXPECT_EQ(back.minute, 30);
    EXPECT_DOUBLE_EQ(back.second, 12.25);
    c.second = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(WallClock::instant(c, "UTC"));
    // A non-finite instant has no day: the epoch's civil fields stand in.
    EXPECT_TRUE(WallClock::civil(INFINITY, "UTC").sameDay(CivilDateTime{}));
    EXPECT_GT(WallClock::civil(1e300, "UTC").year, 3000000);
}

}  // namespace
}  // namespace quillmar::runtime
