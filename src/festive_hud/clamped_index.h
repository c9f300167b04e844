#pragma once
// Turning a number into a table index without ever leaving the table. Particle seeds, kinds,
// selection indices and rotation counters all end up indexing fixed tables; a NaN, an infinity
// or a value past either end must land on a valid row instead of reading out of bounds.
//
//   clampedIndex(2.7, 4)   -> 2      (integer part)
//   clampedIndex(9, 4)     -> 3      (past the end: last row)
//   clampedIndex(-1, 4)    -> 0
//   clampedIndex(NaN, 4)   -> 0
//   wrappedIndex(4.0, 4)   -> 0      (integer part modulo the count)
//   wrappedIndex(-1, 11)   -> 10     (never negative)
//
// A count of 0 gives 0: callers must not index an empty table.

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace quillmar {

inline std::size_t clampedIndex(std::int64_t value, std::size_t count) {
    if (count == 0 || value <= 0) return 0;
    const auto v = static_cast<std::uint64_t>(value);
    return v >= count ? count - 1 : static_cast<std::size_t>(v);
}

inline std::size_t clampedIndex(double value, std::size_t count) {
    if (count == 0 || !(value > 0)) return 0;  // also NaN
    const double whole = std::trunc(value);
    if (whole >= static_cast<double>(count - 1)) return count - 1;  // also +infinity
    return static_cast<std::size_t>(whole);
}

inline std::size_t wrappedIndex(std::int64_t value, std::size_t count) {
    if (count == 0) return 0;
    const auto n = static_cast<std::int64_t>(count);
    const std::int64_t r = value % n;
    return static_cast<std::size_t>(r < 0 ? r + n : r);
}

inline std::size_t wrappedIndex(double value, std::size_t count) {
    if (count == 0 || !std::isfinite(value)) return 0;
    const double r = std::fmod(std::trunc(value), static_cast<double>(count));
    const double positive = r < 0 ? r + static_cast<double>(count) : r;
    return clampedIndex(positive, count);
}

}  // namespace quillmar
