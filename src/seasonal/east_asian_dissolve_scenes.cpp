// The jade lotus and Korean crane scenes of the dissolve (the lunar new year scene has a file of
// its own).

#include "seasonal/east_asian_dissolve_scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "seasonal/fade_curve.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;


struct Crane { double x, y, travelX, travelY, start, scale; };
constexpr std::array<Crane, 5> kCranes{{{238, 55, 84, -32, 0.05, 1.05},
                                        {278, 63, 76, -34, 0.12, 0.88},
                                        {316, 49, 68, -28, 0.19, 0.96},
                                        {350, 58, 58, -26, 0.25, 0.84},
                                        {58, 22, 56, -12, 0.09, 0.78}}};

}  // namespace

void drawJadeLotusDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height, double p,
                           double emblemX, double emblemY) {
    if (!std::isfinite(p) || !std::isfinite(width) || !std::isfinite(height) || !std::isfinite(emblemX) ||
        !std::isfinite(emblemY))
        return;
    const Color jade = isDark ? Color(0.56, 0.86, 0.75) : Color(0.16, 0.54, 0.43);
    const Color gold = isDark ? Color(0.96, 0.82, 0.44) : Color(0.78, 0.55, 0.12);

    if (p < 0.52) {
        const double k = p / 0.52;
        const double r = 14 + 52 * k;
        const Color ripple = jade.opacity((1 - k) * 0.3);
        context.stroke(Path::circle({36, 36}, r), ripple, 1);
        context.stroke(Path::circle({emblemX, emblemY}, r), ripple, 1);
    }

    const double a = smoothFade((p - 0.04) / 0.18) * (1 - smoothFade((p - 0.64) / 0.34));
    if (a <= 0.01) return;
    gfx::StrokeStyle style;
    style.lineCap = gfx::LineCap::round;
    style.miterLimit = 10;
    for (int j = 0; j < 3; ++j) {
        const double x0 = width * std::max(0.55 * p - 0.18 + 0.05 * j, 0.02);
        const double x1 = width * std::min(0.78 * p + 0.32 + 0.04 * j, 0.96);
        if (!(x1 > x0 + 12)) continue;
        const double y = height * (0.2 + 0.28 * j);
        const double s = 7.5 * std::sin(5 * p + 1.8 * j);
        const double m = (x0 + x1) / 2;
        Path thread;
        thread.move({x0, y});
        thread.addCurve({x1, y - 0.4 * s}, {(x0 + m) / 2, y - s}, {(m + x1) / 2, y + s});
        style.lineWidth = j == 1 ? 1.15 : 1.4;
        context.stroke(thread, (j == 1 ? gold : jade).opacity(a * (isDark ? 0.28 : 0.24)), style);
    }
}

void drawKoreanCranesDissolve(gfx::GraphicsContext& context, bool isDark, double p) {
    if (!std::isfinite(p)) return;
    const Color white(0.96, 0.97, 0.95);
    const Color ink = isDark ? Color(0.38, 0.74, 0.69) : Color(0.18, 0.52, 0.47);
    const Color crown(0.86, 0.22, 0.20);
    for (std::size_t k = 0; k < kCranes.size(); ++k) {
        const Crane& c = kCranes[k];
        if (p < c.start || p > c.start + 0.74) continue;
        const double l = (p - c.start) / 0.74;
        const double kk = static_cast<double>(k);
        gfx::GraphicsContext g = context;
        g.opacity = 0.94 * smoothFade(l / 0.16) * (1 - smoothFade((l - 0.6) / 0.4));
        g.translateBy(c.x + c.travelX * l, c.y + c.travelY * l + 3 * std::sin(5.2 * l + kk));
        g.rotateBy(-0.26);
        g.scaleBy(c.scale, c.scale);
        const double w = std::sin(9.5 * l + 1.4 * kk);

        Path body;
        body.move({-7.5, 0.8});
        body.addQuadCurve({8.5, -1.6}, {0.5, -0.8});
        body.addQuadCurve({-7.5, 0.8}, {0, 2.2});
        body.closeSubpath();
        Path wings;
        wings.move({-0.5, 0});
        wings.addQuadCurve({-4.2, -7.8 - 2.2 * w}, {2.2, -4.5 - 1.2 * w});
        wings.addQuadCurve({-3.2, 0.4}, {-3.6, -3.2});
        wings.move({0.2, 0.6});
        wings.addQuadCurve({-3, 7.2 + 1.8 * w}, {2.4, 4.2 + w});
        wings.addQuadCurve({-2.6, 0.8}, {-2.4, 3.4});

        g.stroke(body, ink.opacity(0.75), 1.5);
        g.stroke(wings, ink.opacity(0.75), 1.4);
        g.fill(body, white);
        g.fill(wings, white);
        g.fill(Path::ellipse({5.2, -2, 1.6, 1.6}), crown);
    }
}

}  // namespace quillmar
