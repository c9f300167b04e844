#include "gfx/color.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {
namespace {
double unit(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : (v > 0 ? 1.0 : 0.0); }
}  // namespace

Color::Color(double r, double g, double b, double a)
    : red(std::isnan(r) ? 0 : unit(r)), green(std::isnan(g) ? 0 : unit(g)),
      blue(std::isnan(b) ? 0 : unit(b)), alpha(std::isnan(a) ? 0 : unit(a)) {}

Color Color::hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1.0};
}

Color Color::opacity(double k) const {
    if (std::isnan(k)) k = 0;
    return {red, green, blue, alpha * unit(k)};
}

Color Color::withAlpha(double a) const { return {red, green, blue, a}; }

Color Color::scaled(double k) const { return {red * k, green * k, blue * k, alpha}; }

Color Color::mix(const Color& o, double t) const {
    t = std::isnan(t) ? 0 : unit(t);
    return {red + (o.red - red) * t, green + (o.green - green) * t, blue + (o.blue - blue) * t,
            alpha + (o.alpha - alpha) * t};
}

}  // namespace quillmar::gfx
