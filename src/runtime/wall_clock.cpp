#include "runtime/wall_clock.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::runtime {

namespace {
std::unique_ptr<icu::TimeZone> zoneFor(const std::string& id) {
    std::unique_ptr<icu::TimeZone> tz(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
    if (!tz || *tz == icu::TimeZone::getUnknown()) tz.reset(icu::TimeZone::createTimeZone("UTC"));
    return tz;
}
std::unique_ptr<icu::GregorianCalendar> calendarFor(const std::string& id) {
    UErrorCode status = U_ZERO_ERROR;
    auto cal = std::make_unique<icu::GregorianCalendar>(zoneFor(id).release(), status);
    if (U_FAILURE(status)) return nullptr;
    // Proleptic Gregorian: no Julian switch-over.
    cal->setGregorianChange(-8.64e15, status);
    return cal;
}
}  // namespace

WallClock::WallClock() = default;

WallClock& WallClock::shared() { return World::shared<WallClock>(); }

double WallClock::now() const {
    if (pinned_) return pinned_->epoch + (MainLoop::main().now() - pinned_->media);
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void WallClock::setVirtualNow(double epochSeconds) {
    if (!std::isfinite(epochSeconds)) return;
    pinned_ = Pin{epochSeconds, MainLoop::main().now()};
}

bool WallClock::isKnownTimeZone(const std::string& ianaId) {
    std::unique_ptr<icu::TimeZone> tz(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(ianaId)));
    return tz && *tz != icu::TimeZone::getUnknown();
}

bool WallClock::setTimeZone(const std::string& ianaId) {
    if (!isKnownTimeZone(ianaId)) return false;
    timeZone_ = ianaId;
    return true;
}

CivilDateTime WallClock::civil(double epochSeconds, const std::string& ianaId) {
    CivilDateTime c;
    auto cal = calendarFor(ianaId);
    if (!cal || !std::isfinite(epochSeconds)) return c;
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(epochSeconds * 1000.0, status);
    if (U_FAILURE(status)) return c;
    c.year = cal->get(UCAL_EXTENDED_YEAR, status);
    c.month = cal->get(UCAL_MONTH, status) + 1;
    c.day = cal->get(UCAL_DATE, status);
    c.hour = cal->get(UCAL_HOUR_OF_DAY, status);
    c.minute = cal->get(UCAL_MINUTE, status);
    c.second = cal->get(UCAL_SECOND, status) + cal->get(UCAL_MILLISECOND, status) / 1000.0;
    c.weekday = cal->get(UCAL_DAY_OF_WEEK, status);
    return c;
}

std::optional<double> WallClock::instant(const CivilDateTime& c, const std::string& ianaId) {
    auto cal = calendarFor(ianaId);
    if (!cal) return std::nullopt;
    if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 || c.hour < 0 || c.hour > 23 ||
        c.minute < 0 || c.minute > 59 || !std::isfinite(c.second) || c.second < 0 || c.second >= 61)
        return std::nullopt;
    cal->setLenient(false);
    cal->clear();
    cal->set(UCAL_EXTENDED_YEAR, c.year);
    cal->set(UCAL_MONTH, c.month - 1);
    cal->set(UCAL_DATE, c.day);
    cal->set(UCAL_HOUR_OF_DAY, c.hour);
    cal->set(UCAL_MINUTE, c.minute);
    const double whole = std::floor(c.second);
    cal->set(UCAL_SECOND, static_cast<int>(std::min(whole, 59.0)));
    UErrorCode status = U_ZERO_ERROR;
    const UDate ms = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return ms / 1000.0 + (c.second - std::min(whole, 59.0));
}

}  // namespace quillmar::runtime
