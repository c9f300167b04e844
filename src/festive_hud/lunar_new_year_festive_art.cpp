#include "festive_hud/lunar_new_year_festive_art.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

void drawIngot(GraphicsContext& c, double s, double k) {
    c.fill(ellipseIn(-0.24 * s, -0.32 * s, 0.48 * s, 0.40 * s),
           radial({rgb(1, 0.97, 0.76, 1, k), rgb(0.9, 0.66, 0.16, 1, k)}, {-0.07 * s, -0.2 * s}, 0.3 * s));
    Path body;
    body.move(-0.5 * s, -0.14 * s);
    body.addCurve({0.5 * s, -0.14 * s}, {-0.4 * s, 0.44 * s}, {0.4 * s, 0.44 * s});
    body.addCurve({-0.5 * s, -0.14 * s}, {0.26 * s, 0.05 * s}, {-0.26 * s, 0.05 * s});
    body.closeSubpath();
    c.fill(body, linear({rgb(1, 0.91, 0.54, 1, k), rgb(0.98, 0.78, 0.26, 1, k), rgb(0.78, 0.5, 0.1, 1, k)},
                        {0, -0.14 * s}, {0, 0.3 * s}));
    c.stroke(body, rgb(0.42, 0.24, 0.03, 0.78, k), stroke(0.55));
    c.fill(ellipseIn(-0.17 * s, -0.25 * s, 0.15 * s, 0.07 * s), rgb(1, 1, 0.94, 0.8, k));
}

void drawEnvelope(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    c.scaleBy(0.38 + 0.62 * std::fabs(std::cos(tumblePhase(p.seed, p.age, 2.6))), 1);
    const double w = 0.68 * s;
    const Path body = Path::roundedRect(gfx::Rect{-w / 2, -0.5 * s, w, s}, 0.06 * s);
    c.fill(body, linear({rgb(0.93, 0.24, 0.18, 1, k), rgb(0.7, 0.07, 0.1, 1, k)}, {0, -0.5 * s}, {0, 0.5 * s}));
    Path flap;
    flap.move(-w / 2, -0.5 * s);
    flap.addLine(w / 2, -0.5 * s);
    flap.addQuadCurve({0, -0.1 * s}, {0.3 * w, -0.2 * s});
    flap.addQuadCurve({-w / 2, -0.5 * s}, {-0.3 * w, -0.2 * s});
    flap.closeSubpath();
    c.fill(flap, rgb(0.58, 0.04, 0.07, 1, k));
    c.fill(Path::circle({0, -0.215 * s}, 0.095 * s),
           radial({rgb(1, 0.94, 0.62, 1, k), rgb(0.88, 0.64, 0.16, 1, k)}, {-0.03 * s, -0.245 * s}, 0.11 * s));
    c.stroke(body, rgb(0.3, 0.02, 0.04, 0.75, k), stroke(0.5));
}

void drawPetal(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    paintBlossomPetal(c, p, -0.74, rgb(1, 0.86, 0.9, 1, k), rgb(0.93, 0.42, 0.56, 1, k), rgb(0.48, 0.1, 0.22, 0.65, k));
}

void drawCoin(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double r = 0.5 * p.size;
    // Never fully edge-on.
    c.scaleBy(std::max(std::fabs(std::cos(tumblePhase(p.seed, p.age, 5))), 0.12), 1);
    const Path disc = Path::circle({0, 0}, r);
    c.fill(disc, radial({rgb(1, 0.95, 0.66, 1, k), rgb(0.96, 0.76, 0.24, 1, k), rgb(0.72, 0.46, 0.08, 1, k)},
                        {-0.3 * r, -0.3 * r}, 1.35 * r));
    c.fill(Path::rect({-0.32 * r, -0.32 * r, 0.64 * r, 0.64 * r}), rgb(0.12, 0.07, 0.02, 0.85, k));
    c.stroke(disc, rgb(0.42, 0.24, 0.03, 0.78, k), stroke(0.55));
}

}  // namespace

void LunarNewYearFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool,
                                  double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawIngot(context, p->size, strength); break;
        case 1: drawEnvelope(context, *p, strength); break;
        case 2: drawPetal(context, *p, strength); break;
        default: drawCoin(context, *p, strength); break;
    }
}

}  // namespace quillmar
