#include "festive_hud/oshogatsu_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

// The seed hash that shapes each gold leaf: a value in 0...1.
double leafHash(double v) { return fract(std::sin(v) * 43758.5453); }

void drawPetal(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    if (p.seed < 0.5)  // red
        paintBlossomPetal(c, p, -0.84, rgb(0.98, 0.56, 0.6, 1, k), rgb(0.8, 0.12, 0.22, 1, k), rgb(0.4, 0.04, 0.1, 0.7, k));
    else  // white
        paintBlossomPetal(c, p, -0.84, rgb(1, 1, 0.98, 1, k), rgb(0.98, 0.86, 0.88, 1, k), rgb(0.55, 0.3, 0.36, 0.7, k));
}

void drawGoldLeaf(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    const double cosPhi = std::cos(tumblePhase(p.seed, p.age, 4.2));
    const double m = std::max(std::fabs(cosPhi), 0.08);
    c.scaleBy(cosPhi >= 0 ? m : -m, 1);  // the back face shows mirrored
    // An irregular quadrilateral fixed by the seed alone, so it keeps its shape frame to frame.
    const double u = 12.9898 * p.seed;
    std::vector<Point> corners;
    corners.reserve(4);
    for (int i = 0; i < 4; ++i) {
        const double a = (2 * i + 1) * kPi / 4 + (leafHash(u + 78.233 * i) - 0.5) * 0.9;
        const double d = (0.66 + 0.34 * leafHash(u + 547.631 + 78.233 * i)) * r;
        corners.push_back({d * std::cos(a), d * std::sin(a)});
    }
    Path flake;
    flake.addPolygon(corners);
    c.fill(flake, linear({rgb(1, 0.96 + 0.04 * m, 0.66 + 0.18 * m, 1, k), rgb(0.84, 0.6, 0.14, 1, k)}, {-r, -r}, {r, r}));
    c.stroke(flake, rgb(0.4, 0.24, 0.04, 0.62, k), stroke(0.5));
    if (m > 0.82)
        c.stroke(Path::line({-0.45 * r, 0.1 * r}, {0.25 * r, -0.4 * r}), rgb(1, 1, 0.95, 0.85 * (m - 0.82) / 0.18, k),
                 stroke(0.7, gfx::LineCap::round, gfx::LineJoin::miter));
}

Path cord(double s, double side) {
    Path p;
    p.move(side * 0.36 * s, 0.5 * s);
    p.addQuadCurve({0, 0.06 * s}, {side * 0.22 * s, 0.22 * s});
    p.addCurve({0, 0.06 * s}, {-side * 0.62 * s, -0.46 * s}, {-side * 0.02 * s, -0.76 * s});
    return p;
}

void drawCordKnot(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    const double w = std::max(0.095 * s, 0.9);
    const Path right = cord(s, 1);
    const Path left = cord(s, -1);
    Path both = right;
    both.addPath(left);
    c.stroke(both, rgb(0.1, 0.04, 0.05, 0.6, k), stroke(w + 1));
    c.stroke(right, rgb(0.82, 0.1, 0.14, 1, k), stroke(w));
    c.stroke(left, rgb(0.99, 0.97, 0.93, 1, k), stroke(w));
}

void drawPineSprig(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    const double n = std::max(0.085 * s, 0.8);
    const Point base{0, 0.42 * s};
    Path needles;
    needles.move(base);
    needles.addQuadCurve({-0.32 * s, -0.4 * s}, {-0.22 * s, 0.02 * s});
    needles.move(base);
    needles.addQuadCurve({0, -0.5 * s}, {0.02 * s, -0.04 * s});
    needles.move(base);
    needles.addQuadCurve({0.32 * s, -0.4 * s}, {0.22 * s, 0.02 * s});
    c.stroke(needles, rgb(0.04, 0.12, 0.08, 0.65, k), stroke(n + 0.9));
    c.stroke(needles, linear({rgb(0.52, 0.76, 0.52, 1, k), rgb(0.22, 0.5, 0.32, 1, k)}, {0, -0.5 * s}, base),
             stroke(n));
    const double b = std::max(0.09 * s, 0.6);
    c.fill(ellipseIn(-b, base.y - 0.8 * b, 2 * b, 1.6 * b), rgb(0.46, 0.3, 0.16, 1, k));
}

}  // namespace

void OshogatsuFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool,
                               double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawPetal(context, *p, strength); break;
        case 1: drawGoldLeaf(context, *p, strength); break;
        case 2: drawCordKnot(context, *p, strength); break;
        default: drawPineSprig(context, *p, strength); break;
    }
}

}  // namespace quillmar
