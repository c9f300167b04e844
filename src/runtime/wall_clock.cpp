#include "runtime/wall_clock.h"

#include <unicode/timezone.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

#include "runtime/gregorian_calendar.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::runtime {

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
    if (!std::isfinite(epochSeconds)) return {};
    // Beyond the calendar's range an instant reads as the nearest day it can form.
    const double limit = GregorianCalendar::kLargestInstant;
    return GregorianCalendar(ianaId).components(std::clamp(epochSeconds, -limit, limit)).value_or(CivilDateTime{});
}

std::optional<double> WallClock::instant(const CivilDateTime& c, const std::string& ianaId) {
    if (!std::isfinite(c.second) || c.second < 0 || c.second >= 61) return std::nullopt;
    // A leap second (60.x) is carried past 59 as a fraction.
    const double whole = std::min(std::floor(c.second), 59.0);
    const auto start = GregorianCalendar(ianaId).date(c.year, c.month, c.day, c.hour, c.minute, static_cast<int>(whole));
    if (!start) return std::nullopt;
    return *start + (c.second - whole);
}

}  // namespace quillmar::runtime
