#include "seasonal/theme_charm.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "festive_hud/clamped_index.h"
#include "seasonal/blossom_charm.h"
#include "seasonal/scenes/fireworks_colors.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/western_charms.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using gfx::Point;

std::size_t mod(int index, std::size_t n) { return wrappedIndex(static_cast<std::int64_t>(index), n); }

// A bat with its wings raised (flap = 1) or lowered (flap = -1), built for a span of `s`.
Path batSilhouette(double s, double flap) {
    const double f = std::isfinite(flap) ? std::clamp(flap, -1.0, 1.0) : 0.0;
    const double h = s * 0.5;
    const double tipY = -0.32 * h - 0.28 * h * f;
    Path p;
    p.move({0, -0.22 * h});
    p.addLine({0.1 * h, -0.36 * h});   // ear
    p.addLine({0.16 * h, -0.16 * h});
    p.addQuadCurve({h, tipY}, {0.55 * h, -0.3 * h - 0.2 * h * f});
    p.addQuadCurve({0.72 * h, 0.12 * h}, {0.9 * h, 0.02 * h});
    p.addQuadCurve({0.46 * h, 0.06 * h}, {0.6 * h, 0.2 * h});
    p.addQuadCurve({0.2 * h, 0.16 * h}, {0.34 * h, 0.22 * h});
    p.addQuadCurve({0, 0.3 * h}, {0.1 * h, 0.3 * h});
    p.addQuadCurve({-0.2 * h, 0.16 * h}, {-0.1 * h, 0.3 * h});
    p.addQuadCurve({-0.46 * h, 0.06 * h}, {-0.34 * h, 0.22 * h});
    p.addQuadCurve({-0.72 * h, 0.12 * h}, {-0.6 * h, 0.2 * h});
    p.addQuadCurve({-h, tipY}, {-0.9 * h, 0.02 * h});
    p.addQuadCurve({-0.16 * h, -0.16 * h}, {-0.55 * h, -0.3 * h - 0.2 * h * f});
    p.addLine({-0.1 * h, -0.36 * h});  // ear
    p.closeSubpath();
    return p;
}

void drawHalloweenCharm(gfx::GraphicsContext& context, int index, bool isDark, double size, double phase) {
    switch (mod(index, 3)) {
        case 0:
            context.fill(batSilhouette(1.4 * size, 2 * (phase - 0.5)),
                         isDark ? Color(0.16, 0.10, 0.24) : Color(0.14, 0.08, 0.22));
            break;
        case 1: {  // candy corn: a rounded wedge in three bands
            const double s = size;
            Path wedge;
            wedge.move({0, -s});
            wedge.addQuadCurve({0.72 * s, 0.62 * s}, {0.5 * s, -0.1 * s});
            wedge.addQuadCurve({-0.72 * s, 0.62 * s}, {0, 0.95 * s});
            wedge.addQuadCurve({0, -s}, {-0.5 * s, -0.1 * s});
            wedge.closeSubpath();
            gfx::GraphicsContext banded = context;
            banded.clip(wedge);
            banded.fill(wedge, Color(1.0, 0.96, 0.86));
            banded.fill(Path::rect({-s, -0.42 * s, 2 * s, 0.62 * s}), Color(1.0, 0.58, 0.12));
            banded.fill(Path::rect({-s, 0.2 * s, 2 * s, 0.8 * s}), Color(1.0, 0.84, 0.22));
            break;
        }
        default: {  // a little ghost with two eyes
            const double s = size;
            Path ghost;
            ghost.move({-0.62 * s, 0.8 * s});
            ghost.addLine({-0.62 * s, -0.1 * s});
            ghost.addCurve({0.62 * s, -0.1 * s}, {-0.62 * s, -1.05 * s}, {0.62 * s, -1.05 * s});
            ghost.addLine({0.62 * s, 0.8 * s});
            ghost.addQuadCurve({0.2 * s, 0.8 * s}, {0.41 * s, 0.5 * s});
            ghost.addQuadCurve({-0.2 * s, 0.8 * s}, {0, 0.5 * s});
            ghost.addQuadCurve({-0.62 * s, 0.8 * s}, {-0.41 * s, 0.5 * s});
            ghost.closeSubpath();
            context.fill(ghost, isDark ? Color(0.96, 0.95, 1.0, 0.92) : Color(0.98, 0.97, 1.0));
            context.stroke(ghost, Color(0.36, 0.28, 0.48, isDark ? 0.4 : 0.55), 0.45);
            const Color eye(0.16, 0.10, 0.24);
            context.fill(Path::circle({-0.22 * s, -0.18 * s}, 0.11 * s), eye);
            context.fill(Path::circle({0.22 * s, -0.18 * s}, 0.11 * s), eye);
            break;
        }
    }
}

void fillLens(gfx::GraphicsContext& context, double size, const Color& color) { context.fill(lensLeafPath(size), color); }

}  // namespace

Path lensLeafPath(double s) {
    Path p;
    p.move({0, -s});
    p.addQuadCurve({0, s}, {0.68 * s, 0});
    p.addQuadCurve({0, -s}, {-0.68 * s, 0});
    p.closeSubpath();
    return p;
}

Path cherryPetalPath(double s) {
    Path p;
    p.move({0, s});
    p.addQuadCurve({-0.78 * s, -0.32 * s}, {-0.96 * s, 0.36 * s});
    p.addQuadCurve({-0.19 * s, -0.96 * s}, {-0.62 * s, -0.92 * s});
    p.addLine({0, -0.58 * s});
    p.addLine({0.17 * s, -0.94 * s});
    p.addQuadCurve({0.74 * s, -0.3 * s}, {0.58 * s, -0.9 * s});
    p.addQuadCurve({0, s}, {0.92 * s, 0.36 * s});
    p.closeSubpath();
    return p;
}

Path mapleLeafPath(double s) {
    Path p;
    p.addPolygon({{0, 0.58 * s},
                  {-0.58 * s, 0.72 * s},
                  {-0.34 * s, 0.34 * s},
                  {-0.95 * s, 0.18 * s},
                  {-0.42 * s, -0.04 * s},
                  {-0.76 * s, -0.68 * s},
                  {-0.2 * s, -0.38 * s},
                  {0, -1.06 * s},
                  {0.2 * s, -0.38 * s},
                  {0.76 * s, -0.68 * s},
                  {0.42 * s, -0.04 * s},
                  {0.95 * s, 0.18 * s},
                  {0.34 * s, 0.34 * s},
                  {0.58 * s, 0.72 * s}});
    return p;
}

Path fanLeafPath(double s) {
    Path p;
    p.move({0, 0.94 * s});
    p.addQuadCurve({-0.9 * s, -0.42 * s}, {-0.28 * s, 0.18 * s});
    p.addQuadCurve({-0.08 * s, -0.82 * s}, {-0.56 * s, -0.94 * s});
    p.addLine({0, -0.48 * s});
    p.addLine({0.08 * s, -0.82 * s});
    p.addQuadCurve({0.9 * s, -0.42 * s}, {0.56 * s, -0.94 * s});
    p.addQuadCurve({0, 0.94 * s}, {0.28 * s, 0.18 * s});
    p.closeSubpath();
    return p;
}

void drawOsmanthusBlossom(gfx::GraphicsContext& context, double s, bool isDark) {
    const double r = 0.45 * s;
    const double d = 0.48 * s / std::sqrt(2.0);
    const Color petal = isDark ? Color(1.0, 0.82, 0.30) : Color(0.90, 0.64, 0.10);
    for (const Point c : {Point{d, d}, Point{-d, d}, Point{-d, -d}, Point{d, -d}})
        context.fill(Path::circle(c, r), petal);
    context.fill(Path::circle({0, 0}, 0.18 * s), Color(0.96, 0.48, 0.14));
}

void drawSnowCrystal(gfx::GraphicsContext& context, double s, bool isDark) {
    constexpr double k = 0.8660254038;
    Path p;
    p.move({-s, 0});
    p.addLine({s, 0});
    p.move({-0.5 * s, -k * s});
    p.addLine({0.5 * s, k * s});
    p.move({0.5 * s, -k * s});
    p.addLine({-0.5 * s, k * s});
    gfx::StrokeStyle style;
    style.lineWidth = 0.95;
    style.miterLimit = 10;
    context.stroke(p, isDark ? Color(1, 1, 1, 0.88) : Color(0.42, 0.58, 0.78, 0.75), style);
}

Color blossomColor(bool isDark, int index) {
    switch (mod(index, 3)) {
        case 0: return isDark ? Color(1.0, 0.80, 0.87) : Color(0.95, 0.56, 0.68);
        case 1: return isDark ? Color(1.0, 0.66, 0.76) : Color(0.92, 0.44, 0.58);
        default: return isDark ? Color(1.0, 0.90, 0.94) : Color(0.97, 0.68, 0.78);
    }
}

void drawThemeCharm(gfx::GraphicsContext& context, ArtisanCanvasTheme theme, int index, bool isDark, double size,
                    double phase) {
    if (!std::isfinite(size) || size <= 0 || !std::isfinite(phase)) return;
    const bool even = mod(index, 2) == 0;
    switch (theme) {
        case ArtisanCanvasTheme::stPatricksWindowSpectacle:
            drawStPatricksCharm(context, index, isDark, size, phase);
            return;
        case ArtisanCanvasTheme::easterMeadow:
            drawEasterCharm(context, index, isDark, size, phase);
            return;
        case ArtisanCanvasTheme::fireworksCelebration: {
            const auto colors = fireworksColors(0, isDark);
            context.fill(scenes::sparklePath(0, 0, 0.95 * size), colors.primary.opacity(0.9));
            context.fill(Path::circle({0, 0}, 0.22 * size), colors.glint.opacity(0.6 + 0.4 * std::clamp(phase, 0.0, 1.0)));
            return;
        }
        case ArtisanCanvasTheme::halloweenSpectacle:
            drawHalloweenCharm(context, index, isDark, size, phase);
            return;
        case ArtisanCanvasTheme::autumnHarvestOak:
        case ArtisanCanvasTheme::springMeadow:
        case ArtisanCanvasTheme::summerStarlight:
            drawNatureSeasonalMark(context, theme, index, isDark, size, phase);
            return;
        case ArtisanCanvasTheme::christmasSpectacle:
        case ArtisanCanvasTheme::winterAuroraHearth:
            drawWinterSeasonalMark(context, theme, index, isDark, size, phase);
            return;
        case ArtisanCanvasTheme::lunarNewYearSpectacle:
            drawBlossomCharm(context, even ? Color(0.93, 0.22, 0.20) : Color(0.96, 0.36, 0.26), 0.94 * size);
            return;
        case ArtisanCanvasTheme::summerJadeLotus:
            fillLens(context, size, isDark ? Color(0.48, 0.86, 0.73) : Color(0.18, 0.58, 0.46));
            fillLens(context, 0.58 * size, Color(0.94, 0.98, 0.95, 0.65));
            return;
        case ArtisanCanvasTheme::koreanCranesGeumbak:
            fillLens(context, size,
                     mod(index, 3) == 0 ? Color(0.95, 0.97, 0.95)
                     : isDark           ? Color(0.42, 0.80, 0.75)
                                        : Color(0.22, 0.58, 0.53));
            return;
        case ArtisanCanvasTheme::harvestMoonOsmanthus:
            drawOsmanthusBlossom(context, 0.84 * size, isDark);
            return;
        case ArtisanCanvasTheme::kyotoSpringSakura:
            context.fill(cherryPetalPath(size), blossomColor(isDark, index));
            return;
        case ArtisanCanvasTheme::kyotoSummerAoMomiji:
            context.fill(mapleLeafPath(1.04 * size), phase > 0.45 ? Color(0.46, 0.88, 0.60)
                                                     : isDark      ? Color(0.24, 0.72, 0.46)
                                                                   : Color(0.16, 0.56, 0.34));
            return;
        case ArtisanCanvasTheme::kyotoAutumnMomiji:
            if (mod(index, 3) == 2) {
                context.fill(fanLeafPath(0.98 * size), phase > 0.45 ? Color(1.0, 0.88, 0.34) : Color(0.93, 0.71, 0.14));
            } else {
                context.fill(mapleLeafPath(1.1 * size), phase > 0.5 ? Color(1.0, 0.56, 0.20)
                                                        : even      ? Color(0.88, 0.21, 0.16)
                                                                    : Color(0.93, 0.42, 0.16));
            }
            return;
        case ArtisanCanvasTheme::kyotoWinterPlum:
            if (mod(index, 3) == 2) {
                drawSnowCrystal(context, 0.72 * size, isDark);
            } else {
                drawBlossomCharm(context, even     ? Color(0.86, 0.18, 0.26)
                                          : isDark ? Color(0.96, 0.97, 0.99)
                                                   : Color(0.93, 0.38, 0.48),
                                 0.9 * size);
            }
            return;
    }
}

}  // namespace quillmar
