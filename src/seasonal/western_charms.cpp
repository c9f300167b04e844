#include "seasonal/western_charms.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "festive_hud/clamped_index.h"
#include "seasonal/blossom_charm.h"
#include "seasonal/scenes/easter_art.h"
#include "seasonal/scenes/scene_shapes.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;

std::size_t mod(int index, std::size_t n) { return wrappedIndex(static_cast<std::int64_t>(index), n); }

// The colour roles the charms take from the St Patrick's and Easter art.
struct CloverColors {
    Color emerald, spring, gold, goldHi, goldShadow, cream;
};
CloverColors cloverColors(bool isDark) {
    if (isDark)
        return {Color(0.20, 0.78, 0.46), Color(0.46, 0.94, 0.58), Color(0.98, 0.78, 0.26), Color(1.0, 0.92, 0.58),
                Color(0.58, 0.37, 0.05), Color(0.99, 0.96, 0.88)};
    return {Color(0.09, 0.56, 0.30), Color(0.24, 0.74, 0.40), Color(0.90, 0.66, 0.12), Color(0.99, 0.86, 0.44),
            Color(0.58, 0.37, 0.05), Color(0.99, 0.96, 0.88)};
}
// A heart-shaped leaf pointing along +x, its notch at the origin.
Path heartLeaf(double s) {
    Path p;
    p.move({0, 0});
    p.addCurve({0.98 * s, -0.1 * s}, {0.05 * s, -0.55 * s}, {0.82 * s, -0.62 * s});
    p.addQuadCurve({0.62 * s, 0}, {1.05 * s, 0.02 * s});
    p.addQuadCurve({0.98 * s, 0.1 * s}, {1.05 * s, -0.02 * s});
    p.addCurve({0, 0}, {0.82 * s, 0.62 * s}, {0.05 * s, 0.55 * s});
    p.closeSubpath();
    return p;
}

}  // namespace

void drawCloverCharm(gfx::GraphicsContext& context, const Color& leaf, const Color& gilt, double size) {
    if (!std::isfinite(size) || size <= 0) return;
    const double s = size;
    Path stem;
    stem.move({0, 0});
    stem.addQuadCurve({0.2 * s, 1.05 * s}, {0.32 * s, 0.5 * s});
    context.stroke(stem, leaf, scenes::roundCapStroke(std::max(0.6, 0.12 * s)));

    Path leaves;
    for (int k = 0; k < 4; ++k)
        leaves.addPath(heartLeaf(0.62 * s),
                       gfx::AffineTransform::rotation(gfx::Angle::radians(std::numbers::pi / 4 + k * std::numbers::pi / 2)));
    context.fill(leaves, leaf);
    context.fill(leaves, scenes::radialShading({-0.25 * s, -0.3 * s}, 0.9 * s,
                                               {Color(1, 1, 1, 0.35), Color(0, 0, 0, 0.0), Color(0, 0, 0, 0.18)}));
    Path veins;
    for (int k = 0; k < 4; ++k) {
        const double a = std::numbers::pi / 4 + k * std::numbers::pi / 2;
        veins.move({0, 0});
        veins.addLine({0.5 * s * std::cos(a), 0.5 * s * std::sin(a)});
    }
    context.stroke(veins, Color(1, 1, 1, 0.35), 0.35);
    context.fill(Path::circle({0, 0}, 0.13 * s), gilt);
}

void drawStPatricksCharm(gfx::GraphicsContext& context, int index, bool isDark, double size, double phase) {
    const CloverColors pal = cloverColors(isDark);
    if (mod(index, 4) == 3) {  // a gold coin
        context.fill(Path::circle({0, 0}, 0.8 * size),
                     gfx::Shading::linearGradient(gfx::Gradient::colors({pal.goldHi, pal.gold, pal.goldShadow}),
                                                  {-size, -size}, {size, size}));
        context.stroke(Path::circle({0, 0}, 0.52 * size), pal.goldHi.opacity(0.8), 0.6);
        if (phase > 0.4) context.fill(scenes::sparklePath(0.3 * size, -0.3 * size, 0.42 * size), Color(1, 1, 1, 0.9));
        return;
    }
    if (mod(index, 7) == 0) {
        drawCloverCharm(context, pal.gold, pal.cream, 1.06 * size);
    } else {
        drawCloverCharm(context, phase > 0.45 ? pal.spring : pal.emerald, pal.goldHi, 1.06 * size);
    }
}

void drawEasterCharm(gfx::GraphicsContext& context, int index, bool isDark, double size, double /*phase*/) {
    const EasterArt::Palette pal = EasterArt::palette(isDark);
    switch (mod(index, 3)) {
        case 0:
            EasterArt::drawEgg(context, index / 3, pal, isDark, 0.78 * size);
            break;
        case 1: {
            const double s = 0.95 * size;
            Path petals;
            for (int k = 0; k < 6; ++k)
                petals.addPath(Path::ellipse({0.725 * s - 0.475 * s, -0.3 * s, 0.95 * s, 0.6 * s}),
                               gfx::AffineTransform::rotation(gfx::Angle::radians(k * std::numbers::pi / 3)));
            context.fill(petals, pal.cream);
            context.stroke(petals, pal.blush.opacity(isDark ? 0.55 : 0.7), 0.45);
            context.fill(Path::circle({0, 0}, 0.32 * s), pal.butter);
            break;
        }
        default:
            drawBlossomCharm(context, mod(index, 2) == 0 ? pal.blush : pal.lilac, 0.88 * size);
            break;
    }
}

}  // namespace quillmar
