#include "seasonal/western_charms.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "festive_hud/clamped_index.h"
#include "seasonal/blossom_charm.h"
#include "seasonal/scenes/easter_art.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/stpat_clovers.h"
#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;

std::size_t mod(int index, std::size_t n) { return wrappedIndex(static_cast<std::int64_t>(index), n); }

}  // namespace

void drawCloverCharm(gfx::GraphicsContext& context, const Color& leaf, const Color& gilt, double size) {
    if (!std::isfinite(size) || size <= 0) return;
    // The St Patrick's spectacle's own clover, scaled so its leaves reach about two thirds of size.
    drawFourLeafClover(context, 0.58 * size, leaf, gilt);
}

void drawStPatricksCharm(gfx::GraphicsContext& context, int index, bool isDark, double size, double phase) {
    const StpatPalette& pal = StpatPalette::forAppearance(isDark);
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
