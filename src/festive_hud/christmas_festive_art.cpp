#include "festive_hud/christmas_festive_art.h"

#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

struct GiftColors {
    double box[3], boxShade[3], ribbon[3], ribbonHighlight[3];
};
// Red box with gold ribbon, green box with cream ribbon, cream box with red ribbon.
constexpr GiftColors kGiftPalette[] = {
    {{0.80, 0.18, 0.24}, {0.46, 0.05, 0.11}, {0.96, 0.86, 0.56}, {1.0, 0.97, 0.82}},
    {{0.20, 0.50, 0.32}, {0.05, 0.24, 0.15}, {0.97, 0.92, 0.80}, {1.0, 0.99, 0.94}},
    {{0.98, 0.94, 0.84}, {0.78, 0.68, 0.52}, {0.74, 0.12, 0.20}, {0.95, 0.40, 0.44}},
};

Color paletteColor(const double (&c)[3], double s) { return rgb(c[0], c[1], c[2], 1, s); }

void drawGift(GraphicsContext& c, const HUDFestiveParticle& p, double outline, double s) {
    const double h = 0.5 * p.size;
    const auto& pal = kGiftPalette[wrappedIndex(p.seed * 3, std::size(kGiftPalette))];
    const Color ribbon = paletteColor(pal.ribbon, s);
    const Color highlight = paletteColor(pal.ribbonHighlight, s);
    c.fill(Path::roundedRect({-0.86 * h, -0.52 * h, 1.72 * h, 1.58 * h}, 0.2 * h), rgb(0.02, 0.0, 0.04, 0.32, s));
    Path box = Path::roundedRect({-0.78 * h, -0.42 * h, 1.56 * h, 1.34 * h}, 0.1 * h);
    box.addPath(Path::roundedRect({-0.95 * h, -0.72 * h, 1.9 * h, 0.44 * h}, 0.08 * h));  // the lid
    c.fill(box, linear({paletteColor(pal.box, s), paletteColor(pal.boxShade, s)}, {-0.9 * h, -0.8 * h}, {0.9 * h, 0.9 * h}));
    Path ribbons = Path::rect({-0.13 * h, -0.72 * h, 0.26 * h, 1.64 * h});
    ribbons.addRect({-0.78 * h, 0.12 * h, 1.56 * h, 0.26 * h});
    c.fill(ribbons, linearStops({{ribbon, 0}, {highlight, 0.5}, {ribbon, 1}}, {-h, -h}, {h, h}));
    const Path loop = ellipseIn(-0.27 * h, -0.15 * h, 0.54 * h, 0.30 * h);
    Path bow = turnedAndPlaced(loop, -0.55, {-0.30 * h, -0.92 * h});
    bow.addPath(turnedAndPlaced(loop, 0.55, {0.30 * h, -0.92 * h}));
    bow.addPath(ellipseIn(-0.12 * h, -0.92 * h, 0.24 * h, 0.24 * h));  // the knot
    c.fill(bow, linear({highlight, ribbon}, {0, -1.1 * h}, {0, -0.7 * h}));
    c.stroke(box, rgb(0, 0, 0, 0.5 * outline, s), stroke(0.5));
}

void drawSnowflake(GraphicsContext& c, const HUDFestiveParticle& p, bool isDark, double s) {
    const double r = 0.5 * p.size;
    c.fill(Path::circle({0, 0}, 1.2 * r),
           radial({rgb(0.90, 0.95, 1.0, 0.22, s), rgb(0.90, 0.95, 1.0, 0, s)}, {0, 0}, 1.2 * r, 0.2 * r));
    Path crystal;
    auto along = [](double angle, double length) { return Point{length * std::cos(angle), length * std::sin(angle)}; };
    auto twig = [&](Point from, double angle, double length) {
        crystal.move(from);
        crystal.addLine(from + along(angle, length));
    };
    for (int i = 0; i < 3; ++i) {  // six arms
        const double a = i * kPi / 3;
        crystal.move(along(a, -r));
        crystal.addLine(along(a, r));
    }
    const bool secondPair = p.seed > 0.35;
    for (int i = 0; i < 6; ++i) {
        const double a = i * kPi / 3;
        const Point branch = along(a, (0.48 + 0.14 * p.seed) * r);
        twig(branch, a - kPi / 3, 0.3 * r);
        twig(branch, a + kPi / 3, 0.3 * r);
        if (secondPair) {
            const Point outer = along(a, 0.8 * r);
            twig(outer, a - kPi / 3, 0.17 * r);
            twig(outer, a + kPi / 3, 0.17 * r);
        }
    }
    c.stroke(crystal, rgb(0.04, 0.10, 0.22, 0.38 * (isDark ? 1.0 : 1.5), s), stroke(1.8));
    c.stroke(crystal, rgb(0.94, 0.97, 1.0, 0.96, s), stroke(0.9));
    c.fill(Path::circle({0, 0}, 0.16 * r), rgb(1, 1, 1, 0.95, s));
}

void drawBell(GraphicsContext& c, const HUDFestiveParticle& p, double outline, double s) {
    const double h = 0.5 * p.size;
    auto at = [h](double x, double y) { return Point{x * h, y * h}; };
    Path bell;
    bell.move(at(-0.7, 0.3));
    bell.addCurve(at(0.7, 0.3), at(-0.74, -0.98), at(0.74, -0.98));  // the dome
    bell.addQuadCurve(at(0.88, 0.58), at(0.78, 0.42));
    bell.addQuadCurve(at(-0.88, 0.58), at(0, 0.72));  // the mouth
    bell.addQuadCurve(at(-0.7, 0.3), at(-0.78, 0.42));
    bell.closeSubpath();
    c.fill(bell, radialStops({{rgb(1.0, 0.93, 0.64, 1, s), 0}, {rgb(0.90, 0.68, 0.22, 1, s), 0.5},
                              {rgb(0.50, 0.31, 0.05, 1, s), 1}},
                             at(-0.26, -0.28), 1.15 * h));
    c.stroke(bell, rgb(0.30, 0.17, 0.02, 0.85 * outline, s), stroke(0.5));
    Path clapper = Path::line(at(0, 0.22), at(0, 0.46));
    clapper.addPath(ellipseIn(-0.11 * h, 0.47 * h, 0.22 * h, 0.22 * h));
    clapper.addPath(ellipseIn(-0.13 * h, -0.86 * h, 0.26 * h, 0.26 * h));  // the hanging ring
    c.stroke(clapper, rgb(0.32, 0.18, 0.02, 0.9, s), stroke(0.6));
    c.fill(turnedAndPlaced(ellipseIn(-0.14 * h, -0.09 * h, 0.28 * h, 0.18 * h), 0.8, at(-0.26, -0.30)),
           rgb(1.0, 1.0, 0.96, 0.7, s));
}

Path hollyLeaf(double h) {
    const double w = 0.36 * h;
    // (end x, end y, control x, control y) in units of h and w: three inward scallops per edge.
    static constexpr double kCurves[][4] = {
        {0.24, -0.78, 0.14, -0.30}, {0.56, -1, 0.40, -0.52}, {0.84, -0.62, 0.70, -0.52}, {0.92, 0, 0.92, -0.24},
        {0.84, 0.62, 0.92, 0.24},   {0.56, 1, 0.70, 0.52},   {0.24, 0.78, 0.40, 0.52},   {0, 0, 0.14, 0.30},
    };
    Path leaf;
    leaf.move(0, 0);
    for (const auto& q : kCurves) leaf.addQuadCurve({q[0] * h, q[1] * w}, {q[2] * h, q[3] * w});
    leaf.closeSubpath();
    return leaf;
}

void drawHolly(GraphicsContext& c, const HUDFestiveParticle& p, double outline, double s) {
    const double h = 0.5 * p.size;
    const Point base{0, 0.14 * h};
    const Path leaf = hollyLeaf(h);
    Path sprig = turnedAndPlaced(leaf, -0.8 * kPi, base);
    sprig.addPath(turnedAndPlaced(leaf, -0.2 * kPi, base));
    Path veins;
    for (double a : {-0.8 * kPi, -0.2 * kPi}) {
        veins.move(base);
        veins.addLine(base + Point{0.88 * h * std::cos(a), 0.88 * h * std::sin(a)});
    }
    c.fill(sprig, linear({rgb(0.32, 0.64, 0.34, 1, s), rgb(0.04, 0.28, 0.13, 1, s)}, {-h, -h}, {0.6 * h, 0.8 * h}));
    c.stroke(sprig, rgb(0.0, 0.14, 0.06, 0.8 * outline, s), stroke(0.45));
    c.stroke(veins, rgb(0.72, 0.92, 0.66, 0.6, s), stroke(0.45));
    Path berries = Path::circle({-0.22 * h, 0.30 * h}, 0.19 * h);
    berries.addPath(Path::circle({0.20 * h, 0.34 * h}, 0.19 * h));
    berries.addPath(Path::circle({0, 0.56 * h}, 0.19 * h));
    c.fill(berries, radial({rgb(0.96, 0.30, 0.30, 1, s), rgb(0.62, 0.04, 0.10, 1, s)}, {-0.08 * h, 0.30 * h}, 0.6 * h));
    Path glints = Path::circle({-0.28 * h, 0.24 * h}, 0.06 * h);
    glints.addPath(Path::circle({0.14 * h, 0.28 * h}, 0.06 * h));
    glints.addPath(Path::circle({-0.06 * h, 0.50 * h}, 0.06 * h));
    c.fill(glints, rgb(1, 1, 1, 0.8, s));
}

}  // namespace

void ChristmasFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                               double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    const double outline = isDark ? 1.0 : 1.3;  // dark outlines stronger on a light bar
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawGift(context, *p, outline, strength); break;
        case 1: drawSnowflake(context, *p, isDark, strength); break;
        case 2: drawBell(context, *p, outline, strength); break;
        default: drawHolly(context, *p, outline, strength); break;
    }
}

}  // namespace quillmar
