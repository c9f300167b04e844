#include "festive_hud/seollal_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

Path lozengePath(double r, double scale) {
    const double k = r * scale;
    Path p;
    p.addPolygon({{0, -k}, {0.62 * k, 0}, {0, k}, {-0.62 * k, 0}});
    return p;
}

void drawLozenge(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    const double cosPhi = std::cos(tumblePhase(p.seed, p.age, 4));
    const double m = std::max(std::fabs(cosPhi), 0.1);
    c.scaleBy(cosPhi >= 0 ? m : -m, 1);  // the back face shows mirrored
    const Path outer = lozengePath(r, 1);
    c.fill(outer, linear({rgb(1, 0.95, 0.6 + 0.2 * m, 1, k), rgb(0.97, 0.78, 0.26, 1, k), rgb(0.8, 0.54, 0.12, 1, k)},
                         {-0.5 * r, -r}, {0.5 * r, r}));
    c.stroke(lozengePath(r, 0.55), rgb(0.66, 0.42, 0.06, 0.9, k), stroke(0.55));
    c.stroke(outer, rgb(0.4, 0.24, 0.04, 0.65, k), stroke(0.5));
    if (m > 0.85)
        c.stroke(Path::line({-0.3 * r, 0.3 * r}, {0.22 * r, -0.45 * r}), rgb(1, 1, 0.95, 0.8 * (m - 0.85) / 0.15, k),
                 stroke(0.7, gfx::LineCap::round, gfx::LineJoin::miter));
}

void drawPetal(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    paintBlossomPetal(c, p, -0.74, rgb(1, 0.88, 0.91, 1, k), rgb(0.94, 0.46, 0.58, 1, k), rgb(0.48, 0.12, 0.24, 0.65, k));
}

void drawPouch(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    auto at = [s](double x, double y) { return Point{x * s, y * s}; };
    Path pouch;
    pouch.move(at(-0.2, -0.26));
    pouch.addCurve(at(0, 0.5), at(-0.6, -0.1), at(-0.56, 0.5));
    pouch.addCurve(at(0.2, -0.26), at(0.56, 0.5), at(0.6, -0.1));
    pouch.addQuadCurve(at(0.28, -0.5), at(0.3, -0.36));
    pouch.addQuadCurve(at(0, -0.42), at(0.14, -0.54));
    pouch.addQuadCurve(at(-0.28, -0.5), at(-0.14, -0.54));
    pouch.addQuadCurve(at(-0.2, -0.26), at(-0.3, -0.36));
    pouch.closeSubpath();
    const bool indigo = p.seed > 0.62;
    const auto fill = indigo ? radial({rgb(0.46, 0.54, 0.84, 1, k), rgb(0.24, 0.3, 0.62, 1, k), rgb(0.12, 0.15, 0.42, 1, k)},
                                      at(-0.12, 0.04), 0.62 * s)
                             : radial({rgb(0.98, 0.42, 0.34, 1, k), rgb(0.86, 0.18, 0.18, 1, k), rgb(0.62, 0.07, 0.1, 1, k)},
                                      at(-0.12, 0.04), 0.62 * s);
    c.fill(pouch, fill);
    c.stroke(pouch, rgb(0.26, 0.02, 0.04, 0.78, k), stroke(0.55));
    Path bow;
    bow.move(at(-0.25, -0.28));
    bow.addLine(at(0.25, -0.28));
    bow.move(at(0, -0.28));
    bow.addCurve(at(0, -0.28), at(-0.26, -0.46), at(-0.26, -0.1));
    bow.move(at(0, -0.28));
    bow.addCurve(at(0, -0.28), at(0.26, -0.46), at(0.26, -0.1));
    c.stroke(bow, rgb(1, 0.84, 0.32, 1, k), stroke(std::max(0.075 * s, 0.7)));
    c.fill(ellipseIn(-0.24 * s, -0.16 * s, 0.15 * s, 0.3 * s), rgb(1, 1, 1, 0.22, k));
}

void drawJadeRing(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    c.scaleBy(std::max(std::fabs(std::cos(tumblePhase(p.seed, p.age, 3.2))), 0.22), 1);
    const double R = 0.8 * r;
    const double w = 0.4 * r;
    const Path ring = Path::circle({0, 0}, R);
    c.stroke(ring, rgb(0.04, 0.12, 0.1, 0.72, k), stroke(w + 1, gfx::LineCap::butt, gfx::LineJoin::miter));
    c.stroke(ring,
             linear({rgb(0.78, 0.92, 0.82, 1, k), rgb(0.56, 0.8, 0.68, 1, k), rgb(0.34, 0.6, 0.5, 1, k)}, {-r, -r}, {r, r}),
             stroke(w, gfx::LineCap::butt, gfx::LineJoin::miter));
    Path highlight;  // the 56° stretch across the top of the ring
    highlight.addArc({0, 0}, R, gfx::Angle::radians(-2.234021443), gfx::Angle::radians(-1.256637061), false);
    c.stroke(highlight, rgb(1, 1, 1, 0.55, k), stroke(0.32 * w, gfx::LineCap::round, gfx::LineJoin::miter));
}

}  // namespace

void SeollalFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool, double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawLozenge(context, *p, strength); break;
        case 1: drawPetal(context, *p, strength); break;
        case 2: drawPouch(context, *p, strength); break;
        default: drawJadeRing(context, *p, strength); break;
    }
}

}  // namespace quillmar
