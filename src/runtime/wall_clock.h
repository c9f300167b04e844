#pragma once
// The wall clock: seconds since the Unix epoch and the local civil date and time in a time
// zone (ICU, since the standard library here has no time-zone database). On virtual time it is
// pinned to a chosen instant and moves with the main loop's virtual clock.

#include <optional>
#include <string>

namespace quillmar::runtime {

struct CivilDateTime {
    int year = 1970;
    int month = 1;  // 1...12
    int day = 1;    // 1...31
    int hour = 0;
    int minute = 0;
    double second = 0;
    int weekday = 5;  // 1 = Sunday ... 7 = Saturday

    bool sameDay(const CivilDateTime& o) const { return year == o.year && month == o.month && day == o.day; }
};

class WallClock {
public:
    WallClock();

    // The shared clock of this world.
    static WallClock& shared();

    // Seconds since the Unix epoch.
    double now() const;
    CivilDateTime localNow() const { return civil(now(), timeZone_); }

    // Pins the clock to epochSeconds at the main loop's current virtual instant.
    void setVirtualNow(double epochSeconds);
    // Back to the machine's real clock.
    void useRealTime() { pinned_.reset(); }

    const std::string& timeZone() const { return timeZone_; }
    // An unknown zone id is refused (returns false) and the current zone kept.
    bool setTimeZone(const std::string& ianaId);

    // Civil date and time of an instant in a zone (unknown zones read as UTC).
    static CivilDateTime civil(double epochSeconds, const std::string& ianaId);
    // The instant of a civil date and time in a zone, within its second however the sum rounds;
    // nullopt for an impossible date or time (a 60th second included: instants count no leap
    // seconds), or a year beyond a million either side of year 0.
    static std::optional<double> instant(const CivilDateTime& c, const std::string& ianaId);
    static bool isKnownTimeZone(const std::string& ianaId);

private:
    struct Pin {
        double epoch;
        double media;
    };
    std::optional<Pin> pinned_;
    std::string timeZone_ = "UTC";
};

}  // namespace quillmar::runtime
