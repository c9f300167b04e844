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
    // No leap seconds: the instants count none, so a 60th second would name the next minute's first.
    if (!std::isfinite(c.second) || c.second < 0 || c.second >= 60) return std::nullopt;
    const double whole = std::floor(c.second);
    const auto start = GregorianCalendar(ianaId).date(c.year, c.month, c.day, c.hour, c.minute, static_cast<int>(whole));
    if (!start) return std::nullopt;
    // The fraction stays within its second, though the sum be rounded.
    return std::min(*start + (c.second - whole), std::nextafter(*start + 1, -INFINITY));
}

}  // namespace quillmar::runtime
