#include "seasonal/scenes/stpat_coin.h"

#include <cmath>

namespace quillmar {

void drawSpinningCoin(gfx::GraphicsContext& context, double radius, double flipPhase, double verticalScale,
                      double edgeFactor, const StpatPalette& palette) {
    const double r = radius;
    const double c = std::abs(std::cos(flipPhase));
    const double sx = std::max(c, 0.07);
    const double edge = std::sin(flipPhase) * 0.26 * r * edgeFactor;
    const gfx::Path disc = gfx::Path::ellipse({-r, -r, 2 * r, 2 * r});

    if (std::abs(edge) > 0.25) {
        gfx::GraphicsContext rim = context;
        rim.translateBy(edge, 0);
        rim.scaleBy(sx, verticalScale);
        rim.fill(disc, palette.goldShadow);
    }

    gfx::GraphicsContext face = context;
    face.scaleBy(sx, verticalScale);
    double highlight = 0;
    if (c > 0.5) {
        face.fill(disc, gfx::Shading::linearGradient(
                            gfx::Gradient::colors({palette.goldHi, palette.gold, palette.goldShadow}), {-r, -r},
                            {r, r}));
        highlight = 0.62;
    } else {
        face.fill(disc, gfx::Shading::linearGradient(gfx::Gradient::colors({palette.gold, palette.goldShadow}),
                                                     {-r, -r}, {r, r}));
        highlight = 0.32;
    }
    face.stroke(gfx::Path::circle({0, 0}, 0.66 * r), palette.goldHi.opacity(0.75), scenes::roundStroke(0.6));
    face.fill(gfx::Path::ellipse({-0.62 * r, -0.56 * r, 0.58 * r, 0.30 * r}), palette.cream.opacity(highlight));

    // Nearly edge-on, the coin catches the light.
    const double glint = (0.32 - c) / 0.32;
    if (glint >= 0 && glint > 0.02) {
        context.fill(fourPointSparklePath({0, 0}, r * (1.5 * glint + 0.5)), palette.cream.opacity(0.95 * glint));
    }
}

}  // namespace quillmar
