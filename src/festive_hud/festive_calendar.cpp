#include "festive_hud/festive_calendar.h"

#include "festive_hud/lunar_calendar.h"
#include "runtime/world.h"
#include "runtime/world_scoped_cache.h"

namespace quillmar {

namespace {

bool isOnSameDay(const std::optional<double>& festival, double noonDate, const GregorianCalendar& calendar) {
    return festival && calendar.isSameDay(*festival, noonDate);
}

struct CacheEntry {
    AppLanguage language;
    int year;
    int month;
    int day;
    std::optional<HUDFestiveTheme> result;
};

std::optional<CacheEntry>& cacheEntry() { return runtime::worldScopedCache<CacheEntry>(); }

}  // namespace

std::optional<HUDFestiveTheme> festiveThemeOfDay(AppLanguage language, double date) {
    const GregorianCalendar calendar = GregorianCalendar::current();
    const double noonDate = calendar.noon(date).value_or(date);
    const auto civil = calendar.components(noonDate);
    if (!civil) return std::nullopt;
    const int month = civil->month;
    const int day = civil->day;

    // The lunar date is read only by the languages that need it, on the calendar the language
    // keeps (Korea's for Korean, China's for the others).
    std::optional<std::optional<LunarDate>> lunar;
    auto lunarDate = [&]() -> const std::optional<LunarDate>& {
        if (!lunar) lunar = LunarCalendar::shared().lunarDateFor(language, noonDate, calendar.timeZone());
        return *lunar;
    };
    auto isLunarNewYear = [&] {
        const auto& l = lunarDate();
        return l && l->month == 1 && l->day == 1 && !l->isLeapMonth;
    };
    auto isMoonFestival = [&] {
        const auto& l = lunarDate();
        return l && l->month == 8 && l->day == 15 && !l->isLeapMonth;
    };
    auto is = [&](int m, int d) { return month == m && day == d; };
    auto isEaster = [&] { return isOnSameDay(easterSunday(civil->year, calendar), noonDate, calendar); };
    auto isThanksgiving = [&] { return isOnSameDay(thanksgivingDay(civil->year, calendar), noonDate, calendar); };

    if (is(12, 25)) return HUDFestiveTheme::christmas;

    switch (language) {
        case AppLanguage::en:
            if (is(3, 17)) return HUDFestiveTheme::stPatricks;
            if (isEaster()) return HUDFestiveTheme::easter;
            if (is(10, 31)) return HUDFestiveTheme::halloween;
            if (is(7, 4)) return HUDFestiveTheme::fireworks;
            if (isThanksgiving()) return HUDFestiveTheme::harvest;
            if (is(1, 1)) return HUDFestiveTheme::newYear;
            return std::nullopt;
        case AppLanguage::de:
            if (is(3, 17)) return HUDFestiveTheme::stPatricks;
            if (isEaster()) return HUDFestiveTheme::easter;
            if (is(10, 31)) return HUDFestiveTheme::halloween;
            if (is(1, 1)) return HUDFestiveTheme::newYear;
            return std::nullopt;
        case AppLanguage::ja:
            if (is(1, 1)) return HUDFestiveTheme::oshogatsu;
            if (isMoonFestival()) return HUDFestiveTheme::midAutumn;
            return std::nullopt;
        case AppLanguage::zhHans:
        case AppLanguage::zhHant:
            if (isLunarNewYear()) return HUDFestiveTheme::lunarNewYear;
            if (isMoonFestival()) return HUDFestiveTheme::midAutumn;
            return std::nullopt;
        case AppLanguage::ko:
            if (isLunarNewYear()) return HUDFestiveTheme::seollal;
            if (is(1, 1)) return HUDFestiveTheme::seollal;
            if (isMoonFestival()) return HUDFestiveTheme::midAutumn;
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<HUDFestiveTheme> festiveThemeWithEve(AppLanguage language, double date,
                                                   const GregorianCalendar& calendar) {
    if (auto theme = festiveThemeOfDay(language, date)) return theme;
    const auto tomorrow = calendar.addingDays(date, 1);
    if (!tomorrow) return std::nullopt;
    return festiveThemeOfDay(language, *tomorrow);
}

std::optional<HUDFestiveTheme> cachedFestiveTheme(AppLanguage language, double date) {
    const GregorianCalendar calendar = GregorianCalendar::current();
    const auto civil = calendar.components(date);
    auto& entry = cacheEntry();
    if (civil && entry && entry->language == language && entry->year == civil->year &&
        entry->month == civil->month && entry->day == civil->day)
        return entry->result;
    const auto result = festiveThemeWithEve(language, date, calendar);
    if (civil) entry = CacheEntry{language, civil->year, civil->month, civil->day, result};
    return result;
}

bool isChristmasPerimeterDay(double date) {
    const auto civil = GregorianCalendar::current().components(date);
    return civil && civil->month == 12 && (civil->day == 24 || civil->day == 25);
}

std::optional<double> easterSunday(int year, const GregorianCalendar& calendar) {
    // Meeus/Jones/Butcher; C++ integer division truncates, as the computus is written.
    const int y = year;
    const int a = y % 19;
    const int b = y / 100;
    const int c = y % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = ((h + l - 7 * m + 114) % 31) + 1;
    return calendar.date(year, month, day, 12);
}

std::optional<double> thanksgivingDay(int year, const GregorianCalendar& calendar) {
    const auto firstOfNovember = calendar.date(year, 11, 1, 12);
    if (!firstOfNovember) return std::nullopt;
    const auto civil = calendar.components(*firstOfNovember);
    if (!civil) return std::nullopt;
    const int w = civil->weekday;  // Sunday 1 ... Saturday 7
    const int day = 22 + ((5 - w + 7) % 7);
    return calendar.date(year, 11, day, 12);
}

}  // namespace quillmar
