#include "seasonal/scenes/meadow_pieces.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/scene_shapes.h"

namespace quillmar {

using gfx::Color;
using gfx::Point;

void drawMeadowDaisy(gfx::GraphicsContext& ctx, bool isDark, double r) {
    gfx::Path petals;
    for (int i = 0; i < 9; ++i) {
        const double a = i * 2 * scenes::kPi / 9 + 0.2;
        const Point T{r * std::cos(a), r * std::sin(a)};
        const Point B = T * 0.22;
        const Point d = T - B;
        const double L = std::max(std::hypot(d.x, d.y), 0.001);
        const Point n{-d.y / L, d.x / L};
        const Point M = (B + T) * 0.5;
        const double c = 0.34 * r;
        petals.move(B);
        petals.addQuadCurve(T, M + n * c);
        petals.addQuadCurve(B, M - n * c);
        petals.closeSubpath();
    }
    ctx.fill(petals, isDark ? Color(0.99, 0.99, 0.97) : Color::whiteColor());
    if (!isDark) ctx.stroke(petals, Color(0.66, 0.72, 0.78).opacity(0.55), 0.4);
    ctx.fill(gfx::Path::ellipse({-0.3 * r, -0.3 * r, 0.6 * r, 0.6 * r}),
             scenes::radialShading({-0.06 * r, -0.06 * r}, 0.3 * r, {Color(1.0, 0.94, 0.62), Color(0.96, 0.74, 0.22)}));
}

void drawDandelionSeed(gfx::GraphicsContext& ctx, const Color& filament, const Color& seed) {
    gfx::Path strands;
    for (double phi : {-0.9, -0.6, -0.3, 0.0, 0.3, 0.6, 0.9}) {
        strands.move({0, 0});
        strands.addLine({4.4 * std::sin(phi), -4.4 * std::cos(phi)});
    }
    strands.move({0, 0});
    strands.addLine({0, 5.6});
    ctx.stroke(strands, filament.opacity(0.85), scenes::roundCapStroke(0.5));
    gfx::Path body;
    body.move({0, 5.4});
    body.addQuadCurve({0, 8.2}, {-1.5, 6.8});
    body.addQuadCurve({0, 5.4}, {1.5, 6.8});
    body.closeSubpath();
    ctx.fill(body, seed);
}

gfx::Path butterflyWingPairPath(double k) {
    gfx::Path p;
    p.move({0.4 * k, -1.0});
    p.addCurve({6.4 * k, -6.8}, {2.2 * k, -3.6}, {4.6 * k, -7.2});
    p.addCurve({7.6 * k, -2.4}, {8.0 * k, -6.0}, {8.4 * k, -3.6});
    p.addCurve({0.6 * k, 0.4}, {6.2 * k, -0.6}, {3.0 * k, 0.6});
    p.closeSubpath();
    p.move({0.5 * k, 0.2});
    p.addCurve({5.4 * k, 2.0}, {2.6 * k, 0}, {5.2 * k, 0.4});
    p.addCurve({3.0 * k, 5.6}, {5.6 * k, 3.8}, {4.6 * k, 5.8});
    p.addCurve({0.4 * k, 1.6}, {1.6 * k, 5.2}, {0.6 * k, 3.2});
    p.closeSubpath();
    return p;
}

}  // namespace quillmar
