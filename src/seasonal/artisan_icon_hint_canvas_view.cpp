#include "seasonal/artisan_icon_hint_canvas_view.h"

#include <algorithm>
#include <cmath>

#include "platform/accessibility_display_options.h"
#include "seasonal/fade_curve.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/theme_charm.h"
#include "ui/canvas.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using scenes::kPi;


Color gold(bool dark) { return dark ? Color(1.0, 0.91, 0.58) : Color(0.94, 0.74, 0.22); }
Color amber(bool dark) { return dark ? Color(0.90, 0.69, 0.22) : Color(0.78, 0.54, 0.10); }

// The rounded square around the icon grown by g (half on each side).
Path iconRing(double g, double radius) { return Path::roundedRect({12 - g / 2, 12 - g / 2, 48 + g, 48 + g}, radius); }

void drawHint(gfx::GraphicsContext& ctx, const ArtisanIconHintCanvasView& v, double h, bool reduceMotion) {
    const bool dark = v.isDark;
    if (reduceMotion) {
        ctx.stroke(Path::roundedRect({10, 10, 52, 52}, 12.5), gold(dark).opacity(0.52 * std::sin(kPi * h)), 2);
        return;
    }
    const double t = 2.6 * h;

    if (t >= 0.1) {  // ring and halo
        const double a = t - 0.1;
        const double rise = smoothFade(a / 0.64);
        const double pulse = (t > 0.74 && t < 1.32) ? 1 - 0.08 * std::sin(kPi * (t - 0.74) / 0.58) : 1;
        const double grow = smoothFade(a / 2.35);
        const double fall = 1 - smoothFade((t - 1.3) / 1.28);
        const double alpha = rise * pulse * fall;
        const double g = 11 * grow;
        if (alpha > 0) {
            ctx.stroke(iconRing(g, 11.5 + 0.18 * g), gold(dark).opacity(alpha * (dark ? 0.52 : 0.62)), 2.2);
            ctx.stroke(iconRing(g + 9, 14), amber(dark).opacity(alpha * 0.28), 3.5);
        }
    }

    if (t >= 0.1 && t < 1.35) {  // orbiting sparkle
        const double q = clampUnit((t - 0.1) / 1.15);
        const double theta = -2.35 + 3.65 * q;
        const gfx::Point c{36 + 24.5 * std::cos(theta), 36 + 24.5 * std::sin(theta)};
        ctx.fill(scenes::sparklePath(c.x, c.y, 5), gold(dark).opacity(0.92 * std::sin(kPi * q)));
    }

    if (t >= 0.42 && t <= 2.54) {  // the floating charm, and within its window the flake
        const double r = clampUnit((t - 0.42) / 2.12);
        const double x = 55 + 44 * (1 - std::pow(1 - r, 1.65));
        const double y = 16 - 9 * std::sin(kPi * std::pow(r, 0.85)) + 11 * r * r;
        gfx::GraphicsContext charm = ctx;
        charm.opacity = 0.94 * smoothFade(r / 0.16) * (1 - smoothFade((r - 0.56) / 0.44));
        charm.translateBy(x, y);
        charm.rotateBy(1.25 * r - 0.32);
        charm.scaleBy(std::fabs(std::cos(4.3 * r + 0.35)) * 0.62 + 0.38, 1);
        drawThemeCharm(charm, v.egg.canvasTheme, 0, dark, 5.6, std::sin(kPi * r));

        if (t >= 0.54 && t <= 2.28) {
            const double m = clampUnit((t - 0.54) / 1.74);
            gfx::GraphicsContext flake = ctx;
            flake.opacity = 0.88 * std::sin(kPi * m);
            flake.translateBy(52 + 34 * (1 - std::pow(1 - m, 1.5)), 20 - 6.5 * std::sin(kPi * m) + 8 * m * m);
            flake.rotateBy(3.4 * m);
            Path quad;
            quad.addPolygon({{-1.892, -0.748}, {1.98, -1.716}, {2.024, 0.924}, {-0.528, 1.804}});
            flake.fill(quad, gold(dark));
        }
    }
}

void drawBurst(gfx::GraphicsContext& ctx, const ArtisanIconHintCanvasView& v, double b, bool reduceMotion) {
    const bool dark = v.isDark;
    const int level = v.tapBurstLevel;
    const bool strong = level > 1;
    const double fade = 1 - smoothFade(b);
    const double e = reduceMotion ? 4 : (1 - std::pow(1 - b, 2.4)) * (strong ? 22 : 13);
    const Path ring = iconRing(e, 11.5 + 0.2 * e);
    if (strong) {
        ctx.stroke(ring, v.egg.touchTintColor.opacity(0.76 * fade), 2);
    } else {
        ctx.stroke(ring, gold(dark).opacity(0.56 * fade), 1.5);
    }
    if (reduceMotion) return;

    const int n = strong ? 8 : 4;
    const double reach = strong ? 78 : 48;
    const double lift = (strong ? 10 : 5) * std::sin(kPi * b);
    const double ease = (1 - std::exp(-2.8 * b)) / (1 - std::exp(-2.8));
    const double shardFade = 1 - smoothFade((b - 0.28) / 0.72);
    for (int i = 0; i < n; ++i) {
        const double u = spectacleUnit(37 * i + 101 * static_cast<std::int64_t>(level));
        const double angle = -0.85 + i * 1.45 / (n - 1) + (u - 0.5) * 0.22;
        const double d = (0.65 + 0.55 * u) * reach * ease;
        gfx::GraphicsContext shard = ctx;
        shard.opacity = 0.92 * shardFade;
        shard.translateBy(52 + d * std::cos(angle), 28 + 0.55 * d * std::sin(angle) - lift);
        shard.rotateBy(i + 3.8 * b);
        if (strong && i % 3 == 0) {
            drawThemeCharm(shard, v.egg.canvasTheme, i, dark, 4.8, 0.7);
            continue;
        }
        const double w = i % 2 == 0 ? 0.26 : -0.22;
        Path quad;
        quad.addPolygon({{-2.15, -0.85}, {2.5 * (w + 0.64), -1.95}, {2.3, 1.05}, {-2.5 * (0.5 - w), 2.05}});
        shard.fill(quad, gold(dark));
    }
}

}  // namespace

void ArtisanIconHintCanvasView::renderIconHint(gfx::GraphicsContext& context, ui::Size size,
                                               const ArtisanIconHintCanvasView& v, bool reduceMotion) {
    if (!(size.width > 8 && size.height > 8) || !size.isFinite()) return;
    if (v.hintProgress && std::isfinite(*v.hintProgress)) drawHint(context, v, clampUnit(*v.hintProgress), reduceMotion);
    if (v.tapBurstProgress && std::isfinite(*v.tapBurstProgress) && v.tapBurstLevel >= 1)
        drawBurst(context, v, clampUnit(*v.tapBurstProgress), reduceMotion);
}

ui::View ArtisanIconHintCanvasView::body() const {
    const bool reduceMotion = platform::AccessibilityDisplayOptions::shared().shouldReduceMotion();
    const ArtisanIconHintCanvasView copy = *this;
    return ui::Canvas([copy, reduceMotion](gfx::GraphicsContext& context, ui::Size size) {
        renderIconHint(context, size, copy, reduceMotion);
    });
}

}  // namespace quillmar
