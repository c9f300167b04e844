#include "seasonal/scenes/stpat_clovers.h"

#include <cmath>

#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using gfx::Point;

using scenes::kPi;

using scenes::rotated;

}  // namespace

Path fourLeafCloverPath(double s) {
    Path leaf;
    leaf.move(0, 0);
    leaf.addCurve({0, -0.84 * s}, {-0.82 * s, -0.3 * s}, {-0.6 * s, -1.12 * s});
    leaf.addCurve({0, 0}, {0.6 * s, -1.12 * s}, {0.82 * s, -0.3 * s});
    leaf.closeSubpath();
    Path leaves;
    for (double degrees : {45.0, 135.0, 225.0, 315.0}) {
        leaves.addPath(leaf, gfx::AffineTransform::rotation(gfx::Angle::degrees(degrees)));
    }
    return leaves;
}

void drawFourLeafClover(gfx::GraphicsContext& context, double s, const Color& leaf, const Color& accent) {
    Path stem;
    stem.move(0, 0.25 * s);
    stem.addQuadCurve({0.42 * s, 1.55 * s}, {-0.06 * s, 1.15 * s});
    context.stroke(stem, leaf, scenes::roundCapStroke(std::max(0.17 * s, 0.9)));
    if (s >= 5.5) context.stroke(stem, accent.opacity(0.55), scenes::roundCapStroke(std::max(0.05 * s, 0.4)));

    const Path leaves = fourLeafCloverPath(s);
    context.fill(leaves, leaf);
    context.fill(leaves, gfx::Shading::radialGradient(
                             gfx::Gradient::withStops({{Color::whiteColor().opacity(0.34), 0},
                                                       {Color::whiteColor().opacity(0), 0.5},
                                                       {Color::black().opacity(0.16), 1}}),
                             {-0.18 * s, -0.22 * s}, 0, 1.15 * s));

    Path veins;
    for (double degrees : {45.0, 135.0, 225.0, 315.0}) {
        // The diagonals of the leaves, measured from straight up and turning clockwise.
        const double a = (degrees - 90) * kPi / 180;
        const Point dir{std::cos(a), std::sin(a)};
        veins.move(dir * (0.12 * s));
        veins.addLine(dir * (0.74 * s));
    }
    context.stroke(veins, accent.opacity(0.58), scenes::roundStroke(std::max(0.065 * s, 0.45)));
}

void drawCloverBlossom(gfx::GraphicsContext& context, double s, const StpatPalette& palette) {
    Path petals;
    for (int k = 0; k <= 8; ++k) {
        const double a = k * 40 * kPi / 180;
        petals.move(0, 0);
        petals.addQuadCurve(rotated({s, 0}, a), rotated({0.55 * s, 0.34 * s}, a));
        petals.addQuadCurve({0, 0}, rotated({0.55 * s, -0.34 * s}, a));
    }
    context.fill(petals, gfx::Shading::radialGradient(gfx::Gradient::colors({palette.cloverPink, palette.clover}),
                                                      {-0.15 * s, -0.15 * s}, 0, s));
    Path dots;
    for (int k = 0; k <= 3; ++k) {
        const double a = 0.6 + k * kPi / 2;
        dots.addEllipse({0.42 * s * std::cos(a) - 0.7, 0.42 * s * std::sin(a) - 0.7, 1.4, 1.4});
    }
    context.fill(dots, palette.cream.opacity(0.85));

    Path stem;
    stem.move(0, 0.5 * s);
    stem.addQuadCurve({0.35 * s, 1.7 * s}, {-0.1 * s, 1.2 * s});
    context.stroke(stem, palette.emerald, scenes::roundCapStroke(std::max(0.14 * s, 0.8)));
}

void drawDriftingClovers(gfx::GraphicsContext& context, double p, const StpatPalette& palette, double fade) {
    PointerWake& wake = PointerWake::shared();
    for (int i = 0; i <= 25; ++i) {
        const double start = 0.08 + 0.4 * spectacleUnit(5 + i * 19);
        const double duration = 0.44 + 0.3 * spectacleUnit(11 + i * 29);
        const double lt = (p - start) / duration;
        if (!(lt > 0 && lt < 1)) continue;
        const double env = smootherstep(0, 1, lt / 0.12) * (1 - smootherstep(0, 1, (lt - 0.7) / 0.3)) * fade;
        if (!(env > 0.01)) continue;

        const double x0 = 330 * spectacleUnit(13 + i * 37) - 30;
        const double y0 = 330 * spectacleUnit(19 + i * 43) + 168;
        const double travel = 180 * spectacleUnit(3 + i * 53) + 190;
        const double sink = 62 * spectacleUnit(7 + i * 61) + 24;
        const double size = 5 * spectacleUnit(23 + i * 71) + 6;

        const double x = x0 + (1 - std::pow(1 - lt, 1.6)) * travel + 18 * std::sin(5.3 * lt + i);
        const double y = y0 + sink * lt + 9 * std::cos(0.8 * i + 3.7 * lt);
        const WakeDisplacement w = wake.cursorWakeDisplacement(x, y, 0, 0, 62, 1.1);
        const double rot = 0.55 * std::sin(4.4 * lt + i) + 0.37 * i + w.spin;
        const double flip = 0.42 + 0.58 * std::abs(std::cos(0.5 * w.spin + 1.7 * i + 4 * lt));

        gfx::GraphicsContext sprite = context;
        sprite.opacity *= 0.94 * env;
        sprite.translateBy(x + w.dx, y + w.dy);
        sprite.rotateBy(rot);
        sprite.scaleBy(flip, 1);
        if (i % 9 == 4) {
            drawCloverBlossom(sprite, 0.9 * size, palette);
        } else if (i % 7 == 0) {
            drawFourLeafClover(sprite, size, palette.gold, palette.cream);
        } else {
            drawFourLeafClover(sprite, size, i % 2 == 0 ? palette.spring : palette.emerald, palette.goldHi);
        }
    }
}

}  // namespace quillmar
