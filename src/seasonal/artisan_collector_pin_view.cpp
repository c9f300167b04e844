#include "seasonal/artisan_collector_pin_view.h"

#include <cmath>
#include <numbers>

#include "seasonal/blossom_charm.h"
#include "seasonal/western_charms.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "seasonal/scenes/scene_shapes.h"
#include "ui/canvas.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using gfx::Point;

const Color kAccentLight(1.0, 0.90, 0.54);
const Color kAccentDeep(0.95, 0.75, 0.24);

gfx::StrokeStyle roundCap(double width, gfx::LineJoin join = gfx::LineJoin::miter) {
    gfx::StrokeStyle s;
    s.lineWidth = width;
    s.lineCap = gfx::LineCap::round;
    s.lineJoin = join;
    return s;
}

Path roundedRect(double x, double y, double w, double h, double r) { return Path::roundedRect({x, y, w, h}, r); }

Path quad(Point from, Point to, Point control) {
    Path p;
    p.move(from);
    p.addQuadCurve(to, control);
    return p;
}

void drawFigure(gfx::GraphicsContext& c, PinMotif motif) {
    switch (motif) {
        case PinMotif::shamrock:
            drawCloverCharm(c, Color(0.18, 0.82, 0.46), kAccentLight, 8.6);
            break;
        case PinMotif::easterEgg: {
            Path egg;
            egg.move({0, -9.2});
            egg.addCurve({7, 2.4}, {4.8, -9}, {7.2, -2.6});
            egg.addCurve({0, 9.2}, {6.8, 6.6}, {3.8, 9.2});
            egg.addCurve({-7, 2.4}, {-3.8, 9.2}, {-6.8, 6.6});
            egg.addCurve({0, -9.2}, {-7.2, -2.6}, {-4.8, -9});
            egg.closeSubpath();
            c.fill(egg, Color(0.99, 0.93, 0.94));
            Path zigzag;
            zigzag.addLines({{-6.2, 0.4}, {-3.1, -2}, {0, 0.4}, {3.1, -2}, {6.2, 0.4}});
            c.stroke(zigzag, Color(0.92, 0.48, 0.62), roundCap(1.5, gfx::LineJoin::round));
            c.stroke(egg, kAccentLight, roundCap(1));
            break;
        }
        case PinMotif::fireworksStar: {
            for (int k = 0; k < 8; ++k) {
                const bool major = k % 2 == 0;
                const double a = k * std::numbers::pi / 4;
                const double len = major ? 9.4 : 6.2;
                c.stroke(Path::line({0, 0}, {len * std::cos(a), len * std::sin(a)}), kAccentLight,
                         roundCap(major ? 1.4 : 1.0));
            }
            c.fill(scenes::sparklePath(0, 0, 4.8), Color::whiteColor());
            for (const Point corner : {Point{-7.9, -7.3}, Point{5.9, -6.5}, Point{4.7, 5.7}})
                c.fill(Path::ellipse({corner.x, corner.y, 2.2, 2.2}), kAccentLight);
            break;
        }
        case PinMotif::jackOLantern: {
            const Path pumpkin = roundedRect(-8.6, -5.8, 17.2, 13, 6.2);
            c.fill(pumpkin, Color(0.95, 0.46, 0.10));
            c.stroke(pumpkin, kAccentLight.opacity(0.85), roundCap(0.85));
            c.stroke(quad({-1.2, -5.8}, {2, -9.4}, {-0.5, -8.8}), Color(0.26, 0.78, 0.42), roundCap(2));
            const Color glow(1.0, 0.93, 0.46);
            Path eyes;
            eyes.addPolygon({{-5, -0.8}, {-3.2, -3.4}, {-1.5, -0.8}});
            eyes.addPolygon({{1.5, -0.8}, {3.2, -3.4}, {5, -0.8}});
            c.fill(eyes, glow);
            c.stroke(quad({-5.2, 2}, {5.2, 2}, {0, 6.2}), glow, roundCap(1.6));
            break;
        }
        case PinMotif::harvestAcorn: {
            const Path nut = roundedRect(-5.8, -2.6, 11.6, 11.2, 5.4);
            c.fill(nut, kAccentDeep);
            c.stroke(nut, kAccentLight, roundCap(0.85));
            const Path cap = roundedRect(-7.2, -6.2, 14.4, 5, 2.5);
            c.fill(cap, Color(0.62, 0.36, 0.14));
            c.stroke(cap, kAccentLight, roundCap(0.85));
            c.stroke(quad({0, -6.2}, {2.2, -9.4}, {0.4, -8.6}), kAccentLight, roundCap(1.5));
            break;
        }
        case PinMotif::sleighBellOrnament: {
            const Path bauble = Path::ellipse({-7.6, -6, 15.2, 15.2});
            c.fill(bauble, Color(0.86, 0.16, 0.22));
            c.stroke(bauble, kAccentLight, roundCap(0.85));
            c.stroke(quad({-7.2, 1.6}, {7.2, 1.6}, {0, 3.4}), kAccentLight, roundCap(1.1));
            c.fill(roundedRect(-2.6, -8.2, 5.2, 2.6, 1), kAccentDeep);
            c.stroke(Path::ellipse({-1.8, -10.6, 3.6, 3}), kAccentLight, roundCap(0.9));
            c.fill(scenes::sparklePath(-2.2, -1.4, 3.2), kAccentLight);
            break;
        }
        case PinMotif::springBlossom:
            drawBlossomCharm(c, Color(0.99, 0.97, 0.92), 8.8);
            break;
        case PinMotif::shootingStar:
            c.stroke(quad({-8.8, 5.6}, {3.8, -2.6}, {-3.2, -1.4}), kAccentLight.opacity(0.88), roundCap(1.8));
            c.stroke(quad({-6.4, 8}, {3.4, 0.2}, {-1.4, 2.8}), kAccentDeep.opacity(0.65), roundCap(1.1));
            c.fill(scenes::sparklePath(4.6, -3.2, 5.6), kAccentLight);
            break;
        case PinMotif::winterSnowflake: {
            const Color ice(0.94, 0.98, 1.0);
            Path arms;
            arms.move({-8.6, 0});
            arms.addLine({8.6, 0});
            arms.move({-4.3, -7.447818});
            arms.addLine({4.3, 7.447818});
            arms.move({4.3, -7.447818});
            arms.addLine({-4.3, 7.447818});
            c.stroke(arms, ice, roundCap(1.3));
            c.stroke(Path::circle({0, 0}, 3.2), ice.opacity(0.85), roundCap(0.9));
            break;
        }
    }
}

}  // namespace

double ArtisanCollectorPinView::bloomScale(std::optional<double> bloomProgress) {
    if (!bloomProgress || !std::isfinite(*bloomProgress) || *bloomProgress >= 0.16) return 1.0;
    const double p = std::max(*bloomProgress, 0.0);
    return 1.14 - 0.14 * std::sin((p / 0.16) * std::numbers::pi / 2);
}

void ArtisanCollectorPinView::renderPin(gfx::GraphicsContext& context, ui::Size size, PinMotif motif) {
    if (!size.isFinite()) return;
    const double cx = size.width / 2;
    const double cy = size.height / 2;
    const bool silver = motif == PinMotif::winterSnowflake;
    const std::vector<Color> metal = silver ? std::vector<Color>{Color(0.97, 0.98, 1.0), Color(0.75, 0.80, 0.88),
                                                                 Color(0.48, 0.54, 0.64)}
                                            : std::vector<Color>{Color(1.0, 0.94, 0.68), Color(0.88, 0.68, 0.22),
                                                                 Color(0.58, 0.39, 0.08)};
    context.fill(Path::circle({cx, cy}, 16.4),
                 gfx::Shading::linearGradient(gfx::Gradient::colors(metal), {cx - 16.4, cy - 16.4},
                                              {cx + 16.4, cy + 16.4}));
    const auto [top, bottom] = enamelGradient(motif);
    const Path enamel = Path::circle({cx, cy}, 13.8);
    context.fill(enamel, gfx::Shading::linearGradient(gfx::Gradient::colors({top, bottom}), {cx - 8.28, cy - 13.8},
                                                      {cx + 8.28, cy + 13.8}));
    context.stroke(enamel, metal[0].opacity(0.65), 0.7);

    gfx::GraphicsContext figure = context;
    figure.translateBy(cx, cy);
    drawFigure(figure, motif);

    Path gloss;
    gloss.addArc({cx, cy}, 12.4, gfx::Angle::degrees(198), gfx::Angle::degrees(316), false);
    context.stroke(gloss, Color(1, 1, 1, 0.3), roundCap(1.6));
}

ui::View ArtisanCollectorPinView::body() const {
    const PinMotif m = motif;
    return ui::Canvas([m](gfx::GraphicsContext& context, ui::Size size) { renderPin(context, size, m); })
        .frame(36, 36)
        .scaleEffect(bloomScale(bloomProgress))
        .shadow(gfx::Color(0, 0, 0, isDark ? 0.34 : 0.18), 4, 0, 1.5);
}

}  // namespace quillmar
