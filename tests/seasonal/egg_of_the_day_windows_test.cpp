// The egg of the day on the first and last day of every window and on the days just outside:
// each festival, each season, and the New Year of every East Asian language by the Gregorian
// calendar alone (no lunar date answers here).

#include <gtest/gtest.h>

#include "festive_hud/festive_test_support.h"
#include "seasonal/seasonal_easter_egg.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using T = ArtisanCanvasTheme;

struct Day {
    int year, month, day;
    AppLanguage language;
    const char* badge;  // the badge says which egg it is
};

class EggWindowEdges : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        runtime::WallClock::shared().setTimeZone("Europe/Berlin");
        testing::FakeLunarCalendar::install();
    }
    static void expectEggs(std::initializer_list<Day> days) {
        for (const Day& d : days)
            EXPECT_EQ(SeasonalEasterEgg::forDate(testing::civilInstant(d.year, d.month, d.day), d.language).badgeTitle,
                      d.badge)
                << d.year << "-" << d.month << "-" << d.day << " " << d.language.rawValue();
    }
};

TEST_F(EggWindowEdges, WesternFestivalsOpenAndCloseOnTheirDays) {
    using L = AppLanguage;
    expectEggs({
        {2026, 3, 8, L::en, "Spring"},          {2026, 3, 9, L::en, "St. Patrick's"},
        {2026, 3, 18, L::de, "St. Patrick's"},  {2026, 3, 19, L::en, "Spring"},
        // Easter Sunday 2026 is April 5: from the Saturday a week before to Easter Monday.
        {2026, 3, 27, L::en, "Spring"},         {2026, 3, 28, L::en, "Easter"},
        {2026, 4, 6, L::de, "Ostern"},          {2026, 4, 7, L::de, "Frühling"},
        {2026, 10, 21, L::en, "Autumn"},        {2026, 10, 22, L::en, "Halloween"},
        {2026, 11, 1, L::en, "Halloween"},      {2026, 11, 2, L::en, "Autumn"},
        // Thanksgiving 2026 is November 26: from eight days before to three days after.
        {2026, 11, 17, L::en, "Autumn"},        {2026, 11, 18, L::en, "Thanksgiving"},
        {2026, 11, 29, L::de, "Erntedank"},     {2026, 11, 30, L::de, "Herbst"},
        {2026, 12, 14, L::en, "Winter"},        {2026, 12, 15, L::en, "Christmas"},
        {2026, 12, 25, L::de, "Weihnachten"},   {2026, 12, 26, L::en, "New Year's"},
        {2027, 1, 5, L::en, "New Year's"},      {2027, 1, 6, L::en, "Winter"},
    });
}

TEST_F(EggWindowEdges, SeasonsChangeOnTheFirstOfTheMonth) {
    using L = AppLanguage;
    expectEggs({
        {2026, 2, 28, L::en, "Winter"},  {2026, 3, 1, L::en, "Spring"},  {2026, 5, 31, L::de, "Frühling"},
        {2026, 6, 1, L::de, "Sommer"},   {2026, 8, 31, L::en, "Summer"}, {2026, 9, 1, L::en, "Autumn"},
        {2026, 12, 1, L::en, "Winter"},  {2026, 2, 28, L::ko, "평안한 겨울 · 소원성취"},
        {2026, 3, 1, L::ko, "따스한 봄날 · 춘풍만복"}, {2026, 9, 1, L::zhHans, "金秋送爽 · 顺遂吉祥"},
        {2026, 11, 30, L::ja, "錦秋吉祥 · 実りの寿ぎ"}, {2026, 12, 1, L::ja, "寒梅瑞雪 · 福寿の祈り"},
    });
}

TEST_F(EggWindowEdges, EastAsianNewYearByTheGregorianCalendar) {
    using L = AppLanguage;
    expectEggs({
        // Korean: December 26 to January 7.
        {2026, 12, 25, L::ko, "평안한 겨울 · 소원성취"}, {2026, 12, 26, L::ko, "새해 축복 · 만사형통"},
        {2027, 1, 7, L::ko, "새해 축복 · 만사형통"},    {2027, 1, 8, L::ko, "평안한 겨울 · 소원성취"},
        // Japanese: December 26 to January 15.
        {2026, 12, 25, L::ja, "寒梅瑞雪 · 福寿の祈り"}, {2026, 12, 26, L::ja, "初春の寿ぎ · 新春万福"},
        // Chinese keeps only the lunar new year.
        {2026, 12, 26, L::zhHans, "瑞雪寒梅 · 五福临门"}, {2027, 1, 3, L::zhHant, "瑞雪寒梅 · 五福臨門"},
    });
}

}  // namespace
}  // namespace quillmar
