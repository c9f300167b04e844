#include "runtime/gregorian_calendar.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <cmath>

namespace quillmar::runtime {

namespace {

std::unique_ptr<icu::Calendar> makeCalendar(const std::string& zoneId) {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneId)));
    if (!zone || *zone == icu::TimeZone::getUnknown()) zone.reset(icu::TimeZone::createTimeZone("UTC"));
    UErrorCode status = U_ZERO_ERROR;
    auto cal = std::make_unique<icu::GregorianCalendar>(zone.release(), status);
    if (U_FAILURE(status)) return nullptr;
    // Proleptic Gregorian: no Julian switch-over in the distant past.
    cal->setGregorianChange(-8.64e15, status);
    return cal;
}

// ICU's representable range is wider; staying well inside it keeps conversions exact.
bool isUsableInstant(double seconds) {
    return std::isfinite(seconds) && std::fabs(seconds) <= GregorianCalendar::kLargestInstant;
}

}  // namespace

GregorianCalendar::GregorianCalendar(const std::string& timeZone)
    : timeZone_(timeZone), calendar_(makeCalendar(timeZone)) {}

GregorianCalendar::GregorianCalendar(const GregorianCalendar& other)
    : timeZone_(other.timeZone_), calendar_(makeCalendar(other.timeZone_)) {}

GregorianCalendar& GregorianCalendar::operator=(const GregorianCalendar& other) {
    if (this != &other) {
        timeZone_ = other.timeZone_;
        calendar_ = makeCalendar(timeZone_);
    }
    return *this;
}

GregorianCalendar::~GregorianCalendar() = default;

GregorianCalendar GregorianCalendar::current() { return GregorianCalendar(WallClock::shared().timeZone()); }

std::optional<CivilDateTime> GregorianCalendar::components(double date) const {
    if (!calendar_ || !isUsableInstant(date)) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(date * 1000.0, status);
    CivilDateTime c;
    c.year = calendar_->get(UCAL_EXTENDED_YEAR, status);
    c.month = calendar_->get(UCAL_MONTH, status) + 1;
    c.day = calendar_->get(UCAL_DATE, status);
    c.hour = calendar_->get(UCAL_HOUR_OF_DAY, status);
    c.minute = calendar_->get(UCAL_MINUTE, status);
    c.second = calendar_->get(UCAL_SECOND, status) + calendar_->get(UCAL_MILLISECOND, status) / 1000.0;
    c.weekday = calendar_->get(UCAL_DAY_OF_WEEK, status);
    if (U_FAILURE(status)) return std::nullopt;
    return c;
}

std::optional<double> GregorianCalendar::date(int year, int month, int day, int hour, int minute, int second) const {
    if (!calendar_) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return std::nullopt;
    if (year < -1000000 || year > 1000000) return std::nullopt;
    calendar_->clear();
    calendar_->setLenient(false);
    calendar_->set(UCAL_EXTENDED_YEAR, year);
    calendar_->set(UCAL_MONTH, month - 1);
    calendar_->set(UCAL_DATE, day);
    calendar_->set(UCAL_HOUR_OF_DAY, hour);
    calendar_->set(UCAL_MINUTE, minute);
    calendar_->set(UCAL_SECOND, second);
    UErrorCode status = U_ZERO_ERROR;
    const UDate ms = calendar_->getTime(status);
    calendar_->setLenient(true);
    if (U_FAILURE(status)) return std::nullopt;
    return ms / 1000.0;
}

std::optional<double> GregorianCalendar::noon(double date) const {
    if (!calendar_ || !isUsableInstant(date)) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(date * 1000.0, status);
    // Skipped wall times resolve to the instant after the gap; repeated ones to the first.
    calendar_->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    calendar_->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar_->set(UCAL_HOUR_OF_DAY, 12);
    calendar_->set(UCAL_MINUTE, 0);
    calendar_->set(UCAL_SECOND, 0);
    calendar_->set(UCAL_MILLISECOND, 0);
    const UDate ms = calendar_->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return ms / 1000.0;
}

std::optional<double> GregorianCalendar::addingDays(double date, int days) const {
    if (!calendar_ || !isUsableInstant(date)) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar_->setTime(date * 1000.0, status);
    calendar_->add(UCAL_DATE, days, status);
    const UDate ms = calendar_->getTime(status);
    if (U_FAILURE(status) || !isUsableInstant(ms / 1000.0)) return std::nullopt;
    return ms / 1000.0;
}

bool GregorianCalendar::isSameDay(double a, double b) const {
    const auto ca = components(a);
    const auto cb = components(b);
    return ca && cb && ca->sameDay(*cb);
}

}  // namespace quillmar::runtime
