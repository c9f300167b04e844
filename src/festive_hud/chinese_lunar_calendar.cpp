#include "festive_hud/chinese_lunar_calendar.h"

#include <lunar-date/lunar-date.h>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cmath>
#include <cstdio>

#include "festive_hud/lunar_table_corrections.h"
#include "runtime/wall_clock.h"

namespace quillmar {

ChineseLunarCalendar::ChineseLunarCalendar() = default;
ChineseLunarCalendar::~ChineseLunarCalendar() = default;

namespace {
// One table object for the process, kept for its life: the library leaves part of every object
// behind when it is released, so making one per lookup (or per calendar) would leak.
::LunarDate* sharedTable() {
    static ::LunarDate* const table = lunar_date_new();
    return table;
}
}  // namespace

std::optional<LunarDate> ChineseLunarCalendar::fromTable(int year, int month, int day) const {
    // The tables start with the lunar year that begins in 1901 and end in 2100.
    if (year < 1901 || year > 2100 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    if (auto corrected = correctedLunarDate(year, month, day)) return corrected;
    ::LunarDate* table = sharedTable();
    if (!table) return std::nullopt;
    GError* error = nullptr;
    lunar_date_set_solar_date(table, static_cast<GDateYear>(year), static_cast<GDateMonth>(month),
                              static_cast<GDateDay>(day), 12, &error);
    std::optional<LunarDate> result;
    if (!error) {
        // "%(yue)" is the month number, with a leading '*' for a leap month.
        gchar* text = lunar_date_strftime(table, "%(yue) %(ri)");
        if (text) {
            const bool leap = text[0] == '*';
            int m = 0, d = 0;
            if (std::sscanf(text + (leap ? 1 : 0), "%d %d", &m, &d) == 2 && m >= 1 && m <= 12 && d >= 1 && d <= 30)
                result = LunarDate{m, d, leap};
            g_free(text);
        }
    } else {
        g_error_free(error);
    }
    return result;
}

std::optional<LunarDate> ChineseLunarCalendar::fromIcu(IcuCalendar& cache, const char* locale, double date,
                                                       const std::string& timeZone) {
    if (!cache.calendar || cache.zone != timeZone) {
        std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone)));
        if (!zone || *zone == icu::TimeZone::getUnknown()) zone.reset(icu::TimeZone::createTimeZone("UTC"));
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Calendar> cal(icu::Calendar::createInstance(zone.release(), icu::Locale(locale), status));
        if (U_FAILURE(status) || !cal) {
            cache.calendar.reset();
            return std::nullopt;
        }
        cache.calendar = std::move(cal);
        cache.zone = timeZone;
    }
    UErrorCode status = U_ZERO_ERROR;
    cache.calendar->setTime(date * 1000.0, status);
    LunarDate d;
    d.month = cache.calendar->get(UCAL_MONTH, status) + 1;
    d.day = cache.calendar->get(UCAL_DATE, status);
    d.isLeapMonth = cache.calendar->get(UCAL_IS_LEAP_MONTH, status) != 0;
    if (U_FAILURE(status)) return std::nullopt;
    return d;
}

std::optional<LunarDate> ChineseLunarCalendar::lunarDate(double date, const std::string& timeZone) const {
    if (!std::isfinite(date) || std::fabs(date) > 1e14) return std::nullopt;
    const auto civil = runtime::WallClock::civil(date, timeZone);
    if (auto fromTables = fromTable(civil.year, civil.month, civil.day)) return fromTables;
    return fromIcu(chinese_, "en@calendar=chinese", date, timeZone);
}

std::optional<LunarDate> ChineseLunarCalendar::koreanLunarDate(double date, const std::string& timeZone) const {
    if (!std::isfinite(date) || std::fabs(date) > 1e14) return std::nullopt;
    return fromIcu(korean_, "ko@calendar=dangi", date, timeZone);
}

}  // namespace quillmar
