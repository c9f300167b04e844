// The autumn harvest oak dissolve on the About card: a low sun glowing from below the lower-left
// corner with four rays, drifting golden motes, wheat stalks that grow and bend from the pointer,
// tumbling oak leaves and a pumpkin with two acorns that pops up on the right.

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/oak_pieces.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

using scenes::kPi;

const Color kGlowCore = Color::rgb(0.99, 0.95, 0.84);
const Color kSunGold = Color::rgb(1.00, 0.82, 0.46);
const Color kAmber = Color::rgb(0.96, 0.64, 0.20);

struct Frame {
    gfx::GraphicsContext& ctx;
    bool isDark;
    double w, h, p, e;
    Point origin;
    PointerWake& wake;

    double pick(double dark, double light) const { return isDark ? dark : light; }
    WakeDisplacement wakeAt(double x, double y, double maxDisplacement, double strength) const {
        return wake.cursorWakeDisplacement(x, y, origin.x, origin.y, maxDisplacement, strength);
    }
};

void drawSun(const Frame& f) {
    const Point sun{34, f.h + 14};
    const double A = f.pick(0.4, 0.28) * f.e;
    f.ctx.fill(Path::ellipse({-90, f.h + 14 - 124, 248, 248}),
               Shading::radialGradient(Gradient::withStops({{kGlowCore.opacity(A), 0},
                                                            {kSunGold.opacity(0.7 * A), 0.16},
                                                            {kAmber.opacity(0.26 * A), 0.46},
                                                            {kAmber.opacity(0), 1}}),
                                       sun, 0, 124));
    for (int i = 0; i <= 3; ++i) {
        const double theta = -0.14 - 0.115 * i + 0.025 * std::sin(1.9 * i + 2.4 * f.p);
        const double delta = 0.03 + 0.016 * spectacleUnit(17 * i + 2);
        const double o = (0.65 + 0.35 * std::sin(2.2 * i + 3.3 * f.p)) * f.e * f.pick(0.14, 0.09);
        for (const auto& [d, a] : {std::pair{delta, o}, std::pair{0.42 * delta, 0.75 * o}}) {
            const Point left = sun + Point{std::cos(theta - d), std::sin(theta - d)} * 470;
            const Point right = sun + Point{std::cos(theta + d), std::sin(theta + d)} * 470;
            Path ray;
            ray.addPolygon({sun, left, right});
            f.ctx.fill(ray, Shading::linearGradient(Gradient::withStops({{kSunGold.opacity(a), 0},
                                                                         {kAmber.opacity(0.55 * a), 0.4},
                                                                         {kAmber.opacity(0), 1}}),
                                                    sun, (left + right) * 0.5));
        }
    }
}

void drawMotes(const Frame& f) {
    for (int i = 0; i <= 11; ++i) {
        const double drift = f.p * (16 + 24 * spectacleUnit(13 * i + 9));
        double x = f.w * (0.14 + 0.78 * spectacleUnit(7 * i + 3)) + drift;
        double y = f.h * (0.08 + 0.84 * spectacleUnit(11 * i + 5)) - 0.45 * drift + 3 * std::sin(5 * f.p + i);
        const WakeDisplacement w = f.wakeAt(x, y, 30, 1.25);
        x += w.dx;
        y += w.dy;
        const double base = 0.5 + 0.5 * std::sin(9 * f.p + 1.7 * i);
        const double t = f.e * (0.35 + 0.65 * base * base);
        f.ctx.fill(Path::ellipse({x - 3.4, y - 3.4, 6.8, 6.8}), kSunGold.opacity(0.2 * t));
        f.ctx.fill(Path::ellipse({x - 1, y - 1, 2, 2}), (f.isDark ? kGlowCore : kAmber).opacity(t * f.pick(0.88, 0.72)));
    }
}

void drawWheat(const Frame& f) {
    const Color grain = f.isDark ? Color::rgb(0.95, 0.78, 0.40) : Color::rgb(0.85, 0.63, 0.22);
    const Color straw = f.isDark ? Color::rgb(0.82, 0.68, 0.36) : Color::rgb(0.62, 0.50, 0.20);
    for (int i = 0; i <= 7; ++i) {
        const double x = 82 + 38 * i + 12 * (spectacleUnit(19 * i + 23) - 0.5);
        const Point B{x, f.h + 1};
        const double H = (20 + 12 * spectacleUnit(29 * i + 31)) * (x < 215 ? 0.8 : 1.0);
        const double g = smootherstep(0.03 + 0.022 * i, 0.26 + 0.022 * i, f.p);
        if (g <= 0.01) continue;
        const double sway = 3.2 * std::sin(0.9 * i + 4.2 * f.p) + 1.1 * std::sin(2.3 * i + 7.1 * f.p);
        const WakeDisplacement w = f.wakeAt(x + sway, f.h + 1 - H * g, 24, 0.5);
        const Point T{x + sway + 0.55 * w.dx, f.h + 1 - H * g + 0.2 * w.dy};

        Path stalk;
        stalk.move(B);
        stalk.addQuadCurve(T, {x + 0.25 * (T.x - x), (B.y + T.y) / 2 + 3});
        f.ctx.stroke(stalk, straw.opacity(0.85 * f.e), scenes::roundCapStroke(0.9));

        const Point d = T - B;
        const Point u = d * (1 / std::max(std::hypot(d.x, d.y), 1.0));
        const Point nL{u.y, -u.x}, nR{-u.y, u.x};
        Path kernels, awns;
        addHighlightLens(kernels, T - u * 1.2, T + u * (2.6 * g), g);
        for (int k = 0; k <= 4; ++k) {
            const Point C = T - u * (1.4 + 2.3 * g * k);
            const Point L = C + (u * 2.0 + nL * 2.3) * g;
            const Point R = C + (u * 2.0 + nR * 2.3) * g;
            addHighlightLens(kernels, C, L, 0.95 * g);
            addHighlightLens(kernels, C, R, 0.95 * g);
            const double a = g * (6 + 3 * spectacleUnit(31 * i + 7 * k));
            awns.move(L);
            awns.addQuadCurve(L + Point{0.92 * u.x + 0.38 * u.y, 0.92 * u.y - 0.38 * u.x} * a,
                              L + Point{0.5 * u.x + 0.05 * u.y, 0.5 * u.y - 0.05 * u.x} * a);
            const double a2 = g * (6 + 3 * spectacleUnit(31 * i + 7 * k + 1));
            awns.move(R);
            awns.addQuadCurve(R + Point{0.92 * u.x - 0.38 * u.y, 0.92 * u.y + 0.38 * u.x} * a2,
                              R + Point{0.5 * u.x - 0.05 * u.y, 0.5 * u.y + 0.05 * u.x} * a2);
        }
        f.ctx.fill(kernels, grain.opacity(f.e));
        f.ctx.stroke(kernels, straw.opacity(f.pick(0.35, 0.55) * f.e), 0.45);
        f.ctx.stroke(awns, grain.opacity(0.7 * f.e), scenes::roundCapStroke(0.5));
    }
}

void drawFallingLeaves(const Frame& f) {
    for (int i = 0; i <= 2; ++i) {
        const double q = (f.p - (0.08 + 0.17 * i)) / 0.6;
        if (!(q > 0 && q < 1)) continue;
        const double fade = smootherstep(0, 0.12, q) * (1 - smootherstep(0.74, 1, q));
        const double phi = 3 * kPi * q + i;
        double X = f.w * (0.62 + 0.26 * spectacleUnit(41 * i + 7)) - (120 + 28 * i) * q + 14 * std::sin(phi);
        double Y = -10 + 64 * std::pow(q, 0.9) + 6 * std::abs(std::cos(phi));
        const WakeDisplacement w = f.wakeAt(X, Y, 40, 1.0);
        X += w.dx;
        Y += w.dy;
        const double dim = (X > 70 && X < 215 && Y > 17 && Y < 54) ? 0.55 : 1.0;
        const double size = 9.5 + 2.5 * spectacleUnit(53 * i + 3);
        const double sheen = std::pow(std::max(0.0, std::sin(2 * kPi * q + i)), 3);

        gfx::GraphicsContext leaf = f.ctx;
        leaf.opacity *= fade * f.e * dim;
        leaf.translateBy(X, Y);
        leaf.rotateBy(1.6 * i + 2.4 * q + 0.55 * std::sin(phi) + w.spin);
        leaf.scaleBy(0.35 + 0.65 * std::abs(std::cos(2 * kPi * q + 0.8 * i)), 1);
        drawOakLeaf(leaf, i, size, sheen, f.isDark, true);
    }
}

void drawPumpkin(const Frame& f) {
    const double t = std::clamp((f.p - 0.16) / 0.26, 0.0, 1.0);
    const double c = t - 1;
    const double s = 1 + 2.70158 * c * c * c + 1.70158 * c * c;
    if (s <= 0.01) return;
    gfx::GraphicsContext pumpkin = f.ctx;
    pumpkin.opacity *= smootherstep(0.16, 0.24, f.p) * f.e;
    pumpkin.translateBy(374, 67);
    pumpkin.scaleBy(s, s);
    drawPumpkinWithAcorns(pumpkin, f.isDark, f.p);
}

}  // namespace

void drawAutumnHarvestOakDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                  double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double e = smootherstep(0, 0.14, progress) * (1 - smootherstep(0.8, 0.98, progress));
    if (e <= 0.005) return;
    PointerWake& wake = PointerWake::shared();
    const Frame f{context, isDark, width, height, progress, e, wake.aboutCardOriginInWindow, wake};
    drawSun(f);
    drawMotes(f);
    drawWheat(f);
    drawFallingLeaves(f);
    drawPumpkin(f);
}

}  // namespace quillmar
