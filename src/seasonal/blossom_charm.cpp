#include "seasonal/blossom_charm.h"

#include <cmath>
#include <numbers>

namespace quillmar {

void drawBlossomCharm(gfx::GraphicsContext& context, const gfx::Color& petalColor, double size) {
    if (!std::isfinite(size) || size <= 0) return;
    const double r = 0.44 * size;
    const double d = 0.46 * size;
    constexpr double kDegrees[] = {90, 18, -54, -126, 162};
    // Each petal is a fill of its own: where the context is faded, overlapping petals show
    // through each other.
    for (double deg : kDegrees) {
        const double a = deg * std::numbers::pi / 180;
        context.fill(gfx::Path::circle({d * std::cos(a), -d * std::sin(a)}, r), petalColor);
    }
    context.fill(gfx::Path::circle({0, 0}, 0.22 * size), gfx::Color(1.0, 0.88, 0.42));
}

}  // namespace quillmar
