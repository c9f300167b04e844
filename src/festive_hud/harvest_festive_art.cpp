#include "festive_hud/harvest_festive_art.h"

#include <array>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

constexpr double kOakPalette[][3] = {{0.74, 0.32, 0.12}, {0.9, 0.55, 0.16}, {0.94, 0.74, 0.3}, {0.66, 0.54, 0.2}};
constexpr double kMaplePalette[][3] = {{0.8, 0.18, 0.12}, {0.92, 0.4, 0.12}, {0.96, 0.7, 0.22}};

// Leaves turn as they spin: the figure narrows to 35 % of its width and widens again.
void tumbleLeaf(GraphicsContext& c, const HUDFestiveParticle& p) {
    c.scaleBy(std::fabs(std::cos(3.1416 * p.seed + 0.9 * p.rot)) * 0.65 + 0.35, 1);
}

// Shadow, shaded leaf, veins and outline of a leaf in palette colour (r, g, b).
void paintLeaf(GraphicsContext& c, const HUDFestiveParticle& p, const Path& outline, const Path& veins,
               const double (&colour)[3], double k) {
    const double s = p.size;
    const Color leaf = rgb(colour[0], colour[1], colour[2], 1, k);
    fillDropShadow(c, outline, p.rot, rgb(0.1, 0.05, 0.02, 0.3, k));
    c.fill(outline, linear({lightened(leaf, 0.28), leaf, darkened(leaf, 0.7)}, {-0.15 * s, -0.5 * s}, {0.15 * s, 0.45 * s}));
    c.stroke(veins, rgb(0.46 * colour[0], 0.46 * colour[1], 0.46 * colour[2], 0.6, k), stroke(0.5));
    c.stroke(outline, rgb(0.42 * colour[0], 0.42 * colour[1], 0.42 * colour[2], 0.5, k),
             stroke(0.5, gfx::LineCap::butt, gfx::LineJoin::round));
}

// Veins from `from` to each end point, and their mirror images for those off the axis.
Path veinsFrom(Point from, std::initializer_list<Point> ends, double s) {
    Path veins;
    for (const Point e : ends) {
        veins.move(from.x * s, from.y * s);
        veins.addLine(e.x * s, e.y * s);
        if (e.x != 0) {
            veins.move(from.x * s, from.y * s);
            veins.addLine(-e.x * s, e.y * s);
        }
    }
    return veins;
}

void drawOakLeaf(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    tumbleLeaf(c, p);
    const Path outline = mirroredOutline({0, 0.44},
                                         {lineTo(0.05, 0.4), cubicTo(0.07, 0.19, 0.25, 0.43, 0.26, 0.18),
                                          cubicTo(0.08, -0.04, 0.31, 0.21, 0.31, -0.06),
                                          cubicTo(0.06, -0.26, 0.28, -0.03, 0.28, -0.28),
                                          cubicTo(0, -0.5, 0.18, -0.3, 0.11, -0.5)},
                                         s);
    Path veins = Path::line({0, 0.51 * s}, {0, -0.44 * s});
    veins.addPath(veinsFrom({0, 0.36}, {{0.18, 0.27}}, s));
    veins.addPath(veinsFrom({0, 0.135}, {{0.21, 0.045}}, s));
    veins.addPath(veinsFrom({0, -0.09}, {{0.195, -0.18}}, s));
    paintLeaf(c, p, outline, veins, kOakPalette[clampedIndex(std::size(kOakPalette) * p.seed, std::size(kOakPalette))], k);
}

void drawMapleLeaf(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    tumbleLeaf(c, p);
    const Path outline = mirroredOutline({0, 0.31},
                                         {lineTo(0.085, 0.2), quadTo(0.32, 0.15, 0.22, 0.21), lineTo(0.2, -0.01),
                                          quadTo(0.41, -0.21, 0.33, -0.06), lineTo(0.11, -0.23),
                                          quadTo(0, -0.5, 0.09, -0.39)},
                                         s);
    Path veins = Path::line({0, 0.49 * s}, {0, 0.25 * s});  // the stalk
    veins.addPath(veinsFrom({0, 0.25}, {{0, -0.395}, {0.3526, -0.1456}, {0.2752, 0.164}}, s));
    paintLeaf(c, p, outline, veins,
              kMaplePalette[clampedIndex(std::size(kMaplePalette) * p.seed, std::size(kMaplePalette))], k);
}

void drawAcorn(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    auto at = [s](double x, double y) { return Point{x * s, y * s}; };
    Path nut;
    nut.move(at(-0.19, -0.09));
    nut.addCurve(at(0, 0.5), at(-0.22, 0.24), at(-0.1, 0.5));
    nut.addCurve(at(0.19, -0.09), at(0.1, 0.5), at(0.22, 0.24));
    nut.closeSubpath();
    c.fill(nut, radial({rgb(0.86, 0.64, 0.36, 1, k), rgb(0.6, 0.36, 0.14, 1, k), rgb(0.34, 0.18, 0.07, 1, k)},
                       at(-0.06, 0.05), 0.525 * s));
    c.stroke(nut, rgb(0.22, 0.11, 0.04, 0.55, k), stroke(0.5, gfx::LineCap::butt, gfx::LineJoin::round));
    Path cap;
    cap.move(at(-0.24, -0.04));
    cap.addCurve(at(0.24, -0.04), at(-0.23, -0.41), at(0.23, -0.41));
    cap.addQuadCurve(at(-0.24, -0.04), at(0, 0.02));
    cap.closeSubpath();
    cap.addRoundedRect({-0.03 * s, -0.5 * s, 0.06 * s, 0.2 * s}, {0.025 * s, 0.025 * s});  // the stalk
    c.fill(cap, linear({rgb(0.5, 0.32, 0.14, 1, k), rgb(0.3, 0.17, 0.07, 1, k)}, at(-0.15, -0.35), at(0.15, -0.025)));
    Path texture;
    for (const auto& arc : {std::array<double, 3>{0.11, -0.265, -0.31}, std::array<double, 3>{0.165, -0.18, -0.225},
                            std::array<double, 3>{0.22, -0.095, -0.14}}) {
        texture.move(at(-arc[0], arc[1]));
        texture.addQuadCurve(at(arc[0], arc[1]), at(0, arc[2]));
    }
    for (double x : {-0.15, -0.05, 0.05, 0.15}) {
        texture.move(at(x, -0.29 + 0.3 * std::fabs(x)));
        texture.addLine(at(1.15 * x, -0.06));
    }
    c.stroke(texture, rgb(0.86, 0.68, 0.42, 0.38, k), stroke(0.42, gfx::LineCap::round, gfx::LineJoin::miter));
}

void drawPumpkin(GraphicsContext& c, const HUDFestiveParticle& p, double k) {
    const double s = p.size;
    const Path body =
        mirroredOutline({0, -0.26}, {cubicTo(0.5, 0.07, 0.31, -0.35, 0.5, -0.17), cubicTo(0, 0.4, 0.5, 0.3, 0.29, 0.4)}, s);
    fillDropShadow(c, body, p.rot, rgb(0.1, 0.04, 0.02, 0.3, k));
    c.fill(body, radial({rgb(1.0, 0.7, 0.26, 1, k), rgb(0.94, 0.48, 0.12, 1, k), rgb(0.66, 0.26, 0.06, 1, k)},
                        {-0.15 * s, -0.08 * s}, 0.7 * s));
    Path ribs = body;
    for (double side : {-1.0, 1.0}) {
        ribs.move(side * 0.15 * s, -0.23 * s);
        ribs.addQuadCurve({side * 0.15 * s, 0.38 * s}, {side * 0.31 * s, 0.075 * s});
    }
    c.stroke(ribs, rgb(0.46, 0.16, 0.03, 0.55, k), stroke(0.5));
    Path stem;
    stem.move(-0.05 * s, -0.23 * s);
    stem.addCurve({0.08 * s, -0.46 * s}, {-0.06 * s, -0.36 * s}, {0, -0.45 * s});
    stem.addCurve({0.06 * s, -0.24 * s}, {0.08 * s, -0.39 * s}, {0.05 * s, -0.3 * s});
    stem.closeSubpath();
    c.fill(stem, rgb(0.4, 0.46, 0.22, 1, k));
}

}  // namespace

void HarvestFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool, double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    switch (figureOfKind(p->kind, kKindSpecs.size())) {
        case 0: drawOakLeaf(context, *p, strength); break;
        case 1: drawMapleLeaf(context, *p, strength); break;
        case 2: drawAcorn(context, *p, strength); break;
        default: drawPumpkin(context, *p, strength); break;
    }
}

}  // namespace quillmar
