#include "festive_hud/st_patricks_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

// A gold coin flipping about its horizontal axis: the particle's spin drives the flip instead of
// turning the coin, which keeps a fixed tilt of its own.
void drawCoin(GraphicsContext& c, const HUDFestiveParticle& p, double outline, double s) {
    const double h = 0.5 * p.size;
    c.rotateBy(-p.rot);
    c.rotateBy((p.seed - 0.5) * 1.1);
    const double open = std::max(std::fabs(std::cos(p.rot)), 0.07);  // visible height of the face
    const double d = 0.3 * h * std::sin(p.rot);                      // visible thickness of the rim
    const double w = h * open;
    const double e1 = std::min(d, 0.0);
    const double e2 = std::max(d, 0.0);
    Path rim;
    rim.move(-h, e1);
    rim.addCurve({h, e1}, {-h, e1 - 4.0 / 3 * w}, {h, e1 - 4.0 / 3 * w});
    rim.addLine(h, e2);
    rim.addCurve({-h, e2}, {h, e2 + 4.0 / 3 * w}, {-h, e2 + 4.0 / 3 * w});
    rim.closeSubpath();
    c.fill(rim, linear({rgb(0.70, 0.47, 0.08, 1, s), rgb(0.42, 0.25, 0.03, 1, s)}, {0, -h}, {0, h}));
    const Path face = ellipseIn(-h, -w, 2 * h, 2 * w);
    c.fill(face, radialStops({{rgb(1.0, 0.95, 0.66, 1, s), 0}, {rgb(0.99, 0.80, 0.28, 1, s), 0.55},
                              {rgb(0.76, 0.50, 0.08, 1, s), 1}},
                             {-0.3 * h, -0.3 * w}, 1.25 * h));
    c.stroke(face, rgb(0.34, 0.19, 0.02, 0.85 * outline, s), stroke(0.6));

    c.scaleBy(1, open);  // emblem and glint are drawn as on a round face, squashed with it
    if (open > 0.3) {
        const Color brown = rgb(0.58, 0.36, 0.05, (open - 0.3) / 0.7 * 0.75, s);
        if (p.seed < 0.5) {  // a harp
            Path harp;
            harp.move(-0.3 * h, 0.42 * h);
            harp.addLine(-0.3 * h, -0.08 * h);
            harp.addQuadCurve({0.3 * h, -0.4 * h}, {-0.22 * h, -0.58 * h});
            harp.addQuadCurve({0.32 * h, 0.42 * h}, {0.52 * h, 0.02 * h});
            harp.closeSubpath();
            harp.addPath(Path::line({-0.12 * h, 0.4 * h}, {-0.1 * h, -0.26 * h}));
            harp.addPath(Path::line({0.04 * h, 0.4 * h}, {0.06 * h, -0.34 * h}));
            harp.addPath(Path::line({0.18 * h, 0.4 * h}, {0.2 * h, -0.3 * h}));
            c.stroke(harp, brown, stroke(0.55));
        } else {  // a shamrock
            Path shamrock = Path::circle({0, -0.25 * h}, 0.17 * h);
            shamrock.addPath(Path::circle({0.173 * h, 0.05 * h}, 0.17 * h));
            shamrock.addPath(Path::circle({-0.173 * h, 0.05 * h}, 0.17 * h));
            shamrock.addPath(ellipseIn(-0.04 * h, 0.03 * h, 0.08 * h, 0.42 * h));
            c.fill(shamrock, brown);
        }
    }
    if (open > 0.18) {
        const double R = 0.74 * h;
        auto onArc = [](double radius, double a) { return Point{radius * std::cos(a), radius * std::sin(a)}; };
        Path glint;
        glint.move(onArc(R, -0.92 * kPi));
        glint.addQuadCurve(onArc(R, -0.56 * kPi), onArc(R / std::cos(0.18 * kPi), -0.74 * kPi));
        c.stroke(glint, rgb(1.0, 0.99, 0.90, 0.8, s), stroke(0.8));
    }
}

void drawClover(GraphicsContext& c, const HUDFestiveParticle& p, double outline, double s) {
    const double h = 0.5 * p.size;
    c.scaleBy(0.42 + 0.58 * std::fabs(std::cos(p.seed * 6.2832 + p.age * 4.6)), 1);
    Path stem;
    stem.move(0, 0.15 * h);
    stem.addQuadCurve({0.42 * h, 1.1 * h}, {-0.14 * h, 0.82 * h});
    c.stroke(stem, rgb(0.08, 0.40, 0.18, 0.95, s), stroke(0.8));
    Path leaf;  // a heart along +x, its point toward the centre
    leaf.move(0.1 * h, 0);
    leaf.addCurve({0.72 * h, 0}, {0.18 * h, -0.62 * h}, {1.08 * h, -0.46 * h});
    leaf.addCurve({0.1 * h, 0}, {1.08 * h, 0.46 * h}, {0.18 * h, 0.62 * h});
    leaf.closeSubpath();
    Path clover;
    Path veins;
    for (int i = 0; i < 4; ++i) {
        const double a = (2 * i + 1) * kPi / 4;
        clover.addPath(leaf, gfx::AffineTransform::rotation(gfx::Angle::radians(a)));
        veins.move(0.14 * h * std::cos(a), 0.14 * h * std::sin(a));
        veins.addLine(0.6 * h * std::cos(a), 0.6 * h * std::sin(a));
    }
    c.fill(clover, radialStops({{rgb(0.58, 0.92, 0.54, 1, s), 0}, {rgb(0.20, 0.72, 0.38, 1, s), 0.55},
                                {rgb(0.05, 0.44, 0.22, 1, s), 1}},
                               {-0.1 * h, -0.12 * h}, h));
    c.stroke(clover, rgb(0.01, 0.22, 0.10, 0.85 * outline, s), stroke(0.5));
    c.stroke(veins, rgb(0.82, 1.0, 0.82, 0.55, s), stroke(0.45));
}

void drawTwinkle(GraphicsContext& c, const HUDFestiveParticle& p, double s) {
    const double R = 0.5 * p.size * (0.5 + 0.5 * std::sin(kPi * p.age / std::max(p.life, 0.01)));
    c.rotateBy(p.seed * 3 + p.age * 1.6);
    c.fill(pinchedStarPath(R, 0.15), radialStops({{rgb(1.0, 1.0, 0.96, 1, s), 0}, {rgb(1.0, 0.88, 0.45, 0.9, s), 0.45},
                                                  {rgb(1.0, 0.74, 0.18, 0, s), 1}},
                                                 {0, 0}, R));
    c.fill(Path::circle({0, 0}, 0.2 * R), rgb(1, 1, 1, 0.95, s));
}

}  // namespace

void StPatricksFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                                double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    const double outline = isDark ? 1.0 : 1.3;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawCoin(context, *p, outline, strength); break;
        case 1: drawClover(context, *p, outline, strength); break;
        default: drawTwinkle(context, *p, strength); break;
    }
}

}  // namespace quillmar
