#pragma once
// The one way the settings window turns a real number into an index or a count: the whole part
// (towards zero) of the value, kept within [lo, hi]. A value that is not finite gives lo, so a NaN
// travel, an infinite sensitivity or a garbage ratio never reaches an integer conversion.
//
//   checkedWholeNumber(2.9, 0, 4)   -> 2
//   checkedWholeNumber(7.5, 0, 4)   -> 4
//   checkedWholeNumber(-3, 0, 4)    -> 0
//   checkedWholeNumber(NaN, 5, 15)  -> 5
//
// hi below lo gives lo.

#include <cmath>

namespace quillmar {

inline int checkedWholeNumber(double value, int lo, int hi) {
    if (!std::isfinite(value) || hi <= lo) return lo;
    const double whole = std::trunc(value);
    if (whole <= static_cast<double>(lo)) return lo;
    if (whole >= static_cast<double>(hi)) return hi;
    return static_cast<int>(whole);
}

}  // namespace quillmar
