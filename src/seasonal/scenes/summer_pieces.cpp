#include "seasonal/scenes/summer_pieces.h"

#include <cmath>

#include "seasonal/scenes/oak_pieces.h"
#include "seasonal/scenes/scene_shapes.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

using scenes::kPi;

}  // namespace

Path hexagonPath(double cx, double cy, double radius, double rotation) {
    Path path;
    for (int k = 0; k < 6; ++k) {
        const Point v{cx + radius * std::cos(rotation + k * kPi / 3), cy + radius * std::sin(rotation + k * kPi / 3)};
        if (k == 0) {
            path.move(v);
        } else {
            path.addLine(v);
        }
    }
    path.closeSubpath();
    return path;
}

void drawSunflowerHead(gfx::GraphicsContext& context, bool isDark, double r) {
    Path petals;
    for (int k = 0; k < 14; ++k) {
        const double a = 2 * kPi * k / 14;
        const Point tip{r * std::cos(a), r * std::sin(a)};
        addHighlightLens(petals, tip * 0.4, tip, 0.13 * r);
    }
    context.fill(petals, Shading::radialGradient(
                             Gradient::colors({Color::rgb(0.98, 0.72, 0.14), Color::rgb(1.00, 0.88, 0.32)}), {0, 0},
                             0.4 * r, r));
    if (!isDark) context.stroke(petals, Color::rgb(0.74, 0.50, 0.08).opacity(0.45), 0.35);
    context.fill(Path::ellipse({-0.46 * r, -0.46 * r, 0.92 * r, 0.92 * r}),
                 Shading::radialGradient(Gradient::colors({Color::rgb(0.46, 0.28, 0.10), Color::rgb(0.24, 0.13, 0.05)}),
                                         {-0.1 * r, -0.1 * r}, 0, 0.46 * r));
    Path seeds;
    for (int k = 0; k < 8; ++k) {
        const double a = 0.4 + k * kPi / 4;
        const double d = (k % 2 == 0 ? 0.3 : 0.18) * r;
        seeds.addEllipse({d * std::cos(a) - 0.045 * r, d * std::sin(a) - 0.045 * r, 0.09 * r, 0.09 * r});
    }
    context.fill(seeds, Color::rgb(0.72, 0.52, 0.26).opacity(0.7));
}

void drawPoppyHead(gfx::GraphicsContext& context, bool isDark, double r) {
    Path petals;
    for (int k = 0; k < 4; ++k) {
        const double a = kPi / 4 + k * kPi / 2;
        const Point d{std::cos(a), std::sin(a)};
        addHighlightLens(petals, d * (0.1 * r), d * r, 0.46 * r);
    }
    const Gradient gradient = isDark ? Gradient::colors({Color::rgb(1.00, 0.48, 0.34), Color::rgb(0.96, 0.26, 0.20)})
                                     : Gradient::colors({Color::rgb(0.96, 0.36, 0.26), Color::rgb(0.86, 0.16, 0.14)});
    context.fill(petals, Shading::radialGradient(gradient, {-0.2 * r, -0.2 * r}, 0, r));
    context.fill(Path::ellipse({-0.26 * r, -0.26 * r, 0.52 * r, 0.52 * r}), Color::rgb(0.14, 0.08, 0.12));
}

void drawBee(gfx::GraphicsContext& context, bool isDark, double wingLift) {
    gfx::GraphicsContext wingCtx = context;
    wingCtx.scaleBy(1, 0.35 + 0.65 * wingLift);
    Path wings;
    addHighlightLens(wings, {0.2, -1.0}, {-1.6, -5.4}, 1.3);
    addHighlightLens(wings, {0.8, -1.0}, {2.4, -4.8}, 1.1);
    wingCtx.fill(wings, (isDark ? Color::whiteColor() : Color::rgb(0.70, 0.82, 0.94)).opacity(0.62));

    context.fill(Path::ellipse({-3.2, -1.7, 6.4, 3.4}), Color::rgb(0.98, 0.76, 0.20));
    Path stripes;
    for (const double x : {-1.6, -0.1, 1.4}) {
        stripes.move(x, -1.55);
        stripes.addQuadCurve({x, 1.55}, {x + 0.5, 0});
    }
    context.stroke(stripes, Color::rgb(0.16, 0.10, 0.06), scenes::roundCapStroke(0.75));
    context.fill(Path::ellipse({2.3, -1.1, 2.2, 2.2}), Color::rgb(0.16, 0.10, 0.06));
}

void drawDragonfly(gfx::GraphicsContext& context, bool isDark, double shimmer) {
    Path wings;
    for (const double side : {-1.0, 1.0}) {
        addHighlightLens(wings, {0.9, side * 0.6}, {0.4, side * 7.4}, 1.25);
        addHighlightLens(wings, {-0.6, side * 0.6}, {-3.6, side * 6.6}, 1.45);
    }
    context.fill(wings, (isDark ? Color::rgb(0.86, 0.96, 1.00) : Color::rgb(0.64, 0.82, 0.96)).opacity(0.42 + 0.22 * shimmer));

    Path veins;
    for (const double side : {-1.0, 1.0}) {
        veins.move(0.9, side * 0.6);
        veins.addLine(0.4, side * 7.4);
        veins.move(-0.6, side * 0.6);
        veins.addLine(-3.6, side * 6.6);
        veins.move(0.2, side * 3.4);
        veins.addLine(1.6, side * 4.2);
        veins.move(-1.8, side * 3.2);
        veins.addLine(-3.6, side * 4.0);
    }
    context.stroke(veins, (isDark ? Color::whiteColor() : Color::rgb(0.30, 0.46, 0.62)).opacity(0.45), 0.35);

    const Color body = isDark ? Color::rgb(0.36, 0.86, 0.84) : Color::rgb(0.12, 0.56, 0.58);
    context.stroke(Path::line({-9.5, 0}, {1.2, 0}), body, scenes::roundCapStroke(1.1));
    context.fill(Path::ellipse({-0.6, -1.3, 3.0, 2.6}), body);
    Path eyes;
    eyes.addEllipse({2.2, -1.5, 1.5, 1.5});
    eyes.addEllipse({2.2, 0, 1.5, 1.5});
    context.fill(eyes, isDark ? Color::rgb(0.70, 1.00, 0.96) : Color::rgb(0.08, 0.40, 0.44));
}

}  // namespace quillmar
