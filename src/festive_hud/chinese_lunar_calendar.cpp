#include "festive_hud/chinese_lunar_calendar.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cmath>

namespace quillmar {

ChineseLunarCalendar::ChineseLunarCalendar() = default;
ChineseLunarCalendar::~ChineseLunarCalendar() = default;

std::optional<LunarDate> ChineseLunarCalendar::lunarDate(double date, const std::string& timeZone) const {
    if (!std::isfinite(date) || std::fabs(date) > 1e14) return std::nullopt;
    if (!calendar_ || zone_ != timeZone) {
        std::unique_ptr<icu::TimeZone> zone(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone)));
        if (!zone || *zone == icu::TimeZone::getUnknown()) zone.reset(icu::TimeZone::createTimeZone("UTC"));
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Calendar> cal(
            icu::Calendar::createInstance(zone.release(), icu::Locale("en@calendar=chinese"), status));
        if (U_FAILURE(status) || !cal) {
            calendar_.reset();
            return std::nullopt;
        }
        calendar_ = std::move(cal);
        zone_ = timeZone;
    }
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(date * 1000.0, status);
    LunarDate d;
    d.month = calendar_->get(UCAL_MONTH, status) + 1;
    d.day = calendar_->get(UCAL_DATE, status);
    d.isLeapMonth = calendar_->get(UCAL_IS_LEAP_MONTH, status) != 0;
    if (U_FAILURE(status)) return std::nullopt;
    return d;
}

}  // namespace quillmar
