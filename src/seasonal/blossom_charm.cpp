#include "seasonal/blossom_charm.h"

#include <cmath>
#include <numbers>

namespace quillmar {

void drawBlossomCharm(gfx::GraphicsContext& context, const gfx::Color& petalColor, double size) {
    if (!std::isfinite(size) || size <= 0) return;
    const double r = 0.44 * size;
    const double d = 0.46 * size;
    constexpr double kDegrees[] = {90, 18, -54, -126, 162};
    gfx::Path petals;
    for (double deg : kDegrees) {
        const double a = deg * std::numbers::pi / 180;
        petals.addEllipse({d * std::cos(a) - r, -d * std::sin(a) - r, 2 * r, 2 * r});
    }
    context.fill(petals, petalColor);
    context.fill(gfx::Path::circle({0, 0}, 0.22 * size), gfx::Color(1.0, 0.88, 0.42));
}

}  // namespace quillmar
