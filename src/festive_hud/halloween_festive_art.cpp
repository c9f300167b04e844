#include "festive_hud/halloween_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

// The figures are built in units of the particle size and scaled once; stroke widths stay in points.
gfx::AffineTransform unit(double s) { return gfx::AffineTransform::scale(s, s); }

// Sweet colour pairs: main colour and second colour.
constexpr double kSweetPairs[][2][3] = {
    {{1.0, 0.54, 0.12}, {0.1, 0.06, 0.12}},    // orange, near-black
    {{0.52, 0.24, 0.66}, {0.68, 0.92, 0.3}},   // purple, lime
    {{0.97, 0.96, 0.94}, {0.86, 0.14, 0.16}},  // white, red
};

void drawBat(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    c.rotateBy(0.16 * std::sin(15.0797 * p.age + 6.2832 * p.seed));  // sway
    const double f = std::sin(22 * p.age + 6.2832 * p.seed);          // flap
    const double L = -0.25 * f;
    const double d = 0.055 * (1 - 0.45 * f);
    Path bat;
    for (double side : {1.0, -1.0}) {
        // The right wing runs out from the body to the tip and back; the left is its mirror image,
        // drawn from the body's lower edge out to the tip.
        const Point root{0.08, -0.06}, tip{0.5, -0.05 + L}, lobe1{0.35, 0.1025 + 0.55 * L}, lobe2{0.21, 0.1475 + 0.25 * L},
            base{0.07, 0.17};
        const Point cTip{0.225, -0.2 + L}, c1{0.425, 0.02625 + 0.775 * L - d}, c2{0.28, 0.125 + 0.4 * L - d},
            c3{0.14, 0.15875 + 0.125 * L - d};
        auto m = [side](Point q) { return Point{side * q.x, q.y}; };
        if (side > 0) {
            bat.move(m(root));
            bat.addQuadCurve(m(tip), m(cTip));
            bat.addQuadCurve(m(lobe1), m(c1));
            bat.addQuadCurve(m(lobe2), m(c2));
            bat.addQuadCurve(m(base), m(c3));
        } else {
            bat.move(m(base));
            bat.addQuadCurve(m(lobe2), m(c3));
            bat.addQuadCurve(m(lobe1), m(c2));
            bat.addQuadCurve(m(tip), m(c1));
            bat.addQuadCurve(m(root), m(cTip));
        }
        bat.closeSubpath();
    }
    bat.move(-0.085, -0.34);  // body with ears
    bat.addLine(-0.02, -0.235);
    bat.addQuadCurve({0.02, -0.235}, {0, -0.25});
    bat.addLine(0.085, -0.34);
    bat.addLine(0.105, -0.2);
    bat.addCurve({0, 0.19}, {0.15, -0.06}, {0.12, 0.19});
    bat.addCurve({-0.105, -0.2}, {-0.12, 0.19}, {-0.15, -0.06});
    bat.closeSubpath();
    const double s = p.size;
    bat = bat.applying(unit(s));
    c.fill(bat, linear({rgb(0.36, 0.19, 0.48, 1, k), rgb(0.15, 0.07, 0.24, 1, k), rgb(0.06, 0.03, 0.1, 1, k)},
                       {0, -0.35 * s}, {0, 0.225 * s}));
    c.stroke(bat, rgb(0.74, 0.58, 0.92, 0.42, k), stroke(0.55));
    Path eyes = ellipseIn(-0.07, -0.19, 0.055, 0.035);
    eyes.addPath(ellipseIn(0.015, -0.19, 0.055, 0.035));
    c.fill(eyes.applying(unit(s)), rgb(1.0, 0.6, 0.14, 0.7 + 0.3 * std::sin(9 * p.age + 3 * p.seed), k));
}

void drawCandyCorn(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    Path kernel;
    kernel.move(-0.035, -0.5);
    kernel.addQuadCurve({0.035, -0.5}, {0, -0.53});
    kernel.addQuadCurve({0.28, 0.35}, {0.2, -0.06});
    kernel.addQuadCurve({0.2, 0.46}, {0.29, 0.46});
    kernel.addQuadCurve({-0.2, 0.46}, {0, 0.51});
    kernel.addQuadCurve({-0.28, 0.35}, {-0.29, 0.46});
    kernel.addQuadCurve({-0.035, -0.5}, {-0.2, -0.06});
    kernel.closeSubpath();
    kernel = kernel.applying(unit(s));
    fillDropShadow(c, kernel, p.rot, rgb(0.05, 0.02, 0.08, 0.3, k));
    c.fill(kernel, linearStops({{rgb(1.0, 0.98, 0.94, 1, k), 0}, {rgb(0.98, 0.94, 0.88, 1, k), 0.3},
                                {rgb(1.0, 0.56, 0.12, 1, k), 0.3}, {rgb(0.97, 0.49, 0.1, 1, k), 0.65},
                                {rgb(1.0, 0.84, 0.22, 1, k), 0.65}, {rgb(0.95, 0.75, 0.16, 1, k), 1}},
                               {0, -0.5 * s}, {0, 0.46 * s}));
    c.fill(kernel, linear({rgb(1, 1, 1, 0.34, k), rgb(1, 1, 1, 0, k), rgb(0.3, 0.1, 0.02, 0.32, k)}, {-0.25 * s, 0},
                          {0.25 * s, 0}));
    c.stroke(kernel, rgb(0.42, 0.16, 0.04, 0.55, k), stroke(0.55, gfx::LineCap::butt, gfx::LineJoin::round));
}

void drawGhost(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    c.rotateBy(0.1 * std::sin(2.8 * p.age + 6.2832 * p.seed) - 0.8 * p.rot);  // undoes most of the spin
    const double w = std::sin(7 * p.age + 6.2832 * p.seed);
    Path ghost;
    ghost.move(-0.31, 0.39 + 0.035 * w);
    ghost.addLine(-0.31, -0.025);
    ghost.addCurve({0.31, -0.025}, {-0.31, -0.49}, {0.31, -0.49});
    ghost.addLine(0.31, 0.39 + 0.035 * w);
    ghost.addQuadCurve({0.105, 0.4 - 0.035 * w}, {0.21, 0.25 - 0.025 * w});  // the waving hem
    ghost.addQuadCurve({-0.105, 0.4 - 0.035 * w}, {0, 0.26 + 0.025 * w});
    ghost.addQuadCurve({-0.31, 0.39 + 0.035 * w}, {-0.21, 0.25 - 0.025 * w});
    ghost.closeSubpath();
    ghost = ghost.applying(unit(s));
    c.fill(ghost, radial({rgb(1, 1, 1, 1, k), rgb(0.93, 0.94, 1.0, 0.98, k), rgb(0.76, 0.78, 0.92, 0.96, k)},
                         {-0.075 * s, -0.15 * s}, 0.675 * s));
    c.stroke(ghost, rgb(0.28, 0.26, 0.48, 0.4, k), stroke(0.5, gfx::LineCap::butt, gfx::LineJoin::round));
    Path eyes = ellipseIn(-0.14, -0.18, 0.08, 0.115);
    eyes.addPath(ellipseIn(0.06, -0.18, 0.08, 0.115));
    c.fill(eyes.applying(unit(s)), rgb(0.1, 0.07, 0.2, 0.95, k));
}

void drawEmber(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    const double flicker = 0.65 + 0.35 * std::sin(14 * p.age + 6.2832 * p.seed);
    c.fill(Path::circle({0, 0}, 0.65 * s),
           radial({rgb(1.0, 0.55, 0.12, 0.55 * flicker, k), rgb(1.0, 0.45, 0.08, 0.16 * flicker, k), rgb(1.0, 0.4, 0.05, 0, k)},
                  {0, 0}, 0.65 * s));
    const double R = 0.5 * (0.78 + 0.22 * flicker);
    Path spark;
    spark.addPolygon({{0, -R}, {0.13, -0.13}, {R, 0}, {0.13, 0.13}, {0, R}, {-0.13, 0.13}, {-R, 0}, {-0.13, -0.13}});
    c.fill(spark.applying(unit(s)), radial({rgb(1.0, 0.97, 0.8, 1, k), rgb(1.0, 0.72, 0.22, 1, k)}, {0, 0}, R * s));
}

void drawJackOLantern(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    const Path body =
        mirroredOutline({0, -0.25}, {cubicTo(0.5, 0.08, 0.32, -0.35, 0.5, -0.16), cubicTo(0, 0.41, 0.5, 0.31, 0.29, 0.41)}, s);
    fillDropShadow(c, body, p.rot, rgb(0.08, 0.03, 0.02, 0.32, k));
    c.fill(body, radial({rgb(1.0, 0.72, 0.28, 1, k), rgb(0.96, 0.5, 0.12, 1, k), rgb(0.62, 0.24, 0.05, 1, k)},
                        {-0.14 * s, -0.07 * s}, 0.725 * s));
    Path ribs;
    for (double side : {-1.0, 1.0}) {
        ribs.move(side * 0.17, -0.22);
        ribs.addQuadCurve({side * 0.17, 0.39}, {side * 0.35, 0.085});
    }
    ribs.move(0, -0.25);
    ribs.addQuadCurve({0, 0.41}, {-0.03, 0.08});
    Path allRibs = body;
    allRibs.addPath(ribs.applying(unit(s)));
    c.stroke(allRibs, rgb(0.44, 0.14, 0.02, 0.55, k), stroke(0.5));
    Path stem;
    stem.move(-0.055, -0.22);
    stem.addCurve({0.09, -0.46}, {-0.07, -0.36}, {0, -0.46});
    stem.addCurve({0.065, -0.23}, {0.09, -0.38}, {0.055, -0.3});
    stem.closeSubpath();
    c.fill(stem.applying(unit(s)), rgb(0.36, 0.46, 0.2, 1, k));
    Path face;
    face.addPolygon({{-0.23, -0.01}, {-0.07, -0.01}, {-0.15, -0.14}});
    face.addPolygon({{0.07, -0.01}, {0.23, -0.01}, {0.15, -0.14}});
    face.move(-0.28, 0.12);
    face.addQuadCurve({0.28, 0.12}, {0, 0.4});
    for (const Point tooth : {Point{0.2, 0.17}, Point{0.14, 0.25}, Point{0.08, 0.18}, Point{0, 0.28}, Point{-0.08, 0.18},
                              Point{-0.14, 0.25}, Point{-0.2, 0.17}})
        face.addLine(tooth);
    face.closeSubpath();
    const double candle = 0.78 + 0.22 * std::sin(9 * p.age + 6 * p.seed);
    c.fill(face.applying(unit(s)),
           radial({rgb(1.0, 0.96, 0.7, candle, k), rgb(1.0, 0.8, 0.26, candle, k), rgb(0.92, 0.56, 0.1, candle, k)},
                  {0, 0.09 * s}, 0.375 * s));
}

void drawLollipop(GraphicsContext& c, double s, const Color& main, const Color& second, double k) {
    c.fill(Path::roundedRect({-0.035 * s, 0.046 * s, 0.07 * s, 0.464 * s}, {0.03 * s, 0.03 * s}),
           rgb(0.94, 0.92, 0.86, 1, k));
    const Path disc = Path::circle({0, -0.14 * s}, 0.31 * s);
    c.fill(disc, radial({lightened(main, 0.45), main, darkened(main, 0.72)}, {-0.0775 * s, -0.233 * s}, 0.465 * s));
    std::vector<Point> swirl;
    constexpr double kTurns = 14.4513;
    for (int i = 0; 0.42 * i < kTurns; ++i) {
        const double theta = 0.42 * i;
        const double r = 0.31 * theta / kTurns;
        swirl.push_back({r * std::cos(theta) * s, (-0.14 + r * std::sin(theta)) * s});
    }
    Path spiral;
    spiral.addLines(swirl);
    GraphicsContext clipped = c;
    clipped.clip(disc);
    clipped.stroke(spiral, second.withAlpha(alpha(0.92, k)), stroke(std::max(0.0682 * s, 0.7)));
    c.stroke(disc, darkened(main, 0.4).withAlpha(alpha(0.6, k)), stroke(0.55, gfx::LineCap::butt, gfx::LineJoin::miter));
}

void drawWrappedCandy(GraphicsContext& c, double s, const Color& main, const Color& second, double k) {
    const Path body = ellipseIn(-0.31 * s, -0.21 * s, 0.62 * s, 0.42 * s);
    Path wrapper = body;
    for (double side : {1.0, -1.0}) {
        Path twist;
        twist.move(side * 0.2852, 0);
        twist.addQuadCurve({side * 0.5, -0.18}, {side * 0.42, -0.03});
        twist.addQuadCurve({side * 0.5, 0.18}, {side * 0.45, 0});
        twist.addQuadCurve({side * 0.2852, 0}, {side * 0.42, 0.03});
        twist.closeSubpath();
        wrapper.addPath(twist.applying(unit(s)));
    }
    c.fill(wrapper, linear({lightened(main, 0.4), main, darkened(main, 0.66)}, {-0.1 * s, -0.21 * s}, {0.1 * s, 0.21 * s}));
    Path stripes;
    for (double x : {-0.21, 0.0, 0.21}) {
        stripes.move((x - 0.14) * s, 0.26 * s);
        stripes.addLine((x + 0.14) * s, -0.26 * s);
    }
    GraphicsContext clipped = c;
    clipped.clip(body);
    clipped.stroke(stripes, second.withAlpha(alpha(0.92, k)),
                   stroke(std::max(0.085 * s, 0.8), gfx::LineCap::butt, gfx::LineJoin::miter));
    Path highlight;
    highlight.move(-0.21 * s, -0.11 * s);
    highlight.addQuadCurve({0.15 * s, -0.13 * s}, {-0.03 * s, -0.21 * s});
    c.stroke(highlight, rgb(1, 1, 1, 0.55, k), stroke(0.6, gfx::LineCap::round, gfx::LineJoin::miter));
    c.stroke(wrapper, darkened(main, 0.38).withAlpha(alpha(0.6, k)), stroke(0.5, gfx::LineCap::butt, gfx::LineJoin::round));
}

void drawSweet(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double u = fract(7.3137 * p.seed) + 0.173;
    const auto& pair = kSweetPairs[clampedIndex(3 * u, std::size(kSweetPairs))];
    const Color main = rgb(pair[0][0], pair[0][1], pair[0][2], 1, k);
    const Color second = rgb(pair[1][0], pair[1][1], pair[1][2], 1, 1);
    if (p.seed > 0.7)
        drawLollipop(c, p.size, main, second, k);
    else
        drawWrappedCandy(c, p.size, main, second, k);
}

}  // namespace

void HalloweenFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool,
                               double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    using Figure = void (*)(GraphicsContext&, const HUDFestiveParticle&, double);
    static constexpr Figure kFigures[] = {drawBat, drawCandyCorn, drawGhost, drawEmber, drawJackOLantern, drawSweet};
    static_assert(std::size(kFigures) == kKindSpecs.size());
    kFigures[figureOfKind(p->kind, std::size(kFigures))](context, *p, strength);
}

}  // namespace quillmar
