#include "seasonal/scenes/stpat_flourishes.h"

#include <cmath>
#include <vector>

#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/stpat_coin.h"
#include "seasonal/scenes/stpat_rainbow.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using gfx::Point;

using scenes::kPi;

// One pass of the trefoil: a three-lobed outline traced clockwise from its top.
Path trefoilPass(double ax, double ay, double phase, int whole, double frac) {
    auto point = [&](int k) {
        const double theta = 2 * kPi * k / 96;
        const double r = 27 + 4.6 * std::cos(3 * theta + phase);
        return Point{ax + r * std::cos(theta - kPi / 2), ay + r * std::sin(theta - kPi / 2)};
    };
    std::vector<Point> points;
    points.reserve(whole + 2);
    for (int k = 0; k <= whole; ++k) points.push_back(point(k));
    if (whole <= 95) {
        const Point a = point(whole), b = point(whole + 1);
        points.push_back(a + (b - a) * frac);
    }
    Path path;
    path.addLines(points);
    return path;
}

}  // namespace

void drawStPatricksEmblemSparkles(gfx::GraphicsContext& context, double p, const StpatPalette& palette, double ex,
                                  double ey) {
    if (!(p < 0.18)) return;
    constexpr double kDelays[] = {0, 0.02, 0.04};
    constexpr double kAngles[] = {1.35, 0.93, 0.51};
    for (int k = 0; k < 3; ++k) {
        const double t = (p - kDelays[k]) / 0.13;
        if (!(t > 0 && t < 1)) continue;
        const double a = std::sin(kPi * t);
        const double d = 12 + 50 * (1 - std::pow(1 - t, 2.2));
        const Point centre{ex + d * std::cos(kAngles[k]), ey - d * std::sin(kAngles[k])};
        context.fill(fourPointSparklePath(centre, 3.2 + 2.4 * (1 - t)), palette.goldHi.opacity(0.92 * a));
    }
}

void drawTrefoilTrace(gfx::GraphicsContext& context, double p, const StpatPalette& palette, bool isDark, double ax,
                      double ay) {
    const double e = smootherstep(0.40, 0.62, p);
    const double a = 1 - smootherstep(0.76, 0.86, p);
    if (!(e > 0.005 && a > 0.01)) return;
    const double n = 96 * e;
    const int whole = static_cast<int>(std::floor(n));
    const double frac = n - whole;

    gfx::GraphicsContext ctx = context;
    ctx.opacity *= a;

    const double g = smootherstep(0.60, 0.68, p);
    if (g > 0.01) {
        const double pulse = 0.6 + 0.4 * std::sin(40 * p);
        ctx.fill(Path::circle({ax, ay}, 39),
                 gfx::Shading::radialGradient(
                     gfx::Gradient::colors({Color::clear(), palette.gold.opacity(pulse * g * (isDark ? 0.3 : 0.22)),
                                            Color::clear()}),
                     {ax, ay}, 17, 39));
    }

    const struct {
        double phase;
        Color accent;
    } passes[] = {{0, palette.gold}, {kPi, palette.goldHi}};
    for (const auto& pass : passes) {
        if (whole < 1) continue;
        const Path outline = trefoilPass(ax, ay, pass.phase, whole, frac);
        ctx.stroke(outline, palette.emeraldDeep.opacity(0.9), scenes::roundStroke(3.4));
        ctx.stroke(outline, pass.accent, scenes::roundStroke(1.7));
        if (e < 0.995) {
            // The pen head rides on the outline's last point (the centre when it has none).
            const Point head = outline.hasCurrentPoint() ? outline.currentPoint() : Point{ax, ay};
            ctx.fill(fourPointSparklePath(head, 6), palette.cream.opacity(0.9));
        }
    }

    if (g > 0.01) {
        const Point tips[] = {{ax, ay - 31.6}, {ax + 27.3664, ay + 15.8}, {ax - 27.3664, ay + 15.8}};
        const double phases[] = {0, 2.1, 4.2};
        for (int k = 0; k < 3; ++k) {
            const double s = 0.5 + 0.5 * std::sin(36 * p + phases[k]);
            ctx.fill(fourPointSparklePath(tips[k], 2.5 + 3.5 * s), palette.cream.opacity((0.4 + 0.6 * s) * g));
        }
    }
}

void drawMusicNotes(gfx::GraphicsContext& context, double h, double p, const StpatPalette& palette, bool isDark,
                    double fade) {
    const Color col = isDark ? palette.cream : palette.emeraldDeep;
    const Path head = Path::ellipse({-2.9, -1.9, 5.8, 3.8});
    for (int i = 0; i <= 6; ++i) {
        const double t = (p - (0.5 + 0.052 * i)) / 0.26;
        if (!(t > 0 && t < 1)) continue;
        const double env = (1 - smootherstep(0, 1, (t - 0.58) / 0.42)) * fade;
        if (!(env > 0.01)) continue;
        const double u1 = spectacleUnit(701 + i * 47);
        const double u2 = spectacleUnit(709 + i * 59);
        const double c = std::min(t / 0.16, 1.0) - 1;
        const double pop = 1 + 2.70158 * c * c * c + 1.70158 * c * c;
        const double rise = 1 - std::pow(1 - t, 1.8);
        const double x = 50 + 160 * u1 + 8 * std::sin(6 * t + i);
        const double y = h - 70 - 22 * u2 - (84 + 52 * u2) * rise;

        gfx::GraphicsContext note = context;
        note.opacity *= env;
        note.translateBy(x, y);
        note.rotateBy(0.16 * std::sin(4 * t + i));
        note.scaleBy(0.95 * pop, 0.95 * pop);

        if (i % 3 == 1) {
            gfx::GraphicsContext second = note;
            second.translateBy(8.4, -1.6);
            second.rotateBy(-0.45);
            second.fill(head, col);
            Path stems;
            stems.move(2.4, -0.8);
            stems.addLine(2.4, -11.5);
            stems.move(10.8, -2.4);
            stems.addLine(10.8, -13.1);
            note.stroke(stems, col, scenes::roundCapStroke(0.9));
            note.stroke(Path::line({2.4, -11.5}, {10.8, -13.1}), col, scenes::roundCapStroke(2.3));
        } else {
            Path stem;
            stem.move(2.4, -0.8);
            stem.addLine(2.4, -11.6);
            stem.addCurve({6.4, -5.4}, {3.2, -10.2}, {7.2, -8.6});
            note.stroke(stem, col, scenes::roundStroke(0.95));
        }
        gfx::GraphicsContext headCtx = note;
        headCtx.rotateBy(-0.45);
        headCtx.fill(head, col);
        if (i % 2 == 0) {
            note.fill(fourPointSparklePath({-5.5, -9}, 2.6), palette.goldHi.opacity(0.8 * std::sin(kPi * t)));
        }
    }
}

void drawRainbowTwinkles(gfx::GraphicsContext& context, double p, const StpatPalette& palette, bool isDark,
                         double fade, double cx, double cy) {
    const double grow = rainbowGrow(p);
    const double tail = rainbowTail(p);
    const double potIn = smootherstep(0.34, 0.44, p);
    const double dim = isDark ? 0.95 : 0.85;
    PointerWake& wake = PointerWake::shared();
    for (int i = 0; i <= 27; ++i) {
        const double ua = spectacleUnit(97 + i * 23);
        const double ub = spectacleUnit(41 + i * 31);
        const double uc = spectacleUnit(3 + i * 79);
        const double ud = spectacleUnit(9 + i * 47);
        Point point;
        double a = 0;
        if (i < 20) {
            // Beside the rainbow, outside the arc, each lit just after the growing arc passes it.
            const double s = 0.1 + 0.86 * ua;
            if (!(s > tail + 0.02)) continue;
            const RainbowArcSample arc = rainbowArcPoint(s);
            const double offset = 26 + 46 * ub;
            point = {arc.x + arc.nx * offset, arc.y + arc.ny * offset - 10 * p};
            a = smootherstep(0, 1, (grow - (s + 0.01)) / 0.05);
        } else {
            const double angle = (ua - 0.5) * 2.6 - kPi / 2;
            const double distance = 30 + 70 * ub;
            point = {cx + distance * std::cos(angle), cy - 34 + 0.9 * distance * std::sin(angle) - 30 * p};
            a = potIn;
        }
        if (!(a > 0.01)) continue;
        const double base = 0.5 + 0.5 * std::sin((26 + 18 * ud) * p + 1.7 * i);
        const double tw = 0.35 + 0.65 * base * base;
        const double opacity = a * tw * fade * dim;
        // Once the spectacle has faded out the stars are not drawn at all.
        if (!(opacity > 0)) continue;
        const WakeDisplacement w = wake.cursorWakeDisplacement(point.x, point.y, 0, 0, 44, 0.9);
        context.fill(fourPointSparklePath({point.x + w.dx, point.y + w.dy}, (2.6 + 3.4 * uc) * (0.7 + 0.3 * tw)),
                     (i % 3 == 0 ? palette.mint : palette.goldHi).opacity(opacity));
    }
}

}  // namespace quillmar
