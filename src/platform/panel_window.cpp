#include "platform/panel_window.h"

#include <algorithm>
#include <cmath>

namespace quillmar::platform {

namespace {
double bezier(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
}
}  // namespace

double TimingCurve::value(double t) const {
    if (!std::isfinite(t) || t <= 0) return 0;
    if (t >= 1) return 1;
    // Solve x(s) = t by bisection (x is monotonic for control points inside 0...1).
    double lo = 0, hi = 1, s = t;
    for (int i = 0; i < 40; ++i) {
        s = (lo + hi) / 2;
        if (bezier(c1x, c2x, s) < t) lo = s;
        else hi = s;
    }
    return bezier(c1y, c2y, s);
}

}  // namespace quillmar::platform
