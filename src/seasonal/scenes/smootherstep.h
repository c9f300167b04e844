#pragma once
// The quintic step behind every fade, rise and fall of the seasonal scenes and the settings
// window's illustrations.

#include <cmath>

namespace quillmar {

// The quintic x^3 (x (6x - 15) + 10) itself, for callers that clamp their own ramp.
constexpr double smootherQuintic(double t) { return t * t * t * (t * (6 * t - 15) + 10); }

// 0 at or below edge0, 1 at or above edge1, rising in between with zero slope and zero
// curvature at both edges. A ratio that is not a number counts as 1. An empty or reversed
// interval (edge1 <= edge0) is a hard step at edge1.
inline double smootherstep(double edge0, double edge1, double x) {
    if (!(edge1 > edge0)) return x >= edge1 ? 1.0 : 0.0;
    double t = (x - edge0) / (edge1 - edge0);
    if (std::isnan(t)) t = 1;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return smootherQuintic(t);
}

}  // namespace quillmar
