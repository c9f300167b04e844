#pragma once
// Test helpers of the festive folder: civil instants on the pinned wall clock, a fake lunar
// calendar and a fixed interface language.

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "festive_hud/hud_festive_geometry.h"
#include "festive_hud/lunar_calendar.h"
#include "localization/app_language.h"
#include "platform/preferred_languages.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"

namespace quillmar::testing {

// The instant of a civil date and time in the wall clock's zone.
inline double civilInstant(int year, int month, int day, int hour = 12, int minute = 0) {
    runtime::CivilDateTime c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    return *runtime::WallClock::instant(c, runtime::WallClock::shared().timeZone());
}

// A horizontal Switch Bar 400 x 110 with four items in a row and its floor line 5 points up.
inline HUDFestiveGeometry barOfFourItems() {
    HUDFestiveGeometry g;
    g.size = {400, 110};
    g.floorY = 105;
    g.itemAnchors = {{60, 45}, {140, 45}, {220, 45}, {300, 45}};
    g.rowSpanX = {0, 400};
    return g;
}

// Pins the wall clock to a civil date and time in a zone.
inline void setToday(int year, int month, int day, int hour = 12, const std::string& zone = "Europe/Berlin") {
    runtime::WallClock::shared().setTimeZone(zone);
    runtime::WallClock::shared().setVirtualNow(civilInstant(year, month, day, hour));
}

// Lunar dates by civil day; every other day has none. Counts the questions it is asked.
class FakeLunarCalendar final : public LunarCalendar {
public:
    static FakeLunarCalendar& install() {
        return static_cast<FakeLunarCalendar&>(
            runtime::World::install<LunarCalendar>(std::make_unique<FakeLunarCalendar>()));
    }
    void set(int year, int month, int day, LunarDate lunar) { dates_[{year, month, day}] = lunar; }
    int calls() const { return calls_; }

    std::optional<LunarDate> lunarDate(double date, const std::string& timeZone) const override {
        ++calls_;
        const auto c = runtime::WallClock::civil(date, timeZone);
        auto it = dates_.find({c.year, c.month, c.day});
        if (it == dates_.end()) return std::nullopt;
        return it->second;
    }

private:
    std::map<std::tuple<int, int, int>, LunarDate> dates_;
    mutable int calls_ = 0;
};

// Makes AppLanguage::current() of this world the given language (install before first read).
class FixedPreferredLanguages final : public platform::PreferredLanguages {
public:
    explicit FixedPreferredLanguages(std::string tag) : tag_(std::move(tag)) {}
    static void install(AppLanguage language) {
        runtime::World::install<platform::PreferredLanguages>(
            std::make_unique<FixedPreferredLanguages>(std::string(language.rawValue())));
    }
    std::vector<std::string> preferredLanguages() const override { return {tag_}; }

private:
    std::string tag_;
};

}  // namespace quillmar::testing
