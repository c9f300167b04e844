#include "gfx/filter.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {
namespace {
double clean(double v, double fallback = 0) { return std::isfinite(v) ? v : fallback; }
}  // namespace

Filter Filter::shadow(const Color& color, double radius, double x, double y) {
    Filter f;
    f.kind = Kind::shadow;
    f.color = color;
    f.radius = std::max(0.0, clean(radius));
    f.x = clean(x);
    f.y = clean(y);
    return f;
}

Filter Filter::blur(double radius) {
    Filter f;
    f.kind = Kind::blur;
    f.radius = std::max(0.0, clean(radius));
    return f;
}

Filter Filter::saturation(double amount) {
    Filter f;
    f.kind = Kind::saturation;
    f.amount = std::max(0.0, clean(amount, 1));
    return f;
}

}  // namespace quillmar::gfx
