// The fireworks dissolve on the About card: three small bursts over the card, the last one on
// the emblem, and golden sparkles that drift upward and shy away from the pointer.

#include <array>
#include <cmath>

#include "seasonal/scenes/firework_burst.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderer.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawFireworksDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                           double progress, double centerX, double centerY) {
    if (!spectacleFrameIsDrawable(width, height, progress) || !std::isfinite(centerX) || !std::isfinite(centerY))
        return;
    const double p = progress;
    PointerWake& wake = PointerWake::shared();
    const gfx::Point origin = wake.aboutCardOriginInWindow;

    const std::array<FireworkBurst, 3> bursts{{
        {0, 0, 118, 24, 0.06, 0, 0.34, 26, 18, 0},
        {1, 0, 258, 30, 0.24, 0, 0.36, 30, 20, 1},
        {2, 0, centerX, centerY, 0.44, 0, 0.40, 34, 16, 0},
    }};
    for (int i = 0; i < 3; ++i) {
        const FireworkBurst& b = bursts[static_cast<std::size_t>(i)];
        const FireworkColors colors = fireworksColors(b.colorIndex, isDark);
        const double b0 = b.start + 0.014;
        if (!(p >= b0 && p < b0 + b.duration)) continue;
        const double t = (p - b0) / b.duration;
        if (t < 0.24) {
            const double a = std::pow(1 - t / 0.24, 1.7) * (isDark ? 0.55 : 0.46);
            const double r = b.size * t * 1.1 + 10;
            context.fill(scenes::circlePath(b.x, b.y, r),
                         scenes::radialShading({b.x, b.y}, r, {colors.glint.opacity(a), colors.primary.opacity(a * 0.45),
                                                               colors.primary.opacity(0)}));
        }
        drawFireworkBurst(context, b, colors, i + 21, b.x, b.y, t, 0.5, origin.x, origin.y, isDark);
    }

    const gfx::Color gold = fireworksColors(0, isDark).primary;
    for (int j = 0; j < 22; ++j) {
        const double s = 0.34 * spectacleUnit(17 * j + 5);
        const double d = 0.5 + 0.34 * spectacleUnit(29 * j + 11);
        const double tau = (p - s) / d;
        if (!(tau > 0 && tau < 1)) continue;
        const double a = std::sin(scenes::kPi * tau) * 0.8;
        double x = (0.08 + 0.84 * spectacleUnit(41 * j + 3)) * width + 6 * std::sin(j + 5 * tau);
        double y = (0.95 - (0.55 + 0.36 * spectacleUnit(53 * j + 7)) * tau) * height;
        const double r = 1.4 + 1.8 * spectacleUnit(67 * j + 9);
        const WakeDisplacement push = wake.cursorWakeDisplacement(x, y, origin.x, origin.y, 30, 1.0);
        x += push.dx;
        y += push.dy;
        if (j % 3 == 0)
            context.fill(scenes::sparklePath(x, y, 1.7 * r), gold.opacity(a));
        else
            context.stroke(scenes::circlePath(x, y, r), gold.opacity(a * 0.8), 0.8);
    }
}

}  // namespace quillmar
