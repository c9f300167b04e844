// The lunar calendars against published dates: the Chinese new year and moon festival from the
// official tables (where ICU's own astronomy is a day off), and Seollal on Korea's calendar.

#include "festive_hud/chinese_lunar_calendar.h"

#include <gtest/gtest.h>

#include "festive_hud/festive_calendar.h"
#include "festive_test_support.h"
#include "support/fresh_world.h"
#include "runtime/wall_clock.h"

namespace quillmar::testing {
namespace {

struct Day {
    int year, month, day;
};

double noonIn(const Day& d, const std::string& zone) {
    return runtime::WallClock::instant({d.year, d.month, d.day, 12, 0, 0}, zone).value();
}

bool isNewYear(const std::optional<LunarDate>& l) { return l && l->month == 1 && l->day == 1 && !l->isLeapMonth; }

class LunarCalendarTest : public FreshWorldTest {
protected:
    ChineseLunarCalendar calendar;
};

TEST_F(LunarCalendarTest, ChineseFestivalsFallOnThePublishedDays) {
    // Published dates of the Spring Festival, including the years where the new moon falls
    // minutes from midnight in China (1954, 2027, 2030).
    const Day newYears[] = {{1950, 2, 17}, {1954, 2, 3},  {1960, 1, 28}, {1970, 2, 6},  {1980, 2, 16},
                            {1985, 2, 20}, {1990, 1, 27}, {1995, 1, 31}, {2000, 2, 5},  {2010, 2, 14},
                            {2015, 2, 19}, {2020, 1, 25}, {2021, 2, 12}, {2022, 2, 1},  {2023, 1, 22},
                            {2024, 2, 10}, {2025, 1, 29}, {2026, 2, 17}, {2027, 2, 6},  {2028, 1, 26},
                            {2029, 2, 13}, {2030, 2, 3},  {2031, 1, 23}, {2033, 1, 31}, {2050, 1, 23}};
    for (const auto& d : newYears) {
        EXPECT_TRUE(isNewYear(calendar.lunarDate(noonIn(d, "Asia/Shanghai"), "Asia/Shanghai")))
            << d.year << "-" << d.month << "-" << d.day;
        const Day eve{d.year, d.month, d.day - 1};
        if (eve.day > 0) {
            EXPECT_FALSE(isNewYear(calendar.lunarDate(noonIn(eve, "Asia/Shanghai"), "Asia/Shanghai")));
        }
    }
    const Day moonFestivals[] = {{1995, 9, 9}, {2023, 9, 29}, {2024, 9, 17}, {2025, 10, 6}, {2026, 9, 25}};
    for (const auto& d : moonFestivals) {
        const auto l = calendar.lunarDate(noonIn(d, "Asia/Shanghai"), "Asia/Shanghai");
        ASSERT_TRUE(l);
        EXPECT_EQ(*l, (LunarDate{8, 15, false})) << d.year;
    }
    // 1995 had a leap eighth month: its fifteenth day is no festival.
    EXPECT_EQ(calendar.lunarDate(noonIn({1995, 10, 9}, "Asia/Shanghai"), "Asia/Shanghai"), (LunarDate{8, 15, true}));
}

TEST_F(LunarCalendarTest, EveryYearFrom1950To2100HasOneNewYearAndOneMoonFestivalInItsSeason) {
    for (int year = 1950; year <= 2100; ++year) {
        int newYears = 0, moons = 0;
        for (int offset = 0; offset < 46; ++offset) {  // January 15 to March 1
            const double t = noonIn({year, 1, 15}, "UTC") + offset * 86400.0;
            newYears += isNewYear(calendar.lunarDate(t, "UTC"));
        }
        for (int offset = 0; offset < 45; ++offset) {  // September 1 to October 15
            const double t = noonIn({year, 9, 1}, "UTC") + offset * 86400.0;
            const auto l = calendar.lunarDate(t, "UTC");
            moons += l && l->month == 8 && l->day == 15 && !l->isLeapMonth;
        }
        EXPECT_EQ(newYears, 1) << year;
        EXPECT_EQ(moons, 1) << year;
    }
}

// The five months where the library's table starts a month a day off the new moon in UTC+8:
// each month begins on its new moon's day, and the neighbour keeps or loses the day between.
TEST_F(LunarCalendarTest, CorrectedMonthsBeginOnTheirNewMoonInChina) {
    struct Start {
        Day first;
        LunarDate dayBefore;  // the last day of the month before
        int month;
        bool leap;
        Day nextMonth;  // the day the following month begins (unchanged by the correction)
    };
    const Start starts[] = {{{1933, 7, 23}, {5, 30, true}, 6, false, {1933, 8, 21}},
                            {{1954, 11, 25}, {10, 29, false}, 11, false, {1954, 12, 25}},
                            {{1956, 12, 2}, {10, 29, false}, 11, false, {1957, 1, 1}},
                            {{1978, 9, 3}, {7, 30, false}, 8, false, {1978, 10, 2}},
                            {{2060, 4, 30}, {3, 29, false}, 4, false, {2060, 5, 30}}};
    const auto at = [&](const Day& d) { return calendar.fromTable(d.year, d.month, d.day); };
    const auto shifted = [](const Day& d, int days) {
        const auto t = noonIn(d, "UTC") + days * 86400.0;
        const auto c = runtime::WallClock::civil(t, "UTC");
        return Day{c.year, c.month, c.day};
    };
    for (const auto& s : starts) {
        SCOPED_TRACE(s.first.year);
        EXPECT_EQ(at(s.first), (LunarDate{s.month, 1, s.leap}));
        EXPECT_EQ(at(shifted(s.first, -1)), s.dayBefore);
        EXPECT_EQ(at(shifted(s.first, 14)), (LunarDate{s.month, 15, s.leap}));
        EXPECT_EQ(at(shifted(s.nextMonth, -1))->month, s.month);
        EXPECT_EQ(at(s.nextMonth)->day, 1);
        EXPECT_NE(at(s.nextMonth)->month, s.month);
    }

    // 1978's moon festival was on September 17, and its moon window of the easter egg (eighth
    // month, days 8 to 17) ran from the 10th.
    runtime::World::install<LunarCalendar>(std::make_unique<ChineseLunarCalendar>());
    runtime::WallClock::shared().setTimeZone("Asia/Shanghai");
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::zhHans, noonIn({1978, 9, 17}, "Asia/Shanghai")), HUDFestiveTheme::midAutumn);
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::zhHans, noonIn({1978, 9, 16}, "Asia/Shanghai")), std::nullopt);
    EXPECT_EQ(calendar.lunarDate(noonIn({1978, 9, 10}, "Asia/Shanghai"), "Asia/Shanghai"), (LunarDate{8, 8, false}));
}

TEST_F(LunarCalendarTest, SeollalFollowsTheKoreanCalendar) {
    // Years where Korea's new year is a day after China's, and years where they agree.
    const std::pair<Day, Day> years[] = {{{1988, 2, 17}, {1988, 2, 18}},
                                         {{1997, 2, 7}, {1997, 2, 8}},
                                         {{2027, 2, 6}, {2027, 2, 7}},
                                         {{2024, 2, 10}, {2024, 2, 10}},
                                         {{2025, 1, 29}, {2025, 1, 29}}};
    for (const auto& [china, korea] : years) {
        EXPECT_TRUE(isNewYear(calendar.lunarDate(noonIn(china, "Asia/Shanghai"), "Asia/Shanghai"))) << china.year;
        EXPECT_TRUE(isNewYear(calendar.koreanLunarDate(noonIn(korea, "Asia/Seoul"), "Asia/Seoul"))) << korea.year;
    }

}

}  // namespace
}  // namespace quillmar::testing
