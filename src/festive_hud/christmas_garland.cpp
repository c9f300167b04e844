#include "festive_hud/christmas_garland.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/christmas_glow.h"
#include "festive_hud/festive_paint.h"
#include "festive_hud/hud_festive_state.h"

namespace quillmar {

namespace {

using namespace festive_paint;

constexpr double kEdgeInset = 1.6;     // runs lie this far inside their edge
constexpr double kSwagLength = 44;
constexpr double kSag = 4.35;          // control-point depth of a swag
constexpr double kBulbDrop = 2.16;     // the rope's lowest point below the run
constexpr double kBowGap = 50;
constexpr double kShortestRun = 26;
constexpr double kBulbLean = 0.16;

// What every run of one frame shares.
struct GarlandFrame {
    gfx::GraphicsContext& context;
    bool isDark;
    double width, height, time, now;
    std::span<const ChristmasGlowSample> trail;
    bool isVertical;
    int nextBulb = 0;
};

double length(Point v) { return std::hypot(v.x, v.y); }

void drawGarlandRun(GarlandFrame& f, Point p0, Point p1, Point inward, double hangAngle) {
    const double L = length(p1 - p0);
    if (!(L >= kShortestRun)) return;
    const int swags = std::max(1, static_cast<int>(std::round(L / kSwagLength)));
    const double step = L / swags;
    const Point u = (p1 - p0) * (1 / L);
    Path rope;
    Path needles;
    rope.move(p0);
    for (int i = 0; i < swags; ++i) {
        const Point S = p0 + u * (i * step);
        const Point E = p0 + u * ((i + 1) * step);
        const Point C = p0 + u * ((i + 0.5) * step) + inward * kSag;
        rope.addQuadCurve(E, C);
        // Three needles per swag, leaning back, forward, back, all pointing inward.
        const Point b1 = S * 0.5625 + C * 0.375 + E * 0.0625;
        const Point b2 = S * 0.25 + C * 0.5 + E * 0.25;
        const Point b3 = S * 0.0625 + C * 0.375 + E * 0.5625;
        needles.move(b1);
        needles.addLine(b1 - u * 2.4 + inward * 1.3);
        needles.move(b2);
        needles.addLine(b2 + u * 2.4 + inward * 1.3);
        needles.move(b3);
        needles.addLine(b3 - u * 2.4 + inward * 1.3);
    }
    auto& c = f.context;
    c.stroke(rope, rgb(0.05, 0.24, 0.13, f.isDark ? 0.78 : 0.88), stroke(1.35));
    c.stroke(needles, rgb(0.16, 0.54, 0.3, f.isDark ? 0.75 : 0.85), stroke(0.75));
    c.stroke(rope, rgb(0.88, 0.7, 0.3, f.isDark ? 0.55 : 0.7), stroke(0.5));  // the gold thread
    for (int i = 0; i < swags; ++i) {
        const Point q = p0 + u * ((i + 0.5) * step) + inward * kBulbDrop;
        const double glow = christmasGlowIntensity(f.trail, f.isVertical, q.x, q.y, f.width, f.height, f.now);
        const int k = f.nextBulb++;
        drawChristmasBulb(c, k, f.isDark, q.x, q.y, hangAngle + (k % 2 == 0 ? kBulbLean : -kBulbLean), f.time, glow);
    }
}

}  // namespace

const std::array<ChristmasBulbColors, 5>& christmasBulbPalette() {
    static const std::array<ChristmasBulbColors, 5> palette{{
        {{1, 0.99, 0.9}, {1, 0.82, 0.28}, {0.76, 0.44, 0.03}, {1, 0.8, 0.22}},       // amber
        {{1, 0.92, 0.94}, {0.98, 0.22, 0.32}, {0.56, 0.03, 0.1}, {1, 0.18, 0.3}},    // red
        {{0.9, 1, 0.94}, {0.18, 0.86, 0.44}, {0.03, 0.42, 0.17}, {0.16, 0.84, 0.4}},  // green
        {{0.92, 0.98, 1}, {0.34, 0.74, 1}, {0.05, 0.31, 0.68}, {0.28, 0.68, 1}},      // blue
        {{1, 0.95, 0.88}, {1, 0.56, 0.16}, {0.66, 0.21, 0.02}, {1, 0.52, 0.12}},      // orange
    }};
    return palette;
}

void drawChristmasGarland(gfx::GraphicsContext& context, bool isDark, double W, double H, double r, double time,
                          double now) {
    const auto& festive = HUDFestiveState::shared();
    GarlandFrame f{context, isDark, W, H, time, now, festive.christmasGlowTrail(), festive.geometry.isVertical};
    const double a = std::max(r + 8, 24.0);
    const double down = kPi / 2;
    // Drawn top, bottom, left, right; together they go round the bar clockwise.
    if (W >= 150) {
        if (W / 2 - kBowGap / 2 - a >= 28) {
            drawGarlandRun(f, {a, kEdgeInset}, {W / 2 - kBowGap / 2, kEdgeInset}, {0, 1}, down);
            drawGarlandRun(f, {W / 2 + kBowGap / 2, kEdgeInset}, {W - a, kEdgeInset}, {0, 1}, down);
        }
    } else if (W - 2 * a >= 28) {
        drawGarlandRun(f, {a, kEdgeInset}, {W - a, kEdgeInset}, {0, 1}, down);
    }
    if (W - 2 * a >= 32) drawGarlandRun(f, {W - a, H - kEdgeInset}, {a, H - kEdgeInset}, {0, -1}, -down);
    if (H - 2 * a >= 34) {
        drawGarlandRun(f, {kEdgeInset, H - a}, {kEdgeInset, a}, {1, 0}, 0);
        drawGarlandRun(f, {W - kEdgeInset, a}, {W - kEdgeInset, H - a}, {-1, 0}, kPi);
    }
}

void drawChristmasBulb(gfx::GraphicsContext c, int index, bool isDark, double x, double y, double angle, double time,
                       double glow) {
    const double g = std::isfinite(glow) ? std::clamp(glow, 0.0, 1.0) : 0.0;
    const double tw = 0.5 + 0.5 * std::sin(1.85 * time + 1.47 * index);
    const double m = isDark ? 1.0 : 1.25;  // outlines stronger on a light bar
    const auto& colors = christmasBulbPalette()[wrappedIndex(static_cast<std::int64_t>(index), 5)];
    auto with = [](const Color& c, double opacity) { return c.withAlpha(alpha(opacity, 1)); };
    c.translateBy(x, y);
    c.rotateBy(angle);  // the bulb's axis is +x, its cap on the rope at the origin

    const double h = (isDark ? 0.14 : 0.11) * (0.7 + 0.18 * tw) + (isDark ? 0.21 : 0.18) * g;
    const double R = 6.4 + 4.4 * g;
    c.fill(Path::circle({3.1, 0}, R), radialStops({{rgb(1, 0.96, 0.86, 0.48 * h * g), 0}, {with(colors.halo, h), 0.24},
                                                   {with(colors.halo, 0.36 * h), 0.55}, {with(colors.halo, 0), 1}},
                                                  {3.1, 0}, R));
    const Path cap = Path::roundedRect({-0.1, -1, 1.55, 2}, 0.35);
    c.fill(cap, linear({rgb(0.98, 0.86, 0.48, 0.96), rgb(0.58, 0.38, 0.08, 0.96)}, {0, -1}, {0, 1}));
    c.stroke(cap, rgb(0.24, 0.14, 0.02, std::min(0.8 * m, 1.0)), stroke(0.35));
    Path glass;
    glass.move(1.25, -0.82);
    glass.addCurve({5.55, 0}, {2.35, -1.92}, {4.45, -1.18});
    glass.addCurve({1.25, 0.82}, {4.45, 1.18}, {2.35, 1.92});
    glass.closeSubpath();
    c.fill(glass, radialStops({{with(colors.highlight, std::min(0.94 + 0.06 * g, 1.0)), 0},
                               {with(colors.body, std::min(0.94 + 0.05 * g, 1.0)), 0.5 + 0.08 * g},
                               {with(colors.rim, 0.95), 1}},
                              {2.75, -0.28}, 2.95));
    c.stroke(glass, with(darkened(colors.rim, 0.45), std::min(0.72 * m, 1.0)), stroke(0.42));
    const double pulse = 0.7 + 0.18 * tw;
    c.fill(Path::circle({2.85, 0}, (0.6 + 0.3 * g) * pulse), rgb(1, 0.99, 0.92, 0.75 * pulse + 0.25 * g));
    c.fill(ellipseIn(2.15, -0.92, 1.25, 0.52), rgb(1, 1, 1, std::min(0.8 + 0.12 * g, 1.0)));
}

}  // namespace quillmar
