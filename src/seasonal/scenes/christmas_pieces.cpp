#include "seasonal/scenes/christmas_pieces.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

namespace {
using gfx::Color;
using gfx::Point;
using scenes::kPi;

Point polar(double r, double a) { return {r * std::cos(a), r * std::sin(a)}; }

// The rope: a quadratic from A to B whose middle hangs `sag` below the chord's middle.
struct Rope {
    Point a, c, b;
    Point at(double t) const {
        const double m = 1 - t;
        return a * (m * m) + c * (2 * m * t) + b * (t * t);
    }
    Point tangent(double t) const { return (c - a) * (2 * (1 - t)) + (b - c) * (2 * t); }
};
}  // namespace

gfx::Path hollyLeafPath(double d, double s) {
    gfx::Path p;
    p.addPolygon({{0, 0},
                  {0.30 * d * s, -0.36 * s},
                  {0.56 * d * s, -0.22 * s},
                  {0.86 * d * s, -0.42 * s},
                  {1.02 * d * s, -0.06 * s},
                  {0.82 * d * s, 0.26 * s},
                  {0.52 * d * s, 0.16 * s},
                  {0.26 * d * s, 0.40 * s}});
    return p;
}

gfx::Path snowflakePath(double R, int detail) {
    gfx::Path p;
    for (int i = 0; i < 6; ++i) {
        const double a = i * kPi / 3;
        p.move({0, 0});
        p.addLine(polar(R, a));
        auto branches = [&](double at, double length) {
            const Point base = polar(at * R, a);
            for (double side : {kPi / 3, -kPi / 3}) {
                p.move(base);
                p.addLine(base + polar(length * R, a + side));
            }
        };
        if (detail >= 1) branches(0.5, 0.34);
        if (detail >= 2) {
            branches(0.76, 0.22);
            branches(0.93, 0.11);
        }
    }
    if (detail >= 2) {
        std::vector<Point> hex;
        for (int k = 0; k < 6; ++k) hex.push_back(polar(0.24 * R, (30 + 60 * k) * kPi / 180));
        p.addPolygon(hex);
    }
    return p;
}

void drawHollySprig(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, double s) {
    ctx.fill(hollyLeafPath(-1, s), pal.pineMid);
    ctx.fill(hollyLeafPath(1, s), pal.pineDeep);
    gfx::Path veins;
    veins.move({0, 0});
    veins.addLine({-0.92 * s, -0.08 * s});
    veins.move({0, 0});
    veins.addLine({0.92 * s, -0.08 * s});
    ctx.stroke(veins, pal.pineLight.opacity(0.7), scenes::roundCapStroke(0.5));
    const double r = 0.2 * s;
    gfx::Path berries;
    for (Point tl : {Point{-1.5 * r, -0.4 * r}, Point{-0.2 * r, -1.6 * r}, Point{0.2 * r, 0.2 * r}})
        berries.addEllipse({tl.x, tl.y, 2 * r, 2 * r});
    ctx.fill(berries, pal.cranberry);
}

void drawReindeerSleigh(gfx::GraphicsContext& ctx, const Color& c, const XmasCozyPalette& pal, double g) {
    gfx::Path runner;
    runner.move({-12, 5});
    runner.addLine({8, 5});
    runner.addQuadCurve({12.6, 0.4}, {11.8, 5});
    ctx.stroke(runner, c, scenes::roundCapStroke(1.1));

    gfx::Path body;
    body.move({-10, 3.6});
    body.addLine({7.6, 3.6});
    body.addQuadCurve({10.6, -3.2}, {10.6, 3.2});
    body.addQuadCurve({8.2, -1.2}, {9.6, -3.4});
    body.addLine({1.6, -0.6});
    body.addLine({-8.4, -3.4});
    body.addQuadCurve({-11.4, -6.6}, {-10.8, -3.6});
    body.addQuadCurve({-10, 3.6}, {-9.0, -1.6});
    body.closeSubpath();
    ctx.fill(body, c);
    ctx.fill(gfx::Path::ellipse({-10.2, -10.2, 6.8, 6.6}), c.opacity(0.92));

    gfx::Path rider = gfx::Path::ellipse({-3.8, -6.6, 6.6, 6.2});
    rider.addEllipse({-1.4, -10.6, 4.2, 4.2});
    rider.move({-1.4, -8.8});
    rider.addQuadCurve({-1.8, -15.0}, {-0.4, -12.0});
    rider.addLine({3.0, -9.2});
    rider.closeSubpath();
    ctx.fill(rider, c);
    ctx.fill(gfx::Path::ellipse({-2.9, -16.1, 2.2, 2.2}), pal.snow.opacity(0.92));

    gfx::Path reins;
    reins.move({10, -2.2});
    reins.addQuadCurve({17, -2.6}, {13.5, -0.6});
    reins.move({26, -2.6});
    reins.addQuadCurve({33, -2.8}, {29.5, -0.8});
    ctx.stroke(reins, c.opacity(0.85), scenes::roundCapStroke(0.7));

    for (int n = 0; n < 2; ++n) {
        const double s = n == 0 ? 1 : -1;
        gfx::GraphicsContext deer = ctx;
        deer.translateBy(n == 0 ? 22 : 38, 1.1 * s * g - 1.0);
        deer.rotateBy(0.05 * s * g - 0.08);
        gfx::Path shape;
        shape.move({-5.6, 0});
        shape.addCurve({4.6, -1.4}, {-3.0, -3.4}, {2.0, -3.6});
        shape.addCurve({-5.6, 0}, {4.2, 1.8}, {-3.0, 2.4});
        shape.closeSubpath();
        shape.move({5.4, -4.2});
        shape.addCurve({9.6, -5.0}, {6.6, -6.6}, {9.0, -6.6});
        shape.addQuadCurve({6.4, -3.0}, {9.0, -3.0});
        shape.closeSubpath();
        deer.fill(shape, c);
        gfx::Path legs;
        auto line = [&legs](Point a, Point b) {
            legs.move(a);
            legs.addLine(b);
        };
        line({3.6, -1.6}, {6.0, -4.6});
        line({3.0, 0.6}, {5.6 + 1.4 * s * g, 4.0});
        line({1.8, 0.8}, {3.2 - 1.2 * s * g, 4.2});
        line({-4.0, 0.6}, {-6.6 - 1.4 * s * g, 3.8});
        line({-2.8, 0.8}, {-2.0 + 1.2 * s * g, 4.2});
        deer.stroke(legs, c, scenes::roundCapStroke(0.95));
        gfx::Path antlers;
        antlers.move({7.4, -6.0});
        antlers.addQuadCurve({8.6, -10.2}, {7.2, -8.6});
        antlers.move({8.0, -8.4});
        antlers.addLine({9.8, -9.4});
        antlers.move({6.6, -6.2});
        antlers.addQuadCurve({5.6, -9.8}, {6.8, -8.4});
        deer.stroke(antlers, c, scenes::roundCapStroke(0.7));
        if (n == 1) {
            deer.fill(gfx::Path::ellipse({6.8, -8.2, 6.2, 6.2}), Color(1.0, 0.22, 0.22).opacity(0.38));
            deer.fill(gfx::Path::ellipse({8.9, -6.1, 2.0, 2.0}), Color(1.0, 0.28, 0.24));
        }
    }
}

namespace {

// The cord, drawn up to the reveal.
void drawGarlandCord(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, const Rope& rope, double reveal,
                     double scale) {
    gfx::Path cord;
    cord.move(rope.at(0));
    for (int k = 1; k <= 26; ++k) cord.addLine(rope.at(reveal * k / 26));
    ctx.stroke(cord, pal.pineDeep.opacity(0.88), scenes::roundStroke(0.3 * scale));
}

// Pine needles at 46 nodes along the rope, four per node on alternate sides, growing in behind
// the reveal; three greens, one stroke each.
void drawGarlandNeedles(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, const Rope& rope, double reveal,
                        const PineGarland& g) {
    const double scale = g.scale;
    gfx::Path needles[3];
    for (int i = 0; i < 46; ++i) {
        const double u = (i + 0.5) / 46;
        if (u > reveal) break;
        const double a = smootherstep(u, u + 0.1, reveal);
        if (a <= 0.02) continue;
        const Point P = rope.at(u);
        const Point d = rope.tangent(u);
        const double len = std::max(std::hypot(d.x, d.y), 0.001);
        const Point T{d.x / len, d.y / len};
        const Point n{-T.y, T.x};
        for (int j = 0; j < 4; ++j) {
            const double side = j % 2 == 0 ? 1 : -1;
            const double hA = spectacleUnit(31LL * i + 977LL * g.seed + 7LL * j);
            const double hB = spectacleUnit(17LL * i + 613LL * g.seed + 13LL * j);
            const double q = 0.22 + 1.05 * hA;
            const double f = hB > 0.5 ? 1 : -1;
            const double L = (0.6 + 0.55 * hB) * scale * a;
            const Point S = P + n * (0.5 * side);
            gfx::Path& set = needles[(i + j) % 3];
            set.move(S);
            set.addLine(S + (n * (std::cos(q) * side) + T * (std::sin(q) * f)) * L);
        }
    }
    const double nw = std::max(0.125 * scale, 0.55);
    ctx.stroke(needles[0], pal.pineDeep.opacity(0.92), scenes::roundCapStroke(1.05 * nw));
    ctx.stroke(needles[1], pal.pineMid.opacity(0.92), scenes::roundCapStroke(nw));
    ctx.stroke(needles[2], pal.pineLight.opacity(0.8), scenes::roundCapStroke(0.85 * nw));
}

// Clusters of three cranberries with a shine at five of the nodes, once the reveal has passed.
void drawGarlandBerries(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, const Rope& rope, double reveal,
                        const PineGarland& g) {
    gfx::Path berries, shine;
    const double rb = 0.2 * g.scale;
    constexpr int kBerryNodes[5] = {4, 13, 22, 31, 40};
    for (int c = 0; c < 5; ++c) {
        const double u = (kBerryNodes[c] + 0.5) / 46;
        if (!(u <= reveal - 0.02)) break;
        const Point Q = rope.at(u);
        const long long base = 311LL * g.seed + 76 + 171LL * c;
        for (int m = 0; m < 3; ++m) {
            const double v = 1.2 * spectacleUnit(base + 5 * m) + m * 2.09;
            const Point centre{Q.x + 1.15 * rb * std::cos(v), Q.y + 1.15 * rb * std::sin(v) + 0.4 * rb};
            berries.addEllipse({centre.x - rb, centre.y - rb, 2 * rb, 2 * rb});
            shine.addEllipse({centre.x - 0.55 * rb, centre.y - 0.6 * rb, 0.55 * rb, 0.55 * rb});
        }
    }
    ctx.fill(berries, pal.cranberry);
    ctx.fill(shine, Color::whiteColor().opacity(0.5));
}

// One bulb in its own frame (hanging from the origin, scaled): the brass cap, a glow while it is
// lit, the glass shaded by how lit it is, and a highlight.
void drawGarlandBulb(gfx::GraphicsContext& b, const XmasCozyPalette& pal, bool isDark, const gfx::Path& bulb,
                     const Color& colour, double lit) {
    b.fill(gfx::Path::roundedRect({-1.1, 0, 2.2, 6.4}, 0.7), pal.brassDeep.opacity(0.95));
    if (lit > 0.02) {
        const double E = std::min(lit, 1.3);
        const double R = 11 + 4.5 * std::min(lit, 1.4);
        b.fill(scenes::circlePath(0, 10.6, R),
               scenes::radialShading({0, 10.6}, R,
                                     std::vector<gfx::GradientStop>{{colour.opacity(E * (isDark ? 0.58 : 0.36)), 0},
                                                                    {colour.opacity(E * (isDark ? 0.20 : 0.11)), 0.42},
                                                                    {colour.opacity(0), 1}}));
    }
    const double ep = std::max(lit, 0.0);
    const double k = 0.42 + 0.58 * std::min(ep, 1.0);
    b.fill(bulb, scenes::radialShading({-0.6, 10.4}, 5.2,
                                       {Color::whiteColor().opacity(std::min(0.15 + 0.8 * ep, 0.95)),
                                        colour.opacity(k), colour.opacity(0.92 * k)}));
    b.fill(gfx::Path::ellipse({-2.3, 8.0, 1.5, 2.8}), Color::whiteColor().opacity(0.3 + 0.45 * std::min(ep, 1.0)));
}

// The ornaments, evenly along the revealed rope: each drops in with a bounce as the drop passes
// it, twinkles, sways, and swings away from the pointer.
void drawGarlandBulbs(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, bool isDark, const Rope& rope,
                      double reveal, const PineGarland& g) {
    const int count = g.ornamentCount;
    if (count <= 0) return;
    PointerWake& wake = PointerWake::shared();
    const Color mint = isDark ? Color(0.62, 0.92, 0.74) : Color(0.30, 0.70, 0.50);
    const Color bulbColors[5] = {pal.candleCream, pal.amber, pal.cranberry, mint, pal.rose};
    gfx::Path bulb;
    bulb.move({0, 6.0});
    bulb.addCurve({0, 15.4}, {4.4, 7.4}, {4.4, 15.4});
    bulb.addCurve({0, 6.0}, {-4.4, 15.4}, {-4.4, 7.4});
    bulb.closeSubpath();
    for (int o = 0; o < count; ++o) {
        const double u = (o + 0.5) / count;
        if (!(u <= reveal - 0.015)) break;
        const double hA = spectacleUnit(131LL * g.seed + 29LL * o + 1);
        const double hB = spectacleUnit(173LL * g.seed + 37LL * o + 2);
        const double drop = smootherstep(u - 0.035, u + 0.035, g.dropProgress);
        const double bounce =
            g.dropProgress > u ? 0.42 * std::sin(kPi * std::min((g.dropProgress - u) / 0.11, 1.0)) : 0;
        const double twinkle = 0.7 + 0.3 * (0.5 + 0.5 * std::sin((36 + 28 * hA) * g.time + 6.283 * hB));
        const Point H = rope.at(u) + Point{0, 0.1 * g.scale};
        const WakeDisplacement d = wake.cursorWakeDisplacement(H.x, H.y + 9 * g.ornamentScale, g.canvasOrigin.x,
                                                               g.canvasOrigin.y, 30, 0.7);
        const double angle = 0.1 * d.spin + 0.055 * std::sin(6.283 * hB + (8 + 4 * hA) * g.time) +
                             0.034 * std::clamp(d.dx, -18.0, 18.0);
        gfx::GraphicsContext b = ctx;
        b.translateBy(H.x, H.y);
        b.rotateBy(angle);
        b.scaleBy(g.ornamentScale, g.ornamentScale);
        drawGarlandBulb(b, pal, isDark, bulb, bulbColors[o % 5], drop * (twinkle + bounce));
    }
}

}  // namespace

void drawPineGarland(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, bool isDark, const PineGarland& g) {
    if (!(g.reveal > 0.001)) return;
    const double reveal = std::min(g.reveal, 1.0);
    const Rope rope{g.from, {(g.from.x + g.to.x) / 2, (g.from.y + g.to.y) / 2 + 2 * g.sag}, g.to};
    drawGarlandCord(ctx, pal, rope, reveal, g.scale);
    drawGarlandNeedles(ctx, pal, rope, reveal, g);
    drawGarlandBerries(ctx, pal, rope, reveal, g);
    drawGarlandBulbs(ctx, pal, isDark, rope, reveal, g);
}

}  // namespace quillmar
