#pragma once
// The Chinese lunisolar calendar, reduced to what the festival rules ask of it: the lunar
// month, the lunar day and whether the month is a leap month, for an instant in a time zone.
// Korea keeps the same calendar reckoned on its own meridian, so its new year or its moon
// festival falls a day later in some years (Seollal 1997: February 8 against February 7;
// Chuseok 2040: September 21 against September 20). A Korean user's every lunar date comes from
// Korea's calendar (lunarDateFor), everyone else's from China's.
//
// LunarCalendar::shared() returns the installed calendar (World::install<LunarCalendar>, used
// by tests with a fake), else ChineseLunarCalendar.

#include <optional>
#include <string>

#include "localization/app_language.h"

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

    // The lunar date on the calendar the interface language keeps: Korea's for Korean, China's
    // for every other language.
    std::optional<LunarDate> lunarDateFor(AppLanguage language, double date, const std::string& timeZone) const {
        return language == AppLanguage::ko ? koreanLunarDate(date, timeZone) : lunarDate(date, timeZone);
    }
};

}  // namespace quillmar
