#include "festive_hud/lunar_table_corrections.h"

#include <chrono>

namespace quillmar {

namespace {

struct CorrectedMonth {
    int year, month, day;  // the civil day of the month's first lunar day
    int length;            // days until the next month begins
    int lunarMonth;
    bool isLeapMonth;
};

// Sources: the astronomical new moon (mean new moon with the main periodic terms, converted to
// UTC+8) and the conversion tables of the Hong Kong Observatory and the Purple Mountain
// Observatory, which agree with it on each of these months.
constexpr CorrectedMonth kCorrections[] = {
    // New moon 1933-07-22 16:03 UTC = 07-23 00:03 UTC+8: the sixth month begins on the 23rd, not
    // the 22nd, which stays the thirtieth day of the leap fifth month.
    {1933, 6, 23, 30, 5, true},
    {1933, 7, 23, 29, 6, false},
    // New moon 1954-11-25 12:31 UTC = 20:31 UTC+8: the eleventh month begins on the 25th, not the
    // 26th; the tenth month has 29 days.
    {1954, 10, 27, 29, 10, false},
    {1954, 11, 25, 30, 11, false},
    // New moon 1956-12-02 08:12 UTC = 16:12 UTC+8: the eleventh month begins on December 2, not
    // December 3; the tenth month has 29 days.
    {1956, 11, 3, 29, 10, false},
    {1956, 12, 2, 30, 11, false},
    // New moon 1978-09-02 16:09 UTC = 09-03 00:09 UTC+8: the eighth month begins on September 3,
    // so the moon festival fell on September 17; September 2 is the seventh month's 30th day.
    {1978, 8, 4, 30, 7, false},
    {1978, 9, 3, 29, 8, false},
    // New moon 2060-04-30 10:11 UTC = 18:11 UTC+8: the fourth month begins on April 30, not
    // May 1; the third month has 29 days.
    {2060, 4, 1, 29, 3, false},
    {2060, 4, 30, 30, 4, false},
};

std::chrono::sys_days civilDay(int year, int month, int day) {
    return std::chrono::sys_days{std::chrono::year{year} / static_cast<unsigned>(month) / static_cast<unsigned>(day)};
}

}  // namespace

std::optional<LunarDate> correctedLunarDate(int year, int month, int day) {
    if (year < 1933 || year > 2060 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                          std::chrono::day{static_cast<unsigned>(day)}};
    if (!ymd.ok()) return std::nullopt;
    const std::chrono::sys_days query{ymd};
    for (const auto& c : kCorrections) {
        const auto offset = (query - civilDay(c.year, c.month, c.day)).count();
        if (offset >= 0 && offset < c.length) return LunarDate{c.lunarMonth, static_cast<int>(offset) + 1, c.isLeapMonth};
    }
    return std::nullopt;
}

}  // namespace quillmar
