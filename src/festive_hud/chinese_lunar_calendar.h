#pragma once
// The lunar calendars behind LunarCalendar. Chinese dates come from the published tables of the
// lunar-date library (1901 to 2100), which follow the official Chinese calendar but for five
// months that lunar_table_corrections.h puts right; ICU's Chinese
// calendar computes new moons itself and lands a day off where a new moon falls minutes from
// midnight in China's time (1954, 2027, 2030 among others), so it only serves outside the
// tables' years. Korean dates come from ICU's Korean calendar, which reckons on Seoul's meridian.
// Main thread only: it keeps one ICU calendar object per kind for the time zone asked last.

#include <memory>
#include <optional>
#include <string>

#include <unicode/uversion.h>

#include "festive_hud/lunar_calendar.h"

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace quillmar {

class ChineseLunarCalendar final : public LunarCalendar {
public:
    ChineseLunarCalendar();
    ~ChineseLunarCalendar() override;

    std::optional<LunarDate> lunarDate(double date, const std::string& timeZone) const override;
    std::optional<LunarDate> koreanLunarDate(double date, const std::string& timeZone) const override;

    // The table's answer for a civil day, or none outside the table's years.
    std::optional<LunarDate> fromTable(int year, int month, int day) const;

private:
    struct IcuCalendar {
        std::string zone;
        std::unique_ptr<icu::Calendar> calendar;
    };
    static std::optional<LunarDate> fromIcu(IcuCalendar& cache, const char* locale, double date,
                                            const std::string& timeZone);

    mutable IcuCalendar chinese_;
    mutable IcuCalendar korean_;
};

}  // namespace quillmar
