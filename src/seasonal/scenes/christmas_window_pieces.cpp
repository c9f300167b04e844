#include "seasonal/scenes/christmas_window_pieces.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

namespace {
using gfx::Color;
using gfx::GradientStop;
using gfx::Point;

using scenes::rotated;
}  // namespace

void drawPillarCandle(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, bool isDark, double x, double baseY,
                      double H, double s, double progress, double flameReveal) {
    const double yT = baseY - H, x0 = x - 0.5 * s;
    const double A = std::sin(61 * progress), B = std::sin(97 * progress + 1.3);
    ctx.fill(gfx::Path::ellipse({x - 1.1 * s, baseY - 0.22 * s, 2.2 * s, 0.62 * s}),
             scenes::radialShading({x, baseY + 0.08 * s}, 1.1 * s,
                                   {Color::black().opacity(isDark ? 0.30 : 0.16), Color::black().opacity(0)}));
    const gfx::Path dish = gfx::Path::ellipse({x - 0.86 * s, baseY - 0.26 * s, 1.72 * s, 0.52 * s});
    ctx.fill(dish, scenes::linearShading({x - 0.86 * s, baseY}, {x + 0.86 * s, baseY}, {pal.brassDeep, pal.brass, pal.brassDeep}));
    ctx.stroke(dish, pal.candleCream.opacity(0.35), 0.6);
    const Color wax = isDark ? Color(0.74, 0.60, 0.42) : Color(0.82, 0.70, 0.52);
    ctx.fill(gfx::Path::roundedRect({x0, yT, s, H}, 0.16 * s),
             scenes::linearShading({x0, yT}, {x + 0.5 * s, yT},
                                   std::vector<GradientStop>{{wax, 0}, {pal.candleCream, 0.38}, {pal.candleCream, 0.62}, {wax, 1}}));
    ctx.fill(gfx::Path::ellipse({x0, yT - 0.16 * s, s, 0.34 * s}), wax.opacity(0.9));
    gfx::Path drip;
    drip.move({x0 + 1.2, yT + 1});
    drip.addQuadCurve({x0 + 2.6, yT + 0.42 * H}, {x0 + 0.4, yT + 0.22 * H});
    drip.addQuadCurve({x0 + 4, yT + 1}, {x0 + 4.6, yT + 0.26 * H});
    drip.closeSubpath();
    ctx.fill(drip, pal.candleCream.opacity(0.95));
    ctx.stroke(gfx::Path::line({x, yT}, {x + 0.4, yT - 2.6}), Color(0.18, 0.12, 0.08), scenes::roundCapStroke(0.9));
    if (flameReveal <= 0.01) return;

    const double r = flameReveal;
    const double f = 0.55 * A + 0.45 * B;
    const double fh = (9.5 + 1.1 * f) * r;
    const double sway = 0.9 * std::sin(43 * progress) * r;
    const double yw = yT - 1.6, R = 30 * r;
    const double g1 = isDark ? 0.36 : 0.22, g2 = isDark ? 0.12 : 0.07;
    ctx.fill(gfx::Path::ellipse({x - R, yw - 1.1 * R, 2 * R, 2 * R}),
             scenes::radialShading({x, yw - 0.1 * R}, R,
                                   {pal.amber.opacity((0.92 + 0.08 * f) * g1), pal.amber.opacity(g2), pal.amber.opacity(0)}));
    gfx::Path outer;
    outer.move({x, yw + 1.2});
    outer.addCurve({x + sway, yw - fh}, {x + 3.4, yw - 0.8}, {x + 2.2 + 0.5 * sway, yw - 0.66 * fh});
    outer.addCurve({x, yw + 1.2}, {x - 2.2 + 0.5 * sway, yw - 0.66 * fh}, {x - 3.4, yw - 0.8});
    outer.closeSubpath();
    ctx.fill(outer, scenes::radialShading({x, yw - 0.28 * fh}, 0.75 * fh,
                                          {Color(1.0, 0.86, 0.42), Color(1.0, 0.62, 0.18).opacity(0.95),
                                           Color(0.96, 0.40, 0.10).opacity(0.7)}));
    const double fi = 0.52 * fh;
    gfx::Path inner;
    inner.move({x, yw + 0.4});
    inner.addCurve({x + 0.6 * sway, yw - fi}, {x + 1.7, yw - 0.6}, {x + 1.1 + 0.3 * sway, yw - 0.62 * fi});
    inner.addCurve({x, yw + 0.4}, {x - 1.1 + 0.3 * sway, yw - 0.62 * fi}, {x - 1.7, yw - 0.6});
    inner.closeSubpath();
    ctx.fill(inner, Color(1.0, 0.97, 0.86).opacity(0.92));
    ctx.fill(gfx::Path::ellipse({x - 1.3, yw - 0.4, 2.6, 1.9}), Color(0.40, 0.58, 1.0).opacity(0.55 * r));
}

void drawCocoaMug(gfx::GraphicsContext& context, const XmasCozyPalette& pal, bool isDark, double x, double y,
                  double progress, double steamReveal) {
    gfx::GraphicsContext ctx = context;
    ctx.translateBy(x, y);
    ctx.fill(gfx::Path::ellipse({-20, 10, 40, 9}),
             scenes::radialShading({0, 14.5}, 20, {Color::black().opacity(isDark ? 0.30 : 0.16), Color::black().opacity(0)}));
    gfx::Path handle;
    handle.move({13, -8});
    handle.addCurve({12, 7}, {26, -10}, {26, 9});
    ctx.stroke(handle, pal.cranberryDeep, scenes::roundCapStroke(4.4));
    gfx::Path handleShine;
    handleShine.move({14, -7.4});
    handleShine.addCurve({13.4, 5.6}, {24.4, -9}, {24.4, 7.4});
    ctx.stroke(handleShine, pal.rose.opacity(0.55), scenes::roundCapStroke(1.1));
    gfx::Path body;
    body.move({-15, -13});
    body.addLine({15, -13});
    body.addLine({13.2, 10});
    body.addQuadCurve({-13.2, 10}, {0, 14.6});
    body.closeSubpath();
    ctx.fill(body, scenes::linearShading({-15, 0}, {15, 0},
                                         std::vector<GradientStop>{{pal.cranberryDeep, 0},
                                                                   {pal.cranberry, 0.3},
                                                                   {pal.rose.opacity(0.95), 0.52},
                                                                   {pal.cranberry, 0.72},
                                                                   {pal.cranberryDeep, 1}}));
    gfx::Path stripe;
    stripe.addPolygon({{-14.5, -6}, {14.5, -6}, {13.8, 3}, {-13.8, 3}});
    ctx.fill(stripe, pal.candleCream.opacity(0.94));
    gfx::Path stitches;
    for (int n = 0; n < 7; ++n) {
        const double sx = -12 + 3.6 * n;
        for (double top : {-4.4, -0.6}) {
            stitches.move({sx, top});
            stitches.addLine({sx + 1.5, top + 2});
            stitches.addLine({sx + 3, top});
        }
    }
    ctx.stroke(stitches, pal.cranberryDeep.opacity(0.7), scenes::roundStroke(0.7));
    ctx.fill(gfx::Path::ellipse({-15.4, -16.2, 30.8, 6.4}), pal.candleCream);
    ctx.fill(gfx::Path::ellipse({-13, -15.2, 26, 4.4}), isDark ? Color(0.34, 0.19, 0.11) : Color(0.40, 0.23, 0.13));
    gfx::Path mallows = gfx::Path::roundedRect({-6.5, -15, 4.2, 2.8}, gfx::Size{0.8, 0.8});
    mallows.addRoundedRect({-1, -15.6, 4.4, 3}, {0.8, 0.8});
    mallows.addRoundedRect({4.2, -14.6, 3.8, 2.6}, {0.8, 0.8});
    ctx.fill(mallows, Color(1.0, 0.98, 0.94));
    ctx.stroke(gfx::Path::line({-14.2, -11.5}, {-12.6, 8.5}), pal.candleCream.opacity(0.28), scenes::roundCapStroke(1));
    if (steamReveal <= 0.01) return;
    const Color steam = isDark ? Color(0.98, 0.95, 0.90) : Color(0.72, 0.70, 0.68);
    const double k = isDark ? 0.46 : 0.34;
    for (int i = 0; i < 3; ++i) {
        const double u = spectacleUnit(501 + 71 * i);
        const double xi = 6 * i - 6, L = 26 + 10 * u;
        const double s1 = std::sin(2.1 * i + (5 + 3 * u) * progress);
        const double sway = 4 * s1, s2 = 3 * std::sin(1.4 * i + 7 * progress);
        gfx::Path wisp;
        wisp.move({xi, -17});
        wisp.addCurve({xi + s2, -17 - L}, {xi - 5 + sway, -17 - 0.35 * L}, {xi + 5 - sway, -17 - 0.7 * L});
        const double a = (0.8 + 0.2 * s1) * k * steamReveal;
        ctx.stroke(wisp, scenes::linearShading({xi, -17}, {xi, -17 - L}, {steam.opacity(a), steam.opacity(a / 2), steam.opacity(0)}),
                   scenes::roundCapStroke(1.7));
    }
}

gfx::Path frostFernPath(int index, double S, double g) {
    gfx::Path path;
    if (!(g > 0.01)) return path;
    const Point P0{0, 3}, P1{0.5 * S, 1}, P2{S, 0.22 * S};
    auto B = [&](double t) {
        const double m = 1 - t;
        return P0 * (m * m) + P1 * (2 * m * t) + P2 * (t * t);
    };
    auto dB = [&](double t) { return (P1 - P0) * (2 * (1 - t)) + (P2 - P1) * (2 * t); };
    path.move(B(0));
    for (int k = 1; k <= 12; ++k) path.addLine(B(g * k / 12));
    for (int i = 0; i < 6; ++i) {
        const double ti = 0.08 + 0.15 * i;
        if (g <= ti) break;
        const double grow = std::min((g - ti) / 0.22, 1.0);
        const double u = spectacleUnit(53LL * index + 17LL * i + 5);
        const Point P = B(ti);
        const Point d = dB(ti);
        const double len = std::max(std::hypot(d.x, d.y), 0.001);
        const Point T{d.x / len, d.y / len};
        const double Lt = 0.27 * S * (1 - 0.55 * ti) * (0.85 + 0.3 * u) * grow;
        const Point D = rotated(T, 1.02 + 0.18 * u);
        path.move(P);
        path.addQuadCurve(P + D * Lt, P + D * (0.5 * Lt) + T * (0.2 * Lt));
        const Point Q = P + D * (0.55 * Lt);
        for (double side : {0.95, -0.95}) {
            path.move(Q);
            path.addLine(Q + rotated(D, side) * (0.36 * Lt));
        }
        path.move(P);
        path.addLine(P + (T * 0.5 - D * 0.6) * (0.3 * Lt));
    }
    return path;
}

}  // namespace quillmar
