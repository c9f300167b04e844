// The egg of the day: Western windows in their order, the East Asian lunar windows against the
// system's Chinese calendar, the cache and the QA list.

#include <gtest/gtest.h>

#include <set>

#include "festive_hud/chinese_lunar_calendar.h"
#include "festive_hud/festive_calendar.h"
#include "festive_hud/festive_test_support.h"
#include "festive_hud/lunar_calendar.h"
#include "seasonal/seasonal_easter_egg.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using testing::civilInstant;
using T = ArtisanCanvasTheme;

class EasterEggOfDayTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        runtime::WallClock::shared().setTimeZone("Europe/Berlin");
    }
    static SeasonalEasterEgg egg(int y, int m, int d, AppLanguage language, int hour = 12) {
        return SeasonalEasterEgg::forDate(civilInstant(y, m, d, hour), language);
    }
    static T theme(int y, int m, int d, AppLanguage language) { return egg(y, m, d, language).canvasTheme; }
};

TEST_F(EasterEggOfDayTest, WesternWindowsTakeTheirOrderAndEdges) {
    // Easter 2027 is March 28 (window March 20...29); 2024 was March 31; 2008 March 23, so its
    // window covers St Patrick's Day, which is tested first.
    EXPECT_EQ(theme(2008, 3, 17, AppLanguage::en), T::stPatricksWindowSpectacle);
    EXPECT_EQ(theme(2008, 3, 17, AppLanguage::de), T::stPatricksWindowSpectacle);
    EXPECT_EQ(theme(2008, 3, 19, AppLanguage::de), T::easterMeadow);
    EXPECT_EQ(theme(2027, 3, 20, AppLanguage::en), T::easterMeadow);   // -8
    EXPECT_EQ(theme(2027, 3, 19, AppLanguage::en), T::springMeadow);   // -9
    EXPECT_EQ(theme(2027, 3, 29, AppLanguage::en), T::easterMeadow);   // Easter Monday
    EXPECT_EQ(theme(2027, 3, 30, AppLanguage::en), T::springMeadow);
    EXPECT_EQ(egg(2027, 3, 28, AppLanguage::de).badgeTitle, "Ostern");

    EXPECT_EQ(theme(2026, 7, 4, AppLanguage::en), T::fireworksCelebration);
    EXPECT_EQ(theme(2026, 6, 26, AppLanguage::en), T::fireworksCelebration);
    EXPECT_EQ(theme(2026, 7, 6, AppLanguage::en), T::fireworksCelebration);
    EXPECT_EQ(theme(2026, 6, 25, AppLanguage::en), T::summerStarlight);
    EXPECT_EQ(theme(2026, 7, 7, AppLanguage::en), T::summerStarlight);
    EXPECT_EQ(theme(2026, 7, 4, AppLanguage::de), T::summerStarlight);

    EXPECT_EQ(theme(2026, 11, 1, AppLanguage::de), T::halloweenSpectacle);
    EXPECT_EQ(theme(2026, 10, 21, AppLanguage::en), T::autumnHarvestOak);
    EXPECT_EQ(egg(2026, 10, 21, AppLanguage::en).emblem, EmblemStyle::enamelPin(PinMotif::harvestAcorn));

    // Thanksgiving 2029 is November 22; 2024's was November 28.
    EXPECT_EQ(egg(2024, 12, 1, AppLanguage::en).badgeTitle, "Thanksgiving");  // +3
    EXPECT_EQ(theme(2024, 12, 2, AppLanguage::en), T::winterAuroraHearth);
    EXPECT_EQ(egg(2024, 11, 20, AppLanguage::en).badgeTitle, "Thanksgiving");  // -8
    EXPECT_EQ(egg(2024, 11, 19, AppLanguage::en).badgeTitle, "Autumn");
    EXPECT_EQ(egg(2024, 11, 25, AppLanguage::de).badgeTitle, "Erntedank");

    EXPECT_EQ(theme(2026, 12, 25, AppLanguage::en), T::christmasSpectacle);
    EXPECT_EQ(theme(2026, 12, 14, AppLanguage::en), T::winterAuroraHearth);
    EXPECT_EQ(egg(2026, 12, 26, AppLanguage::de).badgeTitle, "Neujahr");
    EXPECT_EQ(theme(2027, 1, 5, AppLanguage::en), T::fireworksCelebration);
    EXPECT_EQ(theme(2027, 1, 6, AppLanguage::en), T::winterAuroraHearth);
    EXPECT_EQ(theme(2028, 2, 29, AppLanguage::de), T::winterAuroraHearth);
}

TEST_F(EasterEggOfDayTest, EveryWesternEggWearsAPinAndEveryEastAsianEggASealOfTwoByTwo) {
    for (int day = 0; day < 366; day += 3) {
        const double date = civilInstant(2026, 1, 1) + day * 86400.0;
        for (AppLanguage language : AppLanguage::allCases()) {
            const auto e = SeasonalEasterEgg::forDate(date, language);
            const bool western = language == AppLanguage::en || language == AppLanguage::de;
            EXPECT_EQ(e.emblem.pin() != nullptr, western);
            if (const auto* seal = e.emblem.seal()) {
                EXPECT_EQ(seal->right.size(), 2u);
                EXPECT_EQ(seal->left.size(), 2u);
            }
            EXPECT_DOUBLE_EQ(e.touchTintColor.alpha, 1.0);
            EXPECT_FALSE(e.badgeTitle.empty());
        }
    }
}

// The lunar windows follow the system's Chinese calendar: for each year, the new year is found
// by asking the calendar day by day, and the Chinese egg must open 8 days before it and close
// after lunar day 15; the moon window covers lunar 8/8...8/17.
TEST_F(EasterEggOfDayTest, LunarWindowsAgreeWithTheChineseCalendar) {
    runtime::WallClock::shared().setTimeZone("Asia/Shanghai");
    const auto& lunar = LunarCalendar::shared();
    for (int year = 2024; year <= 2031; ++year) {
        std::optional<double> newYear;
        std::optional<double> moonDay8;
        for (int d = 0; d < 366; ++d) {
            const double date = civilInstant(year, 1, 1) + d * 86400.0;
            const auto l = lunar.lunarDate(date, "Asia/Shanghai");
            ASSERT_TRUE(l);
            if (!newYear && l->month == 1 && l->day == 1 && !l->isLeapMonth) newYear = date;
            if (!moonDay8 && l->month == 8 && l->day == 8 && !l->isLeapMonth) moonDay8 = date;
        }
        ASSERT_TRUE(newYear && moonDay8) << year;
        auto at = [](double date, int days) { return date + days * 86400.0; };
        EXPECT_EQ(SeasonalEasterEgg::forDate(at(*newYear, -8), AppLanguage::zhHans).canvasTheme, T::lunarNewYearSpectacle) << year;
        EXPECT_NE(SeasonalEasterEgg::forDate(at(*newYear, -9), AppLanguage::zhHans).canvasTheme, T::lunarNewYearSpectacle) << year;
        EXPECT_EQ(SeasonalEasterEgg::forDate(at(*newYear, 14), AppLanguage::zhHant).canvasTheme, T::lunarNewYearSpectacle) << year;
        EXPECT_NE(SeasonalEasterEgg::forDate(at(*newYear, 15), AppLanguage::zhHant).canvasTheme, T::lunarNewYearSpectacle) << year;
        EXPECT_EQ(SeasonalEasterEgg::forDate(at(*newYear, 0), AppLanguage::ko).canvasTheme, T::koreanCranesGeumbak) << year;
        // Japanese ignores the lunar new year (mid-February lies outside January 1...15).
        if (civilInstant(year, 1, 16) <= *newYear) {
            EXPECT_EQ(SeasonalEasterEgg::forDate(*newYear, AppLanguage::ja).badgeTitle, "寒梅瑞雪 · 福寿の祈り") << year;
        }

        EXPECT_EQ(SeasonalEasterEgg::forDate(*moonDay8, AppLanguage::ja).canvasTheme, T::harvestMoonOsmanthus) << year;
        EXPECT_EQ(SeasonalEasterEgg::forDate(at(*moonDay8, 9), AppLanguage::zhHans).canvasTheme, T::harvestMoonOsmanthus) << year;
        EXPECT_NE(SeasonalEasterEgg::forDate(at(*moonDay8, 10), AppLanguage::zhHans).canvasTheme, T::harvestMoonOsmanthus) << year;
        EXPECT_NE(SeasonalEasterEgg::forDate(at(*moonDay8, -1), AppLanguage::ko).canvasTheme, T::harvestMoonOsmanthus) << year;
    }
}

// The years where Korea's calendar starts the new year or the eighth month a day after China's:
// a Korean user's bar and About card follow Korea's dates (the festival, its eve, the new-year
// window from eight days before to lunar day 15, the moon window over lunar 8/8...8/17), a
// Chinese user's follow China's.
TEST_F(EasterEggOfDayTest, KoreanUsersKeepKoreasLunarCalendarWhereItDiffersFromChinas) {
    runtime::World::install<LunarCalendar>(std::make_unique<ChineseLunarCalendar>());
    runtime::WallClock::shared().setTimeZone("Asia/Seoul");
    struct Year {
        bool newYear;  // else the moon festival
        int year, month, day;  // China's day; Korea's is the next
    };
    const Year years[] = {{true, 1916, 2, 3},  {true, 1944, 1, 25},  {true, 1954, 2, 3},  {true, 1958, 2, 18},
                          {true, 1966, 1, 21}, {true, 1988, 2, 17},  {true, 1997, 2, 7},  {true, 2027, 2, 6},
                          {true, 2028, 1, 26}, {true, 2061, 1, 21},  {true, 2089, 2, 10}, {true, 2092, 2, 7},
                          {false, 1942, 9, 24}, {false, 2040, 9, 20}, {false, 2089, 9, 18}, {false, 2096, 9, 30},
                          {false, 2098, 9, 9}};
    using L = AppLanguage;
    for (const Year& y : years) {
        SCOPED_TRACE(::testing::Message() << y.year << (y.newYear ? " new year" : " moon festival"));
        const double china = civilInstant(y.year, y.month, y.day);
        auto korea = [&](int days) { return china + (days + 1) * 86400.0; };
        const auto festival = y.newYear ? HUDFestiveTheme::seollal : HUDFestiveTheme::midAutumn;
        const auto chinese = y.newYear ? HUDFestiveTheme::lunarNewYear : HUDFestiveTheme::midAutumn;
        const auto gregorian = GregorianCalendar::current();
        EXPECT_EQ(festiveThemeOfDay(L::ko, korea(0)), festival);
        EXPECT_EQ(festiveThemeOfDay(L::ko, china), std::nullopt);
        EXPECT_EQ(festiveThemeWithEve(L::ko, china, gregorian), festival);  // Korea's eve
        EXPECT_EQ(festiveThemeWithEve(L::ko, korea(-2), gregorian), std::nullopt);
        EXPECT_EQ(festiveThemeOfDay(L::zhHans, china), chinese);
        EXPECT_EQ(festiveThemeOfDay(L::zhHant, korea(0)), std::nullopt);

        const auto window = y.newYear ? T::koreanCranesGeumbak : T::harvestMoonOsmanthus;
        const int first = y.newYear ? -8 : -7, last = y.newYear ? 14 : 2;
        EXPECT_EQ(SeasonalEasterEgg::forDate(korea(first), L::ko).canvasTheme, window);
        EXPECT_NE(SeasonalEasterEgg::forDate(korea(first - 1), L::ko).canvasTheme, window);
        EXPECT_EQ(SeasonalEasterEgg::forDate(korea(last), L::ko).canvasTheme, window);
        EXPECT_NE(SeasonalEasterEgg::forDate(korea(last + 1), L::ko).canvasTheme, window);
        if (y.newYear) {
            EXPECT_EQ(SeasonalEasterEgg::forDate(korea(first - 1), L::zhHans).canvasTheme, T::lunarNewYearSpectacle);
        } else {
            EXPECT_NE(SeasonalEasterEgg::forDate(korea(last), L::zhHans).canvasTheme, window);
        }
    }
}

TEST_F(EasterEggOfDayTest, EastAsianGregorianNewYearAndSeasons) {
    testing::FakeLunarCalendar::install();  // no lunar date at all: only the Gregorian rules act
    EXPECT_EQ(egg(2026, 1, 5, AppLanguage::ko).badgeTitle, "새해 축복 · 만사형통");
    EXPECT_EQ(egg(2026, 1, 8, AppLanguage::ko).canvasTheme, T::kyotoWinterPlum);
    EXPECT_EQ(egg(2026, 1, 15, AppLanguage::ja).badgeTitle, "初春の寿ぎ · 新春万福");
    EXPECT_EQ(egg(2026, 1, 16, AppLanguage::ja).badgeTitle, "寒梅瑞雪 · 福寿の祈り");
    EXPECT_EQ(egg(2026, 12, 26, AppLanguage::ja).canvasTheme, T::kyotoWinterPlum);
    EXPECT_EQ(egg(2026, 7, 1, AppLanguage::zhHans).canvasTheme, T::summerJadeLotus);
    EXPECT_EQ(egg(2026, 7, 1, AppLanguage::ja).canvasTheme, T::kyotoSummerAoMomiji);
    EXPECT_EQ(egg(2026, 4, 1, AppLanguage::zhHant).emblem, EmblemStyle::cjkCarvedSeal({"春", "祺"}, {"如", "意"}));
    EXPECT_EQ(egg(2026, 10, 1, AppLanguage::ko).canvasTheme, T::kyotoAutumnMomiji);
}

TEST_F(EasterEggOfDayTest, ALeapEighthMonthNeverOpensTheMoonWindow) {
    auto& fake = testing::FakeLunarCalendar::install();
    fake.set(2025, 9, 20, LunarDate{8, 15, true});
    fake.set(2025, 10, 6, LunarDate{8, 15, false});
    EXPECT_EQ(egg(2025, 9, 20, AppLanguage::zhHans).canvasTheme, T::kyotoAutumnMomiji);
    EXPECT_EQ(egg(2025, 10, 6, AppLanguage::zhHans).canvasTheme, T::harvestMoonOsmanthus);
}

TEST_F(EasterEggOfDayTest, TheCacheKeepsOneLanguageAndDay) {
    auto& fake = testing::FakeLunarCalendar::install();
    const auto first = egg(2026, 5, 1, AppLanguage::zhHans, 9);
    const int calls = fake.calls();
    EXPECT_GT(calls, 0);
    EXPECT_EQ(egg(2026, 5, 1, AppLanguage::zhHans, 21), first);
    EXPECT_EQ(fake.calls(), calls);  // same day and language: not recomputed
    egg(2026, 5, 1, AppLanguage::ko);
    EXPECT_GT(fake.calls(), calls);  // another language: recomputed
    const int afterKorean = fake.calls();
    egg(2026, 5, 1, AppLanguage::zhHans);
    EXPECT_GT(fake.calls(), afterKorean);  // the Korean answer replaced the Chinese one
}

TEST_F(EasterEggOfDayTest, QARotationCoversEveryThemeOnceInPlaceOrder) {
    const auto& rotation = SeasonalEasterEgg::qaRotation();
    ASSERT_EQ(rotation.size(), 17u);
    std::set<T> themes;
    for (std::size_t i = 0; i < rotation.size(); ++i) {
        themes.insert(rotation[i].canvasTheme);
        EXPECT_EQ(rotation[i].badgeTitle.rfind(std::to_string(i + 1) + "/17 · ", 0), 0u) << rotation[i].badgeTitle;
        EXPECT_EQ(rotation[i].emblem.pin() != nullptr, i < 9);
    }
    EXPECT_EQ(themes.size(), 17u);
}

}  // namespace
}  // namespace quillmar
