#include "settings_ui/checked_number.h"

#include <algorithm>
#include <cmath>

namespace quillmar {

double checkedValue(double value, double lo, double hi) {
    if (hi < lo) std::swap(lo, hi);
    if (std::isnan(value)) return lo;
    return std::clamp(value, lo, hi);
}

std::int64_t checkedWhole(double value, std::int64_t lo, std::int64_t hi) {
    if (hi < lo) std::swap(lo, hi);
    const double v = checkedValue(value, static_cast<double>(lo), static_cast<double>(hi));
    return std::clamp(static_cast<std::int64_t>(std::trunc(v)), lo, hi);
}

}  // namespace quillmar
