#include "festive_hud/mid_autumn_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

void drawOsmanthus(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    c.scaleBy(0.55 + 0.45 * std::fabs(std::cos(tumblePhase(p.seed, p.age, 1.8))), 1);
    Path petal;  // pointing up
    petal.move(0, -0.05 * r);
    petal.addCurve({0, -0.98 * r}, {-0.52 * r, -0.12 * r}, {-0.58 * r, -0.92 * r});
    petal.addCurve({0, -0.05 * r}, {0.58 * r, -0.92 * r}, {0.52 * r, -0.12 * r});
    petal.closeSubpath();
    Path floret;
    for (int i = 0; i < 4; ++i)
        floret.addPath(petal, gfx::AffineTransform::rotation(gfx::Angle::radians(i * kPi / 2)));
    c.fill(floret, radial({rgb(0.98, 0.6, 0.16, 1, k), rgb(1, 0.82, 0.36, 1, k), rgb(1, 0.9, 0.52, 1, k)}, {0, 0}, r));
    c.stroke(floret, rgb(0.6, 0.32, 0.05, 0.62, k), stroke(0.5));
    c.fill(Path::circle({0, 0}, 0.2 * r), rgb(0.72, 0.38, 0.06, 1, k));
}

void drawStar(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    const double tw = std::sin(7 * p.age + 6.2832 * p.seed);
    const double R = (0.72 + 0.28 * tw) * r;
    c.fill(Path::circle({0, 0}, 1.1 * r),
           radial({rgb(1, 0.96, 0.8, 0.55, k), rgb(1, 0.92, 0.7, 0.14, k), rgb(1, 0.9, 0.66, 0, k)}, {0, 0}, 1.1 * r));
    c.fill(pinchedStarPath(R, 0.13), radial({rgb(1, 1, 0.96, 1, k), rgb(1, 0.94, 0.72, 0.9, k)}, {0, 0}, R));
}

void drawRabbit(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    auto at = [s](double x, double y) { return Point{x * s, y * s}; };
    // A crouching rabbit facing left with two upright ears: (end, control) of each curve.
    static constexpr double kCurves[][4] = {
        {0, 0.3, 0.28, 0.34},     {-0.32, 0.24, -0.18, 0.32}, {-0.44, 0.02, -0.46, 0.18}, {-0.4, -0.18, -0.5, -0.1},
        {-0.34, -0.5, -0.44, -0.4}, {-0.22, -0.22, -0.24, -0.44}, {-0.1, -0.52, -0.22, -0.44}, {0, -0.2, -0.02, -0.44},
        {0.36, -0.16, 0.16, -0.26}, {0.48, 0.04, 0.5, -0.1},     {0.44, 0.16, 0.52, 0.12},
    };
    Path body;
    body.move(at(0.44, 0.16));
    for (const auto& q : kCurves) body.addQuadCurve(at(q[0], q[1]), at(q[2], q[3]));
    body.closeSubpath();
    c.fill(body, radial({rgb(0.99, 0.99, 0.95, 1, k), rgb(0.9, 0.94, 0.88, 1, k), rgb(0.74, 0.84, 0.76, 1, k)},
                        at(-0.08, -0.02), 0.52 * s));
    c.stroke(body, rgb(0.2, 0.36, 0.3, 0.78, k), stroke(0.55));
    c.fill(Path::circle(at(-0.34, -0.09), std::max(0.035 * s, 0.35)), rgb(0.16, 0.26, 0.26, 1, k));
}

void drawTeardrop(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    c.scaleBy(0.45 + 0.55 * std::fabs(std::cos(tumblePhase(p.seed, p.age, 2.2))), 1);
    Path drop;
    drop.move(0, 0.95 * r);
    drop.addCurve({0, -r}, {-0.95 * r, 0.5 * r}, {-0.55 * r, -0.65 * r});
    drop.addCurve({0, 0.95 * r}, {0.55 * r, -0.65 * r}, {0.95 * r, 0.5 * r});
    drop.closeSubpath();
    c.fill(drop, linear({rgb(0.98, 0.66, 0.76, 1, k), rgb(1, 0.84, 0.72, 1, k), rgb(1, 0.82, 0.46, 1, k)}, {0, -r},
                        {0, 0.95 * r}));
    c.stroke(drop, rgb(0.66, 0.26, 0.38, 0.62, k), stroke(0.5));
}

}  // namespace

void MidAutumnFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool,
                               double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawOsmanthus(context, *p, strength); break;
        case 1: drawStar(context, *p, strength); break;
        case 2: drawRabbit(context, *p, strength); break;
        default: drawTeardrop(context, *p, strength); break;
    }
}

}  // namespace quillmar
