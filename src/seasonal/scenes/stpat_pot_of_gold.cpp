#include "seasonal/scenes/stpat_pot_of_gold.h"

#include <array>
#include <cmath>

#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/stpat_coin.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Shading;

using scenes::roundCapStroke;

Path potBody() {
    Path body;
    body.move(-32, -24);
    body.addCurve({-44, 2}, {-41, -20}, {-45, -10});
    body.addCurve({-26, 34}, {-43, 16}, {-38, 31});
    body.addQuadCurve({26, 34}, {0, 39});
    body.addCurve({44, 2}, {38, 31}, {43, 16});
    body.addCurve({32, -24}, {45, -10}, {41, -20});
    body.closeSubpath();
    return body;
}

void drawHeapCoins(gfx::GraphicsContext& ctx, const StpatPalette& palette) {
    Path coins, shine;
    for (int i = 0; i <= 12; ++i) {
        const int row = i / 5;
        const int col = (i % 5) - 2;
        const double u = spectacleUnit(503 + i * 31);
        const double x = 10.5 * col + (row % 2 == 1 ? 5 : 0) + (u - 0.5) * 2;
        const double y = -29 - 6.2 * row - 1.5 * u;
        coins.addEllipse({x - 5.4, y - 3.348, 10.8, 6.696});
        shine.addEllipse({x - 2.97, y - 2.484, 4.32, 1.944});
    }
    ctx.fill(coins, palette.gold);
    ctx.stroke(coins, palette.goldShadow.opacity(0.9), 0.7);
    ctx.fill(shine, palette.goldHi.opacity(0.85));
}

// The glow on the ground and the pot's shadow.
void drawPotGround(gfx::GraphicsContext& pot, const StpatPalette& palette, bool isDark) {
    const double q = isDark ? 0.34 : 0.22;
    pot.fill(Path::ellipse({-64, 34, 128, 22}),
             Shading::radialGradient(Gradient::colors({palette.emerald.opacity(q), Color::clear()}), {0, 45}, 2, 64));
    pot.fill(Path::ellipse({-40, 38, 80, 13}), Color::black().opacity(q));
}

// The cauldron: three legs, the iron body lit from the upper left and by the gold above, a sheen,
// the lugs with their rings, and the dark mouth.
void drawPotIron(gfx::GraphicsContext& pot, const StpatPalette& palette) {
    Path legs;
    legs.move(-22, 30);
    legs.addLine(-27, 43);
    legs.move(0, 33);
    legs.addLine(0, 44);
    legs.move(22, 30);
    legs.addLine(27, 43);
    pot.stroke(legs, palette.ironDeep, roundCapStroke(4.6));

    const Path body = potBody();
    pot.fill(body, Shading::radialGradient(Gradient::withStops({{palette.ironHi, 0},
                                                                {palette.iron, 0.48},
                                                                {palette.ironDeep, 1}}),
                                           {-17, -6}, 2, 66));
    pot.fill(body, Shading::radialGradient(
                       Gradient::colors({palette.gold.opacity(0.42), palette.gold.opacity(0.1), Color::clear()}),
                       {0, -26}, 4, 40));

    Path sheen;
    sheen.move(-33, -18);
    sheen.addCurve({-38, 20}, {-42, -6}, {-43, 10});
    pot.stroke(sheen, palette.mint.opacity(0.26), roundCapStroke(1.3));

    Path lugs;
    lugs.addRoundedRect({-46, -16, 7, 9}, {2, 2});
    lugs.addRoundedRect({39, -16, 7, 9}, {2, 2});
    pot.fill(lugs, palette.ironDeep);

    for (const gfx::Rect ring : {gfx::Rect{-56, -14, 12, 14}, gfx::Rect{44, -14, 12, 14}}) {
        pot.stroke(Path::ellipse(ring), palette.goldShadow, 2.3);
        pot.stroke(Path::ellipse(ring), palette.goldHi.opacity(0.75), 0.8);
    }

    pot.fill(Path::ellipse({-31, -34, 62, 15}), palette.ironDeep);
}

// The heap of gold with its coins, then the rim over it.
void drawPotGold(gfx::GraphicsContext& pot, const StpatPalette& palette) {
    Path heap;
    heap.move(-29, -27);
    heap.addCurve({29, -27}, {-20, -52}, {20, -52});
    heap.addQuadCurve({-29, -27}, {0, -19});
    heap.closeSubpath();
    pot.fill(heap, Shading::radialGradient(Gradient::colors({palette.goldHi, palette.gold, palette.goldShadow}),
                                           {-7, -40}, 2, 36));
    drawHeapCoins(pot, palette);

    // The rim is a ring: the mouth and the heap show through its middle.
    Path rim;
    rim.addEllipse({-38, -34, 76, 16});
    rim.addEllipse({-31, -31.5, 62, 11});
    pot.fill(rim,
             Shading::linearGradient(Gradient::colors({palette.ironHi, palette.iron, palette.ironDeep}), {0, -34},
                                     {0, -18}),
             gfx::FillStyle{.eoFill = true});
    Path rimHighlight;
    rimHighlight.move(-36, -27);
    rimHighlight.addQuadCurve({36, -27}, {0, -37});
    pot.stroke(rimHighlight, palette.goldHi.opacity(0.55), roundCapStroke(0.9));
}

// Three sparkles over the heap, each pulsing at its own rate.
void drawGoldSparkles(gfx::GraphicsContext& pot, const StpatPalette& palette, double p) {
    const double s1 = 0.5 + 0.5 * std::sin(31 * p);
    const double s2 = 0.5 + 0.5 * std::sin(27 * p + 2.1);
    const double s3 = 0.5 + 0.5 * std::sin(35 * p + 4);
    pot.fill(fourPointSparklePath({-9, -43}, 4.5 * s1 + 2.5), palette.cream.opacity(0.45 * s1 + 0.55));
    pot.fill(fourPointSparklePath({12, -37}, 3.6 * s2 + 2), palette.goldHi.opacity(0.5 * s2 + 0.5));
    pot.fill(fourPointSparklePath({1, -47}, 3 * s3 + 1.6), palette.cream.opacity(0.6 * s3 + 0.4));
}

// For 0.22 after the landing: a flash over the mouth and a ring spreading from it.
void drawLandingFlash(gfx::GraphicsContext& pot, const StpatPalette& palette, double dt) {
    if (!(dt > 0 && dt < 0.22)) return;
    const double k = 0.75 * std::exp(-11 * dt);
    const double r = 520 * dt + 18;
    pot.fill(Path::circle({0, -36}, r),
             Shading::radialGradient(
                 Gradient::colors({palette.cream.opacity(k), palette.goldHi.opacity(0.5 * k), Color::clear()}),
                 {0, -36}, 0, r));
    const double r2 = 640 * dt + 14;
    pot.stroke(Path::ellipse({-r2, -36 - 0.55 * r2, 2 * r2, 1.1 * r2}), palette.goldHi.opacity(0.6 * std::exp(-13 * dt)),
               1.4);
}

}  // namespace

void drawPotOfGold(gfx::GraphicsContext& context, double p, const StpatPalette& palette, bool isDark, double cx,
                   double cy, double landingTime) {
    const double env = smootherstep(0.18, 0.24, p) * (1 - smootherstep(0.88, 0.98, p));
    if (!(env > 0.005)) return;

    // Rise with a back ease-out, then a damped wobble from the landing.
    const double x = (p - 0.18) / 0.13;
    const double c = x < 1 ? std::max(x, 0.0) - 1 : 0;
    const double e = 1 + 2.70158 * c * c * c + 1.70158 * c * c;
    const double dt = p - landingTime;
    const double wob = dt > 0 ? std::exp(-11 * dt) * std::sin(110 * dt) : 0;
    const double yOff = 56 * (1 - e) + 30 * smootherstep(0.88, 0.98, p);

    gfx::GraphicsContext pot = context;
    pot.opacity *= env;
    pot.translateBy(cx, cy + 34 + yOff);
    pot.scaleBy(1 + 0.13 * wob, 1 - 0.13 * wob);
    pot.translateBy(0, -34);

    drawPotGround(pot, palette, isDark);
    drawPotIron(pot, palette);
    drawPotGold(pot, palette);
    drawGoldSparkles(pot, palette, p);
    // The hat sits on the rim and hops with the wobble.
    drawStPatricksHat(pot, -27, -36 - 16 * std::max(wob, 0.0), 0.55 * wob - 0.3 + 0.03 * std::sin(19 * p), palette);
    drawLandingFlash(pot, palette, dt);
}

void drawStPatricksHat(gfx::GraphicsContext& context, double x, double y, double angle, const StpatPalette& palette) {
    gfx::GraphicsContext hat = context;
    hat.translateBy(x, y);
    hat.rotateBy(angle);

    Path crown;
    crown.move(-9, -1.5);
    crown.addCurve({-8.6, -18.5}, {-10.6, -8}, {-9.6, -14.5});
    crown.addQuadCurve({8.6, -18.5}, {0, -20.3});
    crown.addCurve({9, -1.5}, {9.6, -14.5}, {10.6, -8});
    crown.closeSubpath();
    hat.fill(crown, Shading::linearGradient(Gradient::colors({palette.spring, palette.emerald, palette.emeraldDeep}),
                                            {-9, -10}, {9, -6}));
    hat.stroke(crown, palette.emeraldDeep.opacity(0.8), 0.7);

    Path ribbon;
    ribbon.addPolygon({{-9.4, -2.6}, {9.4, -2.6}, {9.9, -7}, {-9.9, -7}});
    hat.fill(ribbon, palette.ironDeep.opacity(0.92));

    hat.stroke(Path::roundedRect({-2.7, -7.6, 5.4, 5.6}, 1.1), palette.goldHi, 1.15);
    hat.stroke(Path::line({0, -7.2}, {0, -2.6}), palette.gold, 0.8);

    Path brim;
    brim.move(-15.5, -0.4);
    brim.addCurve({15.5, -0.4}, {-8, -3.4}, {8, -3.4});
    brim.addCurve({-15.5, -0.4}, {8, 3.6}, {-8, 3.6});
    brim.closeSubpath();
    hat.fill(brim, Shading::linearGradient(Gradient::colors({palette.emerald, palette.emeraldDeep}), {0, -3}, {0, 3}));

    Path brimHighlight;
    brimHighlight.move(-14.5, -0.6);
    brimHighlight.addCurve({14.5, -0.6}, {-8, -3.2}, {8, -3.2});
    hat.stroke(brimHighlight, palette.mint.opacity(0.45), roundCapStroke(0.7));
}

}  // namespace quillmar
