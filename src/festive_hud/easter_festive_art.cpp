#include "festive_hud/easter_festive_art.h"

#include <cmath>
#include <utility>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

struct EggColors {
    double base[3];
    double accent[3];
};
constexpr EggColors kEggPalette[] = {
    {{1.0, 0.92, 0.58}, {0.52, 0.78, 0.90}},  // butter yellow, sky-blue pattern
    {{0.66, 0.87, 0.92}, {1.0, 1.0, 1.0}},    // aqua, white pattern
    {{0.99, 0.77, 0.80}, {1.0, 0.95, 0.66}},  // pink, pale yellow pattern
    {{0.74, 0.92, 0.78}, {0.98, 0.68, 0.74}}, // mint, rose pattern
    {{0.83, 0.78, 0.95}, {1.0, 1.0, 1.0}},    // lavender, white pattern
};

void drawEgg(const HUDFestiveParticle& p, GraphicsContext c, bool, double s) {
    const double h = 0.5 * p.size;
    const double w = 0.74 * h;
    const auto& pal = kEggPalette[clampedIndex(p.seed * 5, std::size(kEggPalette))];
    const std::size_t pattern = clampedIndex(fract(p.seed * 7.3137 + 0.173) * 3, 3);
    const Color base = rgb(pal.base[0], pal.base[1], pal.base[2], 1, s);
    const Color accent92 = rgb(pal.accent[0], pal.accent[1], pal.accent[2], 0.92, s);
    const Path egg = easterEggPath(h);
    fillDropShadow(c, egg, p.rot, rgb(0.12, 0.08, 0.16, 0.28, s));
    c.fill(egg, radialStops({{lightened(base, 0.55), 0}, {base, 0.48}, {darkened(base, 0.74), 1}}, {-0.3 * w, -0.42 * h},
                            1.65 * h));

    GraphicsContext clipped = c;  // the pattern never shows outside the shell
    clipped.clip(egg);
    if (pattern == 0) {  // zigzag frieze between two borders
        Path zigzag;
        std::vector<Point> points;
        const double x0 = -w - 0.1 * h;
        const double step = (2 * w + 0.2 * h) / 8;
        for (int i = 0; i <= 8; ++i) points.push_back({x0 + i * step, i % 2 == 0 ? -0.11 * h : 0.15 * h});
        zigzag.addLines(points);
        zigzag.addPath(Path::line({-w, -0.34 * h}, {w, -0.34 * h}));
        zigzag.addPath(Path::line({-w, 0.4 * h}, {w, 0.4 * h}));
        clipped.stroke(zigzag, accent92, stroke(0.8));
    } else if (pattern == 1) {  // dots
        static constexpr double kDots[][2] = {{-0.2, -0.52}, {0.22, -0.52}, {-0.46, -0.1}, {0, -0.1},
                                              {0.46, -0.1},  {-0.26, 0.32}, {0.26, 0.32},  {0, 0.7}};
        Path dots;
        for (const auto& d : kDots) dots.addPath(Path::circle({d[0] * h, d[1] * h}, 0.1 * h));
        clipped.fill(dots, accent92);
    } else {  // three waves
        Path waves;
        const double x0 = -w - 0.1 * h;
        const double q = (2 * w + 0.2 * h) / 4;
        for (double baseline : {-0.42 * h, 0.0, 0.42 * h}) {
            waves.move(x0, baseline);
            for (int j = 1; j <= 4; ++j)
                waves.addQuadCurve({x0 + j * q, baseline}, {x0 + (j - 0.5) * q, baseline + (j % 2 ? -0.14 : 0.14) * h});
        }
        clipped.stroke(waves, accent92, stroke(0.7));
    }
    c.stroke(egg, rgb(pal.base[0] * 0.48, pal.base[1] * 0.48, pal.base[2] * 0.48, 0.55, s),
             stroke(0.55, gfx::LineCap::butt, gfx::LineJoin::round));
}

void drawPetal(const HUDFestiveParticle& p, GraphicsContext c, bool, double s) {
    const double h = 0.5 * p.size;
    c.scaleBy(0.35 + 0.65 * std::fabs(std::cos(p.seed * 3.1416 + p.rot * 0.9)), 1);
    Path petal;  // a pointed oval
    petal.move(0, 0.92 * h);
    petal.addQuadCurve({0, -h}, {0.56 * h, -0.18 * h});
    petal.addQuadCurve({0, 0.92 * h}, {-0.56 * h, -0.18 * h});
    petal.closeSubpath();
    c.fill(petal, linear({rgb(1, 1, 1, 1, s), rgb(1.0, 0.97, 0.88, 1, s), rgb(1.0, 0.92, 0.70, 1, s)}, {0, -h},
                         {0, 0.92 * h}));
    c.stroke(petal, rgb(0.80, 0.56, 0.62, 0.5, s), stroke(0.45, gfx::LineCap::butt, gfx::LineJoin::round));
}

void drawDaisy(const HUDFestiveParticle& p, GraphicsContext c, bool, double s) {
    const double h = 0.5 * p.size;
    const Path petal = ellipseIn(0.24 * h, -0.17 * h, 0.76 * h, 0.34 * h);
    Path petals;
    for (int i = 0; i < 8; ++i)
        petals.addPath(petal, gfx::AffineTransform::rotation(gfx::Angle::radians(p.seed * 0.4 + i * kPi / 4)));
    c.fill(petals, radial({rgb(1, 1, 1, 1, s), rgb(1.0, 0.99, 0.95, 1, s), rgb(0.94, 0.92, 0.86, 1, s)}, {0, 0}, h,
                          0.2 * h));
    c.stroke(petals, rgb(0.50, 0.46, 0.46, 0.38, s), stroke(0.4, gfx::LineCap::butt, gfx::LineJoin::miter));
    c.fill(Path::circle({0, 0}, 0.3 * h),
           radial({rgb(1.0, 0.90, 0.46, 1, s), rgb(0.98, 0.76, 0.22, 1, s), rgb(0.86, 0.56, 0.12, 1, s)},
                  {-0.08 * h, -0.08 * h}, 0.33 * h));
}

}  // namespace

gfx::Path easterEggPath(double H) {
    const double w = 0.74 * H;
    Path p;
    p.move(0, -H);
    p.addCurve({w, 0.15 * H}, {0.62 * w, -H}, {w, -0.45 * H});
    p.addCurve({0, H}, {w, 0.72 * H}, {0.58 * w, H});
    p.addCurve({-w, 0.15 * H}, {-0.58 * w, H}, {-w, 0.72 * H});
    p.addCurve({0, -H}, {-w, -0.45 * H}, {-0.62 * w, -H});
    p.closeSubpath();
    return p;
}

void drawFestiveParticleByKind3(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                                double strength, FestiveFigureDrawer first, FestiveFigureDrawer second,
                                FestiveFigureDrawer third) {
    const FestiveFigureDrawer figures[] = {first, second, third};
    if (const auto draw = figures[figureOfKind(particle.kind, std::size(figures))])
        draw(particle, std::move(context), isDark, strength);
}

void EasterFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                            double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    drawFestiveParticleByKind3(*p, std::move(context), isDark, strength, drawEgg, drawPetal, drawDaisy);
}

}  // namespace quillmar
