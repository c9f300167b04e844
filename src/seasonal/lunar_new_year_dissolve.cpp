// The lunar new year scene of the dissolve: cloud curls drifting right, a golden dragon that
// rises from the lower left, swoops through the card and leaves past the right edge chasing a
// pearl, spark bursts (the last one on the emblem) and spinning coins and gold ingots.

#include <algorithm>
#include <array>
#include <cmath>

#include "seasonal/east_asian_dissolve_scenes.h"
#include "seasonal/fade_curve.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/scene_shapes.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using scenes::kPi;


struct Palette {
    Color gold, paleGold, deepGold, red;
    double cloud;
};
Palette palette(bool dark) {
    if (dark) return {Color(0.95, 0.76, 0.28), Color(1.0, 0.94, 0.66), Color(0.76, 0.52, 0.14), Color(0.96, 0.27, 0.22), 0.34};
    return {Color(0.80, 0.56, 0.11), Color(0.94, 0.75, 0.24), Color(0.62, 0.39, 0.07), Color(0.84, 0.18, 0.15), 0.28};
}

struct Cloud { double x, y, start, end, scale; };
constexpr std::array<Cloud, 5> kClouds{{{86, 12, 0.08, 0.64, 0.85},
                                        {196, 11, 0.16, 0.74, 0.9},
                                        {288, 52, 0.24, 0.86, 1.05},
                                        {352, 22, 0.34, 0.92, 0.95},
                                        {396, 56, 0.44, 0.96, 0.85}}};
struct Burst { double x, y, start, length, reach; int sparks; };
struct Coin { double x, y, start; bool isIngot; };
constexpr std::array<Coin, 6> kCoins{{{268, 56, 0.16, false},
                                      {308, 46, 0.22, true},
                                      {336, 58, 0.28, false},
                                      {366, 44, 0.32, true},
                                      {390, 56, 0.36, false},
                                      {62, 54, 0.18, true}}};

gfx::StrokeStyle style(double width, gfx::LineCap cap = gfx::LineCap::round, gfx::LineJoin join = gfx::LineJoin::miter) {
    return gfx::StrokeStyle{width, cap, join};
}

Point bezier(Point a, Point b, Point c, Point d, double t) {
    const double m = 1 - t;
    return a * (m * m * m) + b * (3 * m * m * t) + c * (3 * m * t * t) + d * (t * t * t);
}
Point bezierDerivative(Point a, Point b, Point c, Point d, double t) {
    const double m = 1 - t;
    return (b - a) * (3 * m * m) + (c - b) * (6 * m * t) + (d - c) * (3 * t * t);
}

void drawClouds(gfx::GraphicsContext& ctx, const Palette& pal, double p) {
    Path curl;
    curl.move({-16, 3});
    curl.addQuadCurve({-4, 2}, {-10, 4});
    curl.addCurve({6, -3}, {-3, -5}, {5, -6});
    curl.addCurve({1, 1}, {7, 0}, {3, 2});
    curl.addQuadCurve({14, 2.5}, {8, 3.5});
    for (const Cloud& c : kClouds) {
        if (p < c.start || p > c.end) continue;
        const double l = (p - c.start) / (c.end - c.start);
        gfx::GraphicsContext g = ctx;
        g.opacity = std::sin(kPi * l) * pal.cloud;
        g.translateBy(c.x + 18 * l, c.y);
        g.scaleBy(c.scale, c.scale);
        g.stroke(curl, pal.gold, style(1.15));
    }
}

double dragonHalfWidth(double s) {
    if (s < 0.09) return 2.2 + 1.8 * s / 0.09;
    if (s < 0.28) return 4 + 0.5 * (s - 0.09) / 0.19;
    return 4.5 * std::pow(std::max(0.0, 1 - (s - 0.28) / 0.72), 1.42);
}

void drawDragonHead(gfx::GraphicsContext& ctx, const Palette& pal, const DragonSpinePoint& snout, double alpha,
                    double p) {
    gfx::GraphicsContext g = ctx;
    g.opacity = 0.98 * alpha;
    g.translateBy(snout.point.x, snout.point.y);
    g.rotateBy(std::atan2(snout.direction.y, snout.direction.x));
    Path head;
    head.move({-3.2, -2.8});
    head.addQuadCurve({4.5, -4.2}, {1, -5.4});
    head.addQuadCurve({10.6, -2.4}, {8.6, -4.8});
    head.addQuadCurve({8, 0.2}, {10.8, -0.3});
    head.addLine({2.2, -0.2});
    head.addLine({7.4, 2.3});
    head.addQuadCurve({-2.8, 2.6}, {2.4, 3.6});
    head.closeSubpath();
    g.fill(head, pal.gold);
    g.stroke(head, pal.paleGold, 0.85);

    Path horn;
    horn.move({0.5, -3.6});
    horn.addQuadCurve({-8.8, -8.6}, {-7.8, -3.2});
    horn.move({-6.4, -3.6});
    horn.addLine({-5.8, -9.8});
    g.stroke(horn, pal.paleGold, style(1.05));

    const double wave = std::sin(18 * p);
    Path whiskers;
    whiskers.move({9.6, -0.6});
    whiskers.addCurve({20, -5 + 3 * wave}, {13, -1.5 + 2 * wave}, {16, -6 - 2 * wave});
    whiskers.move({8.4, 1.6});
    whiskers.addCurve({18.5, 5.5 - 3 * wave}, {12, 3 - 2 * wave}, {15, 7 + 2 * wave});
    g.stroke(whiskers, pal.paleGold.opacity(0.9), style(0.78));

    g.fill(Path::ellipse({4.2, -3.3, 1.7, 1.3}), Color::whiteColor());
}

void drawDragon(gfx::GraphicsContext& ctx, const Palette& pal, bool dark, double w, double h, double p) {
    if (p < 0.03 || p > 0.88) return;
    const double q = clampUnit((p - 0.03) / 0.8);
    // The head keeps its jump at q = 0.5: the second half of the chase starts ahead.
    const double hp = q < 0.5 ? 0.5 * q + q * q : 1 - 0.35 * (2 - 2 * q) * (2 - 2 * q);
    const double head = std::clamp(hp, 0.02, 1.0);
    const double tail = std::clamp(hp - 0.33, 0.0, 0.67);
    if (!(head - tail > 0.015)) return;
    const double alpha = smoothFade((p - 0.03) / 0.08) * (1 - smoothFade((p - 0.74) / 0.14));

    constexpr int kSamples = 38;
    std::array<DragonSpinePoint, kSamples> spine;
    std::array<double, kSamples> half;
    for (int i = 0; i < kSamples; ++i) {
        const double s = i / 37.0;
        const double t = std::max(0.0, std::min(head - (head - tail) * s, 1.0));
        spine[i] = lunarDragonSpine(t, p, w, h);
        half[i] = dragonHalfWidth(s);
    }

    Path centre, left, right, outline;
    for (int i = 0; i < kSamples; ++i) {
        const Point c = spine[i].point;
        const Point l = c + spine[i].normal * half[i];
        if (i == 0) {
            centre.move(c);
            left.move(l);
            outline.move(l);
        } else {
            centre.addLine(c);
            left.addLine(l);
            outline.addLine(l);
        }
    }
    for (int i = kSamples - 1; i >= 0; --i) {
        const Point r = spine[i].point - spine[i].normal * half[i];
        outline.addLine(r);
        if (i == kSamples - 1) right.move(r); else right.addLine(r);
    }
    outline.closeSubpath();

    ctx.stroke(centre, pal.gold.opacity((dark ? 0.24 : 0.18) * alpha), style(11.5, gfx::LineCap::round, gfx::LineJoin::round));
    ctx.fill(outline, pal.gold.opacity(0.95 * alpha));
    ctx.stroke(left, pal.paleGold.opacity(alpha), style(1.05, gfx::LineCap::round, gfx::LineJoin::round));
    ctx.stroke(right, pal.deepGold.opacity(0.85 * alpha), style(0.85, gfx::LineCap::round, gfx::LineJoin::round));

    for (int i = 2; i <= 32; i += 2) {
        const double hw = half[i];
        if (!(hw > 1.1)) continue;
        gfx::GraphicsContext g = ctx;
        g.translateBy(spine[i].point.x, spine[i].point.y);
        g.rotateBy(std::atan2(spine[i].direction.y, spine[i].direction.x));
        Path scale;
        scale.addArc({0, 0}, 0.66 * hw, gfx::Angle::radians(2.181661565), gfx::Angle::radians(4.101523742), false);
        g.stroke(scale, pal.paleGold.opacity(0.88 * alpha), style(0.85, gfx::LineCap::butt));
        if (i % 4 == 0) {
            Path spike;
            spike.move({0, -0.9 * hw});
            spike.addQuadCurve({-1.9 * hw, -2 * hw}, {-0.6 * hw, -2.1 * hw});
            g.stroke(spike, pal.paleGold.opacity(0.82 * alpha), style(0.9));
        }
    }

    drawDragonHead(ctx, pal, spine[0], alpha, p);

    const auto pearl = lunarDragonSpine(std::min(head + 0.036, 1.0), p, w, h).point;
    const double pulse = 1 + 0.15 * std::sin(24 * p);
    ctx.fill(Path::circle(pearl, 7.6 * pulse), Color(1.0, 0.72, 0.24).opacity((dark ? 0.34 : 0.28) * alpha));
    ctx.fill(Path::circle(pearl, 4.2 * pulse), pal.paleGold.opacity(alpha));
    ctx.fill(Path::circle(pearl, 2.1), Color(1.0, 0.99, 0.92).opacity(alpha));
}

void drawBursts(gfx::GraphicsContext& ctx, const Palette& pal, double p, double ex, double ey) {
    const std::array<Burst, 5> bursts{{{52, 18, 0.05, 0.28, 22, 12},
                                       {292, 19, 0.21, 0.30, 26, 14},
                                       {344, 51, 0.35, 0.30, 24, 12},
                                       {378, 17, 0.48, 0.30, 27, 14},
                                       {ex, ey, 0.58, 0.34, 34, 18}}};
    for (std::size_t b = 0; b < bursts.size(); ++b) {
        const Burst& burst = bursts[b];
        if (p < burst.start || p > burst.start + burst.length) continue;
        const double l = (p - burst.start) / burst.length;
        const double fade = 0.94 * (1 - smoothFade((l - 0.28) / 0.72));
        const double fall = 7.5 * l * l;
        const Point at{burst.x, burst.y};
        if (b == 4 && l < 0.75)
            ctx.stroke(Path::circle(at, 10 + 44 * l), pal.red.opacity(0.48 * (1 - l / 0.75)), 1.2);
        const int n = burst.sparks;
        const auto bi = static_cast<std::int64_t>(b);
        for (int j = 0; j < n; ++j) {
            const double u1 = spectacleUnit(17 + 31 * j + 97 * bi);
            const double u2 = spectacleUnit(29 + 43 * j + 89 * bi);
            const double theta = 2 * kPi * j / n + (u1 - 0.5) * 0.18;
            const double d = (0.72 + 0.38 * u2) * burst.reach;
            const Point dir{std::cos(theta), std::sin(theta)};
            const double headDist = d * (1 - std::pow(1 - l, 2.7));
            const double tailDist = d * 0.58 * (1 - std::pow(1 - std::max(0.0, l - 0.16), 2.5));
            const Point headP = at + dir * headDist + Point{0, fall};
            const Point tailP = at + dir * tailDist + Point{0, 0.45 * fall};
            const Point mid = (headP + tailP) * 0.5 + Point{0, -1.5};
            Path streak;
            streak.move(tailP);
            streak.addQuadCurve(headP, mid);
            ctx.stroke(streak, (j % 3 == 0 ? pal.red : pal.paleGold).opacity(fade), style(1.05));
            ctx.fill(Path::circle(headP, 1.1), Color(1, 1, 1, 0.85 * fade));
        }
        if (b == 0 || b == 2) {
            for (int k = 0; k < 5; ++k) {
                const double a = 2 * kPi * k / 5 + 0.6 + 0.5 * spectacleUnit(211 + 7 * k + 13 * bi);
                const double r = burst.reach * (0.35 + 0.3 * spectacleUnit(223 + 11 * k + 17 * bi)) *
                                 (1 - (1 - l) * (1 - l));
                const Point c = at + Point{std::cos(a), std::sin(a)} * r + Point{0, fall * 1.2};
                Path diamond;
                diamond.addPolygon({{c.x, c.y - 2.1}, {c.x + 1.428, c.y}, {c.x, c.y + 2.1}, {c.x - 1.428, c.y}});
                ctx.fill(diamond, pal.red.opacity(fade));
            }
        }
    }
}

void drawCoins(gfx::GraphicsContext& ctx, const Palette& pal, double p) {
    for (std::size_t k = 0; k < kCoins.size(); ++k) {
        const Coin& coin = kCoins[k];
        if (p < coin.start || p > coin.start + 0.62) continue;
        const double l = (p - coin.start) / 0.62;
        const double opacity = 0.88 * smoothFade(l / 0.18) * (1 - smoothFade((l - 0.58) / 0.42));
        const double kk = static_cast<double>(k);
        const Point at{coin.x + 6 * std::sin(3.4 * l + kk), coin.y - 22 * l};
        gfx::GraphicsContext g = ctx;
        g.opacity = opacity;
        g.translateBy(at.x, at.y);
        g.scaleBy(std::fabs(std::cos(4.2 * l + kk)) * 0.62 + 0.38, 1);
        if (coin.isIngot) {
            g.fill(Path::ellipse({-2.304, -2.688, 4.608, 2.976}), pal.paleGold);
            Path boat;
            boat.move({-4.8, -1.056});
            boat.addQuadCurve({4.8, -1.056}, {0, 0.576});
            boat.addQuadCurve({2.688, 2.496}, {4.224, 1.728});
            boat.addLine({-2.688, 2.496});
            boat.addQuadCurve({-4.8, -1.056}, {-4.224, 1.728});
            boat.closeSubpath();
            g.fill(boat, pal.gold);
            g.stroke(boat, pal.paleGold, 0.65);
        } else {
            g.stroke(Path::circle({0, 0}, 4.3), pal.paleGold, 1.15);
            g.stroke(Path::rect({-1.806, -1.806, 3.612, 3.612}), pal.paleGold, 0.85);
        }
        const double off = std::fabs(l - 0.42);
        if (off < 0.14)  // the glint is drawn unscaled by the spin
            ctx.fill(scenes::sparklePath(at.x + 3, at.y - 2.5, 4.2), pal.paleGold.opacity((1 - off / 0.14) * opacity));
    }
}

}  // namespace

DragonSpinePoint lunarDragonSpine(double t, double p, double width, double height) {
    struct Segment { Point p0, p1, p2, p3; };
    static constexpr Segment kSegments[] = {
        {{0.03, 0.78}, {0.12, 0.08}, {0.34, 0.08}, {0.52, 0.17}},
        {{0.52, 0.17}, {0.637, 0.229}, {0.67, 0.92}, {0.8, 0.34}},
        {{0.8, 0.34}, {0.8585, 0.0655}, {0.93, 0.74}, {1.04, 0.12}},
    };
    const double tt = std::isfinite(t) ? t : 0;
    int index;
    double local;
    if (tt < 0.36) {
        index = 0;
        local = tt / 0.36;
    } else if (tt < 0.7) {
        index = 1;
        local = (tt - 0.36) / 0.34;
    } else {
        index = 2;
        local = std::min((tt - 0.7) / 0.3, 1.0);
    }
    const Segment& s = kSegments[index];
    auto scaled = [width, height](Point f) { return Point{f.x * width, f.y * height}; };
    const Point a = scaled(s.p0), b = scaled(s.p1), c = scaled(s.p2), d = scaled(s.p3);
    Point point = bezier(a, b, c, d, local);
    const Point deriv = bezierDerivative(a, b, c, d, local);
    const double len = std::max(std::hypot(deriv.x, deriv.y), 0.001);
    const Point dir = deriv * (1 / len);
    const Point normal{-dir.y, dir.x};
    if (tt >= 0) {
        const double f = tt <= 0.18 ? 1.0 : tt < 0.5 ? 0.38 : 1.0;
        const double offset = 2.3 * std::sin(15 * tt - 13.5 * p) * std::sin(kPi * std::min(tt, 1.0)) * f;
        point = point + normal * offset;
    }
    return {point, dir, normal};
}

void drawLunarNewYearDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height, double p,
                              double emblemX, double emblemY) {
    if (!std::isfinite(p) || !std::isfinite(width) || !std::isfinite(height) || !std::isfinite(emblemX) ||
        !std::isfinite(emblemY))
        return;
    const Palette pal = palette(isDark);
    drawClouds(context, pal, p);
    drawDragon(context, pal, isDark, width, height, p);
    drawBursts(context, pal, p, emblemX, emblemY);
    drawCoins(context, pal, p);
}

}  // namespace quillmar
