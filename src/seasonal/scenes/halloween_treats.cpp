#include "seasonal/scenes/halloween_treats.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "seasonal/scenes/halloween_colors.h"
#include "seasonal/scenes/scene_shapes.h"

namespace quillmar {

namespace {

using halloween::kPumpkin;
using halloween::kSilk;

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

void addScaledPolygon(Path& path, std::initializer_list<Point> points, double s) {
    std::vector<Point> scaled;
    for (const Point& p : points) scaled.push_back(p * s);
    path.addPolygon(scaled);
}

void drawWrappedSweet(gfx::GraphicsContext& ctx) {
    Path ends;
    for (const double side : {1.0, -1.0}) {
        ends.move(side * -4, -1.2);
        ends.addQuadCurve({side * -8.6, -3.4}, {side * -6.6, -3});
        ends.addQuadCurve({side * -7.2, 0}, {side * -8, -1.6});
        ends.addQuadCurve({side * -8.6, 3.4}, {side * -8, 1.6});
        ends.addQuadCurve({side * -4, 1.2}, {side * -6.6, 3});
        ends.closeSubpath();
    }
    ctx.fill(ends, Shading::linearGradient(Gradient::colors({Color::rgb(1, 0.86, 0.42), Color::rgb(0.86, 0.6, 0.16)}),
                                           {0, -3.4}, {0, 3.4}));
    ctx.fill(Path::roundedRect({-4.8, -3.4, 9.6, 6.8}, 3.3),
             Shading::linearGradient(Gradient::colors({Color::rgb(1, 0.64, 0.22), Color::rgb(0.8, 0.3, 0.06)}),
                                     {-3, -3.4}, {3, 3.4}));
    Path stripes;
    stripes.move(-2.6, -3.2);
    stripes.addLine(-0.4, 3.2);
    stripes.move(0.8, -3.2);
    stripes.addLine(3, 3.2);
    ctx.stroke(stripes, Color::rgb(0.46, 0.18, 0.7).opacity(0.85), 1);
    ctx.fill(Path::ellipse({-3.8, -2.7, 3.2, 1.4}), Color::whiteColor().opacity(0.55));
}

void drawCandyCorn(gfx::GraphicsContext& ctx) {
    Path corn;
    corn.move(0, -5.8);
    corn.addCurve({4.4, 4.2}, {2.6, -3.6}, {4.8, 1});
    corn.addQuadCurve({-4.4, 4.2}, {0, 6});
    corn.addCurve({0, -5.8}, {-4.8, 1}, {-2.6, -3.6});
    corn.closeSubpath();
    const Color white = Color::rgb(0.99, 0.97, 0.9), orange = Color::rgb(0.99, 0.5, 0.1);
    ctx.fill(corn, Shading::linearGradient(Gradient::withStops({{white, 0},
                                                                {white, 0.28},
                                                                {orange, 0.34},
                                                                {orange, 0.64},
                                                                {Color::rgb(1, 0.84, 0.22), 0.7},
                                                                {Color::rgb(0.92, 0.7, 0.12), 1}}),
                                           {0, -5.8}, {0, 5.4}));
    Path shine;
    shine.move(-0.6, -4.6);
    shine.addQuadCurve({-3.4, 3}, {-3.2, -1.4});
    ctx.stroke(shine, Color::whiteColor().opacity(0.4), scenes::roundCapStroke(0.6));
}

void drawLollipop(gfx::GraphicsContext& ctx) {
    ctx.stroke(Path::line({0, 3.8}, {0, 10.5}), kSilk.opacity(0.9), scenes::roundCapStroke(1.3));
    ctx.fill(Path::ellipse({-4.8, -4.8, 9.6, 9.6}),
             Shading::radialGradient(Gradient::colors({Color::rgb(0.74, 0.38, 0.98), Color::rgb(0.42, 0.14, 0.66)}),
                                     {-1.4, -1.4}, 0, 5.6));
    Path swirl;
    swirl.move(0.4, 0);
    for (int i = 1; i <= 22; ++i) {
        const double u = i / 22.0;
        const double r = 0.4 + 3.7 * u;
        const double a = 2 * std::numbers::pi * 2.3 * u;
        swirl.addLine(r * std::cos(a), r * std::sin(a));
    }
    ctx.stroke(swirl, Color::rgb(1, 0.78, 0.3).opacity(0.9), scenes::roundStroke(0.9));
    ctx.fill(Path::ellipse({-2.9, -2.6, 2.2, 1.2}), Color::whiteColor().opacity(0.5));
}

}  // namespace

void drawJackOLantern(gfx::GraphicsContext& context, bool isDark, double S, double f) {
    const double m = isDark ? 1.1 : 1.0;
    const double rx = (3.1 + 0.3 * f) * S, ry = 0.9 * rx;
    context.fill(Path::ellipse({-rx, -ry, 2 * rx, 2 * ry}),
                 Shading::radialGradient(Gradient::colors({kPumpkin.opacity(0.26 * f * m),
                                                           kPumpkin.opacity(0.08 * f * m), Color::clear()}),
                                         {0, 0}, 0.6 * S, rx));
    const double r2 = (1.75 + 0.15 * f) * S;
    context.fill(Path::circle({0, 0}, r2),
                 Shading::radialGradient(Gradient::colors({Color::rgb(1, 0.88, 0.5).opacity(0.3 * f * m),
                                                           kPumpkin.opacity(0.1 * f), Color::clear()}),
                                         {0, 0}, 0, r2));

    const Gradient lobeGradient =
        Gradient::colors({Color::rgb(1, 0.6, 0.2), Color::rgb(0.93, 0.42, 0.09), Color::rgb(0.55, 0.18, 0.04)});
    const struct {
        gfx::Rect rect;
        double dx;
    } lobes[] = {{{-S, -0.7 * S, 0.98 * S, 1.42 * S}, 0.1 * S},
                 {{0.02 * S, -0.7 * S, 0.98 * S, 1.42 * S}, -0.1 * S},
                 {{-0.5 * S, -0.78 * S, S, 1.56 * S}, 0}};
    for (const auto& lobe : lobes) {
        const gfx::Rect& r = lobe.rect;
        const Point centre{r.x + r.width / 2 + lobe.dx, r.y + r.height / 2 - 0.18 * r.height};
        context.fill(Path::ellipse(r), Shading::radialGradient(lobeGradient, centre, 0, 0.75 * r.width));
    }

    Path ribs;
    ribs.move(-0.46 * S, -0.7 * S);
    ribs.addQuadCurve({-0.46 * S, 0.72 * S}, {-0.6 * S, 0});
    ribs.move(0.46 * S, -0.7 * S);
    ribs.addQuadCurve({0.46 * S, 0.72 * S}, {0.6 * S, 0});
    context.stroke(ribs, Color::rgb(0.55, 0.18, 0.04).opacity(0.45), 0.6);

    Path stem;
    stem.move(0.02 * S, -0.74 * S);
    stem.addQuadCurve({0.26 * S, -1.14 * S}, {0, -1.02 * S});
    context.stroke(stem, Color::rgb(0.3, 0.33, 0.15), scenes::roundCapStroke(0.2 * S));

    Path face;
    addScaledPolygon(face, {{-0.54, -0.08}, {-0.14, -0.16}, {-0.34, -0.44}}, S);
    addScaledPolygon(face, {{0.54, -0.08}, {0.14, -0.16}, {0.34, -0.44}}, S);
    addScaledPolygon(face, {{0, -0.04}, {0.09, 0.12}, {-0.09, 0.12}}, S);
    addScaledPolygon(face,
                     {{-0.6, 0.22}, {-0.42, 0.26}, {-0.34, 0.18}, {-0.18, 0.28}, {-0.06, 0.18}, {0.1, 0.28},
                      {0.22, 0.18}, {0.36, 0.26}, {0.6, 0.22}, {0.46, 0.46}, {0.3, 0.4}, {0.22, 0.52},
                      {0.06, 0.42}, {-0.1, 0.54}, {-0.24, 0.42}, {-0.36, 0.5}, {-0.5, 0.38}},
                     S);
    context.fill(face, Shading::radialGradient(Gradient::colors({Color::rgb(1, 0.97, 0.8).opacity(f),
                                                                 Color::rgb(1, 0.88, 0.5).opacity(0.95 * f),
                                                                 kPumpkin.opacity(0.85 * f)}),
                                               {(f - 0.82) * 1.5 * S, 0.1 * S}, 0, 0.75 * S));
}

void drawHalloweenCandy(gfx::GraphicsContext& context, double x, double y, int kind, double angle, double o) {
    if (!(o > 0.01)) return;
    context.fill(Path::ellipse({x - 8, y - 8, 16, 16}),
                 Shading::radialGradient(Gradient::colors({kPumpkin.opacity(0.16 * o), Color::clear()}), {x, y}, 0, 8));
    gfx::GraphicsContext ctx = context;
    ctx.opacity *= o;
    ctx.translateBy(x, y);
    ctx.rotateBy(angle);
    if (kind == 0) {
        drawWrappedSweet(ctx);
    } else if (kind == 1) {
        drawCandyCorn(ctx);
    } else {
        drawLollipop(ctx);
    }
}

}  // namespace quillmar
