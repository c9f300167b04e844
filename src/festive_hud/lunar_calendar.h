#pragma once
// The Chinese lunisolar calendar, reduced to what the festival rules ask of it: the lunar
// month, the lunar day and whether the month is a leap month, for an instant in a time zone.
// Korea keeps the same calendar reckoned on its own meridian, so its new year falls a day later
// in some years (1997: February 8 against February 7): Seollal asks koreanLunarDate.
//
// LunarCalendar::shared() returns the installed calendar (World::install<LunarCalendar>, used
// by tests with a fake), else ChineseLunarCalendar.

#include <optional>
#include <string>

namespace quillmar {

struct LunarDate {
    int month = 1;  // 1...12
    int day = 1;    // 1...30
    bool isLeapMonth = false;

    friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

class LunarCalendar {
public:
    virtual ~LunarCalendar() = default;

    static LunarCalendar& shared();

    // The lunar date of the civil day that holds `date` (seconds since the Unix epoch) in the
    // time zone; none when the calendar cannot tell.
    virtual std::optional<LunarDate> lunarDate(double date, const std::string& timeZone) const = 0;
    // The same on the Korean calendar; a calendar that does not tell the two apart answers the
    // Chinese date.
    virtual std::optional<LunarDate> koreanLunarDate(double date, const std::string& timeZone) const {
        return lunarDate(date, timeZone);
    }
};

}  // namespace quillmar
