#pragma once
// The Gregorian calendar in one time zone: the civil day of an instant, instants made from
// civil components, day arithmetic and the same-day test that the wall clock and the date rules
// are written in. Dates are instants in seconds since the Unix epoch (the wall clock's unit).
// The calendar is proleptic (no Julian switch-over) and strict: anything it cannot form (a
// non-finite instant, an impossible date, a year beyond its range) is an absent result, never
// an exception.
//
// One object keeps one ICU calendar that every call reuses, so an object belongs to one thread
// (normally the main thread); a copy makes its own.

#include <memory>
#include <optional>
#include <string>

#include <unicode/uversion.h>

#include "runtime/wall_clock.h"

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace quillmar::runtime {

class GregorianCalendar {
public:
    // The largest instant magnitude, in seconds, the calendar reads (about three million years).
    static constexpr double kLargestInstant = 1e14;

    // An unknown zone id reads as UTC.
    explicit GregorianCalendar(const std::string& timeZone);
    GregorianCalendar(const GregorianCalendar& other);
    GregorianCalendar& operator=(const GregorianCalendar& other);
    ~GregorianCalendar();

    // The calendar in the wall clock's current time zone.
    static GregorianCalendar current();

    const std::string& timeZone() const { return timeZone_; }

    // Civil year, month, day, time and weekday of an instant.
    std::optional<CivilDateTime> components(double date) const;
    // The instant of year-month-day at hour:minute:second; none for an impossible date or time.
    std::optional<double> date(int year, int month, int day, int hour, int minute = 0, int second = 0) const;
    // 12:00:00 of the instant's own civil day (where noon is skipped, the first instant after it).
    std::optional<double> noon(double date) const;
    // The instant `days` civil days later at the same wall time.
    std::optional<double> addingDays(double date, int days) const;
    // Whether two instants fall on the same civil day; false when either has no day.
    bool isSameDay(double a, double b) const;

private:
    std::string timeZone_;
    std::unique_ptr<icu::Calendar> calendar_;
};

}  // namespace quillmar::runtime
