#include "festive_hud/new_year_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

struct ConfettiColors {
    double light[3];
    double dark[3];
};
// Gold, silver, blue, pink.
constexpr ConfettiColors kConfettiPalette[] = {
    {{1.0, 0.84, 0.38}, {0.72, 0.5, 0.1}},
    {{0.96, 0.97, 1.0}, {0.58, 0.62, 0.7}},
    {{0.42, 0.6, 1.0}, {0.1, 0.2, 0.62}},
    {{1.0, 0.64, 0.72}, {0.74, 0.28, 0.44}},
};
constexpr std::size_t kConfettiColorCount = std::size(kConfettiPalette);

// Dark outlines are drawn stronger on a light bar.
double outlineBoost(bool isDark) { return isDark ? 1.0 : 1.3; }

void drawConfetti(GraphicsContext& c, const HUDFestiveParticle& p, bool isDark, double k) {
    const double r = 0.5 * p.size;
    const double w = 5.5 + 5 * fract(7.3 * p.seed);
    const double phi = 6.2832 * p.seed + w * p.age;
    c.scaleBy(std::max(std::fabs(std::cos(phi)), 0.08), 1);
    const auto& pal = kConfettiPalette[wrappedIndex(4 * p.seed, kConfettiColorCount)];
    const double flash = std::pow(std::max(std::sin(phi + 0.9), 0.0), 8);
    const double dim = std::cos(phi) < 0 ? 0.72 : 1.0;  // the back face
    auto faceChannel = [&](int i) { return (pal.light[i] * (1 - flash) + flash) * dim; };
    const Color face = rgb(faceChannel(0), faceChannel(1), faceChannel(2), 1, k);
    const Color shade = rgb(pal.dark[0] * dim, pal.dark[1] * dim, pal.dark[2] * dim, 1, k);
    const double q = fract(13.1 * p.seed);
    const Path shape = q < 0.5    ? Path::rect({-r, -0.6 * r, 2 * r, 1.2 * r})
                       : q < 0.78 ? Path::circle({0, 0}, 0.85 * r)
                                  : Path::rect({-r, -0.34 * r, 2 * r, 0.68 * r});
    c.fill(shape, linear({face, shade}, {-r, -r}, {r, r}));
    c.stroke(shape, rgb(0, 0, 0, 0.45 * outlineBoost(isDark), k), stroke(0.45));
    if (flash > 0.25)
        c.stroke(Path::line({-0.75 * r, 0.3 * r}, {0.75 * r, -0.3 * r}), rgb(1, 1, 1, 0.85 * flash, k), stroke(0.7));
}

void drawStreamer(GraphicsContext& c, const HUDFestiveParticle& p, bool isDark, double k) {
    const double s = p.size;
    const double A = 0.3 * s * std::sin(5.5 * p.age + 6.2832 * p.seed);
    Path ribbon;
    ribbon.move(-0.5 * s, 0);
    ribbon.addCurve({0.18 * s, 0}, {-0.3 * s, -A}, {0, A});
    ribbon.addCurve({0.36 * s, -0.2 * s - 0.06 * A}, {0.44 * s, 0.22 * s}, {0.62 * s, -0.04 * s});  // the curl
    // One colour on from the confetti of the same seed.
    const auto& pal = kConfettiPalette[wrappedIndex(4 * p.seed + 1, kConfettiColorCount)];
    const Color light = rgb(pal.light[0], pal.light[1], pal.light[2], 1, k);
    const Color dark = rgb(pal.dark[0], pal.dark[1], pal.dark[2], 1, k);
    c.stroke(ribbon, rgb(0, 0, 0, 0.35 * outlineBoost(isDark), k), stroke(2.4));
    c.stroke(ribbon, linear({light, dark, light}, {-0.5 * s, 0}, {0.5 * s, 0}), stroke(1.5));
    GraphicsContext sheen = c;
    sheen.translateBy(0, -0.45);
    sheen.stroke(ribbon, rgb(1, 1, 1, 0.55, k), stroke(0.45));
}

Point onCircle(double radius, double degrees) {
    const double a = degrees * kPi / 180;
    return {radius * std::cos(a), radius * std::sin(a)};
}

void drawBubble(GraphicsContext& c, const HUDFestiveParticle& p, bool isDark, double k) {
    const double r = 0.5 * p.size;
    const double w = std::sin(11 * p.age + 6.2832 * p.seed);
    c.scaleBy(1 + 0.07 * w, 1 - 0.07 * w);
    const Path bubble = Path::circle({0, 0}, r);
    c.stroke(bubble, rgb(0.25, 0.16, 0.02, 0.35 * outlineBoost(isDark), k), stroke(1.6));
    c.fill(bubble, radialStops({{rgb(1, 0.95, 0.75, 0, k), 0}, {rgb(1, 0.93, 0.7, 0.1, k), 0.7},
                                {rgb(1, 0.9, 0.6, 0.42, k), 1}},
                               {0, 0}, r));
    c.stroke(bubble, rgb(1, 0.96, 0.8, 0.9, k), stroke(0.7));
    const double R = 0.6 * r;
    Path highlight;  // the arc of radius R over the upper left
    highlight.move(onCircle(R, 198));
    highlight.addQuadCurve(onCircle(R, 255.6), onCircle(R / 0.87630668, 226.8));
    c.stroke(highlight, rgb(1, 1, 1, 0.92, k), stroke(0.9));
}

void drawSparkle(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    const double e = std::sin(kPi * p.age / std::max(p.life, 0.01));  // swells to mid-life and back
    const double R = (0.5 + 0.5 * e) * r;
    const bool gold = p.seed < 0.5;
    const Color middle = gold ? rgb(1, 0.86, 0.42, 0.9, k) : rgb(0.86, 0.92, 1, 0.9, k);
    const Color edge = gold ? rgb(1, 0.72, 0.18, 0, k) : rgb(0.7, 0.8, 1, 0, k);
    Path rays;
    rays.move(-1.35 * R, 0);
    rays.addLine(1.35 * R, 0);
    rays.move(0, -1.35 * R);
    rays.addLine(0, 1.35 * R);
    c.stroke(rays, rgb(1, 1, 1, 0.45 * e, k), stroke(0.4));
    c.fill(pinchedStarPath(R, 0.14), radialStops({{rgb(1, 1, 0.98, 1, k), 0}, {middle, 0.45}, {edge, 1}}, {0, 0}, R));
    c.fill(Path::circle({0, 0}, 0.18 * R), rgb(1, 1, 1, 0.95, k));
}

}  // namespace

void NewYearFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                             double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawConfetti(context, *p, isDark, strength); break;
        case 1: drawStreamer(context, *p, isDark, strength); break;
        case 2: drawBubble(context, *p, isDark, strength); break;
        default: drawSparkle(context, *p, strength); break;
    }
}

}  // namespace quillmar
