#include "seasonal/scenes/nature_seasonal_mark.h"

#include <cmath>
#include <numbers>

#include "seasonal/scenes/meadow_pieces.h"
#include "seasonal/scenes/oak_pieces.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

constexpr double kPi = std::numbers::pi;

void drawSummerStar(gfx::GraphicsContext& context, bool isDark, double s, double intensity) {
    const Color c = isDark ? Color::rgb(1.0, 0.9, 0.52) : Color::rgb(0.92, 0.7, 0.16);
    context.fill(Path::circle({0, 0}, 1.1 * s),
                 Shading::radialGradient(Gradient::colors({c.opacity(0.3 + 0.25 * intensity), c.opacity(0)}), {0, 0}, 0,
                                         1.1 * s));
    context.fill(Path::circle({0, 0}, 0.3 * s), c);
}

}  // namespace

void drawNatureSeasonalMark(gfx::GraphicsContext& context, ArtisanCanvasTheme theme, int variant, bool isDark,
                            double s, double intensity) {
    if (theme == ArtisanCanvasTheme::autumnHarvestOak) {
        if (variant % 4 == 3) {
            drawAcorn(context, 0.92 * s, false);
        } else {
            // The mark's leaf is the scene's shaded leaf without its shadow; the intensity lifts its tip.
            drawOakLeaf(context, variant, 1.08 * s, intensity, isDark, false);
        }
        return;
    }
    const int k = variant % 3;
    if (theme == ArtisanCanvasTheme::springMeadow) {
        if (k == 0) {
            drawMeadowDaisy(context, isDark, 0.95 * s);
        } else if (k == 1) {
            drawMeadowBlossom(context, isDark, 0.95 * s);
        } else {
            drawMeadowLeaf(context, isDark, s);
        }
        return;
    }
    if (k == 0) {
        drawMeadowLeaf(context, isDark, s);
    } else if (k == 1) {
        drawSummerStar(context, isDark, s, intensity);
    } else {
        drawMeadowDaisy(context, isDark, 0.9 * s);
    }
}

void drawMeadowBlossom(gfx::GraphicsContext& context, bool isDark, double s) {
    Path petal;
    petal.move(0, -0.15 * s);
    petal.addCurve({-0.42 * s, -0.62 * s}, {-0.22 * s, -0.18 * s}, {-0.5 * s, -0.4 * s});
    petal.addQuadCurve({0, -0.88 * s}, {-0.3 * s, -1.02 * s});
    petal.addQuadCurve({0.42 * s, -0.62 * s}, {0.3 * s, -1.02 * s});
    petal.addCurve({0, -0.15 * s}, {0.5 * s, -0.4 * s}, {0.22 * s, -0.18 * s});
    petal.closeSubpath();
    Path petals;
    for (int j = 0; j < 5; ++j) petals.addPath(petal, gfx::AffineTransform::rotation(gfx::Angle::radians(j * 2 * kPi / 5)));
    const Color centre = isDark ? Color::rgb(1.0, 0.96, 0.97) : Color::rgb(1.0, 0.93, 0.95);
    const Color rim = isDark ? Color::rgb(1.0, 0.74, 0.8) : Color::rgb(0.96, 0.62, 0.72);
    context.fill(petals, Shading::radialGradient(Gradient::colors({centre, rim}), {0, 0}, 0.1 * s, s));

    Path stamens;
    for (int j = 0; j < 5; ++j) {
        const double a = (36 + 72 * j) * kPi / 180;
        stamens.addPath(Path::circle({0.22 * s * std::cos(a), 0.22 * s * std::sin(a)}, 0.07 * s));
    }
    stamens.addPath(Path::circle({0, 0}, 0.09 * s));
    context.fill(stamens, Color::rgb(0.98, 0.82, 0.34));
}

void drawMeadowLeaf(gfx::GraphicsContext& context, bool isDark, double s) {
    Path leaf;
    leaf.move(0, s);
    leaf.addQuadCurve({0, -s}, {0.8 * s, 0});
    leaf.addQuadCurve({0, s}, {-0.8 * s, 0});
    leaf.closeSubpath();
    const Color start = isDark ? Color::rgb(0.44, 0.8, 0.56) : Color::rgb(0.32, 0.66, 0.42);
    context.fill(leaf, Shading::linearGradient(Gradient::colors({start, Color::rgb(0.7, 0.92, 0.76)}), {-0.4 * s, s},
                                               {0.4 * s, -s}));
    Path midrib;
    midrib.move(0, 0.92 * s);
    midrib.addQuadCurve({0, -0.85 * s}, {-0.12 * s, 0});
    context.stroke(midrib, isDark ? Color::whiteColor().opacity(0.5) : Color::rgb(0.12, 0.36, 0.2).opacity(0.5), 0.45);
}

}  // namespace quillmar
