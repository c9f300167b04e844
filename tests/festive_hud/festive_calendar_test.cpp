#include "festive_hud/festive_calendar.h"

#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "festive_test_support.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using testing::civilInstant;
using testing::FakeLunarCalendar;
using T = HUDFestiveTheme;
using Theme = std::optional<HUDFestiveTheme>;
constexpr std::nullopt_t none = std::nullopt;

class FestiveCalendarTest : public quillmar::testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        runtime::WallClock::shared().setTimeZone("Europe/Berlin");
    }
    static runtime::CivilDateTime civil(std::optional<double> date) {
        return runtime::WallClock::civil(date.value_or(0), runtime::WallClock::shared().timeZone());
    }
};

struct DayCase {
    int year, month, day;
    // en, ja, zh-Hans, zh-Hant, de, ko (the order of AppLanguage::allCases()).
    std::vector<Theme> expected;
};

// The system's Chinese calendar decides the lunar rows; reference dates are pinned.
TEST_F(FestiveCalendarTest, FestivalOfEachDayPerLanguageWithEve) {
    const std::vector<DayCase> cases = {
        {2025, 12, 25, {T::christmas, T::christmas, T::christmas, T::christmas, T::christmas, T::christmas}},
        {2025, 12, 24, {T::christmas, T::christmas, T::christmas, T::christmas, T::christmas, T::christmas}},
        {2025, 12, 31, {T::newYear, T::oshogatsu, none, none, T::newYear, T::seollal}},
        {2026, 1, 1, {T::newYear, T::oshogatsu, none, none, T::newYear, T::seollal}},
        {2025, 3, 16, {T::stPatricks, none, none, none, T::stPatricks, none}},
        {2025, 3, 17, {T::stPatricks, none, none, none, T::stPatricks, none}},
        {2025, 4, 19, {T::easter, none, none, none, T::easter, none}},  // Saturday before Easter
        {2025, 4, 20, {T::easter, none, none, none, T::easter, none}},
        {2025, 4, 21, {none, none, none, none, none, none}},
        {2025, 10, 30, {T::halloween, none, none, none, T::halloween, none}},
        {2025, 7, 3, {T::fireworks, none, none, none, none, none}},
        {2025, 7, 4, {T::fireworks, none, none, none, none, none}},
        {2025, 11, 26, {T::harvest, none, none, none, none, none}},  // eve of the fourth Thursday
        {2025, 11, 27, {T::harvest, none, none, none, none, none}},
        {2024, 2, 9, {none, none, T::lunarNewYear, T::lunarNewYear, none, T::seollal}},  // last day of the lunar year
        {2024, 2, 10, {none, none, T::lunarNewYear, T::lunarNewYear, none, T::seollal}},  // lunar 1/1
        {2025, 10, 5, {none, T::midAutumn, T::midAutumn, T::midAutumn, none, T::midAutumn}},  // lunar 8/14
        {2025, 10, 6, {none, T::midAutumn, T::midAutumn, T::midAutumn, none, T::midAutumn}},  // lunar 8/15
        {1995, 9, 9, {none, T::midAutumn, T::midAutumn, T::midAutumn, none, T::midAutumn}},  // 8/15 of 1995
        {1995, 10, 8, {none, none, none, none, none, none}},  // leap 8/14: its tomorrow is leap 8/15
        {1995, 10, 9, {none, none, none, none, none, none}},  // leap 8/15
        {2025, 6, 10, {none, none, none, none, none, none}},
    };
    const auto calendar = GregorianCalendar::current();
    for (const auto& c : cases) {
        const double date = civilInstant(c.year, c.month, c.day, 9);
        for (std::size_t i = 0; i < AppLanguage::allCases().size(); ++i) {
            const AppLanguage language = AppLanguage::allCases()[i];
            EXPECT_EQ(festiveThemeWithEve(language, date, calendar), c.expected[i])
                << c.year << "-" << c.month << "-" << c.day << " " << language.rawValue();
        }
    }
}

TEST_F(FestiveCalendarTest, MovableFeastsAtNoon) {
    const auto calendar = GregorianCalendar::current();
    struct Expect {
        int year, month, day;
    };
    for (const Expect e : {Expect{2024, 3, 31}, {2025, 4, 20}, {2026, 4, 5}, {2000, 4, 23}, {1818, 3, 22}, {2038, 4, 25}}) {
        const auto easter = easterSunday(e.year, calendar);
        ASSERT_TRUE(easter.has_value()) << e.year;
        const auto c = civil(easter);
        EXPECT_EQ(std::make_tuple(c.year, c.month, c.day, c.hour), std::make_tuple(e.year, e.month, e.day, 12));
    }
    // 2024: November 1 is a Friday; 2018: a Thursday, so the fourth is the 22nd.
    for (const Expect e : {Expect{2025, 11, 27}, {2026, 11, 26}, {2024, 11, 28}, {2018, 11, 22}}) {
        const auto thanksgiving = thanksgivingDay(e.year, calendar);
        ASSERT_TRUE(thanksgiving.has_value()) << e.year;
        const auto c = civil(thanksgiving);
        EXPECT_EQ(std::make_tuple(c.month, c.day, c.hour, c.weekday), std::make_tuple(11, e.day, 12, 5));
    }
    // Years the calendar cannot hold give no date rather than garbage.
    EXPECT_EQ(easterSunday(INT_MAX, calendar), std::nullopt);
    EXPECT_EQ(thanksgivingDay(INT_MIN, calendar), std::nullopt);
}

TEST_F(FestiveCalendarTest, DayIsTheLocalCivilDay) {
    // Late evening belongs to its own day; the noon move never spills into the next one.
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::en, civilInstant(2025, 10, 31, 23, 59)), T::halloween);
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::en, civilInstant(2025, 11, 1, 0, 1)), none);
    EXPECT_TRUE(isChristmasPerimeterDay(civilInstant(2025, 12, 24, 0, 0)));
    EXPECT_TRUE(isChristmasPerimeterDay(civilInstant(2025, 12, 25, 23, 59)));
    EXPECT_FALSE(isChristmasPerimeterDay(civilInstant(2025, 12, 26, 0, 1)));
    EXPECT_FALSE(isChristmasPerimeterDay(civilInstant(2025, 12, 23, 23, 59)));

    // One instant, two zones: 20:00 on July 4 in New York is already July 5 in Berlin.
    runtime::WallClock::shared().setTimeZone("America/New_York");
    const double evening = civilInstant(2025, 7, 4, 20);
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::en, evening), T::fireworks);
    runtime::WallClock::shared().setTimeZone("Europe/Berlin");
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::en, evening), none);

    // An instant that is not a number has no day.
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::en, std::nan("")), none);
    EXPECT_EQ(cachedFestiveTheme(AppLanguage::ko, std::numeric_limits<double>::infinity()), none);
    EXPECT_FALSE(isChristmasPerimeterDay(std::nan("")));
}

TEST_F(FestiveCalendarTest, LunarRulesThroughTheCalendarInterface) {
    auto& lunar = FakeLunarCalendar::install();
    lunar.set(2030, 9, 12, {8, 15, true});   // a leap eighth month never celebrates
    lunar.set(2030, 2, 3, {1, 1, false});
    const auto calendar = GregorianCalendar::current();
    EXPECT_EQ(festiveThemeWithEve(AppLanguage::zhHant, civilInstant(2030, 9, 12), calendar), none);
    EXPECT_EQ(festiveThemeWithEve(AppLanguage::zhHant, civilInstant(2030, 2, 2), calendar), T::lunarNewYear);
    // Without a lunar answer only the lunar tests fail: Korean January 1 still holds.
    EXPECT_EQ(festiveThemeOfDay(AppLanguage::ko, civilInstant(2030, 1, 1)), T::seollal);
}

TEST_F(FestiveCalendarTest, OneEntryCacheByLanguageAndDay) {
    auto& lunar = FakeLunarCalendar::install();
    const double morning = civilInstant(2030, 5, 5, 8);
    EXPECT_EQ(cachedFestiveTheme(AppLanguage::zhHans, morning), none);
    const int computed = lunar.calls();
    EXPECT_GT(computed, 0);

    // Same day, same language: the stored none, without asking again.
    EXPECT_EQ(cachedFestiveTheme(AppLanguage::zhHans, civilInstant(2030, 5, 5, 22)), none);
    EXPECT_EQ(lunar.calls(), computed);

    // Another language replaces the entry; the first language then computes again.
    (void)cachedFestiveTheme(AppLanguage::ko, morning);
    const int afterKorean = lunar.calls();
    EXPECT_GT(afterKorean, computed);
    (void)cachedFestiveTheme(AppLanguage::zhHans, morning);
    EXPECT_GT(lunar.calls(), afterKorean);

    // A new day misses too, and a festival found then is cached like none was.
    lunar.set(2030, 5, 7, {1, 1, false});
    EXPECT_EQ(cachedFestiveTheme(AppLanguage::zhHans, civilInstant(2030, 5, 6, 10)), T::lunarNewYear);
    const int afterNewDay = lunar.calls();
    EXPECT_EQ(cachedFestiveTheme(AppLanguage::zhHans, civilInstant(2030, 5, 6, 18)), T::lunarNewYear);
    EXPECT_EQ(lunar.calls(), afterNewDay);
}

}  // namespace
}  // namespace quillmar
