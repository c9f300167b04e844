#include "seasonal/scenes/easter_art.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/scene_shapes.h"

namespace quillmar::EasterArt {

namespace {
using gfx::Color;
using gfx::Point;

// Half-width of the egg of size s at height y (the upper half is the taller one).
double eggHalfWidth(double s, double y) {
    const double span = y < 0 ? 1.3 * s : s;
    const double r = y / span;
    return 0.78 * s * std::sqrt(std::max(0.0, 1 - r * r));
}
}  // namespace

Palette palette(bool isDark) {
    if (isDark)
        return {Color(1.00, 0.90, 0.52), Color(0.62, 0.88, 1.00), Color(1.00, 0.74, 0.82), Color(0.70, 0.96, 0.80),
                Color(1.00, 0.97, 0.90), Color(0.84, 0.78, 1.00), Color(0.16, 0.12, 0.16), Color(0.56, 0.86, 0.52),
                Color(1.00, 0.92, 0.62), Color(0.94, 0.82, 0.66)};
    return {Color(0.99, 0.86, 0.42), Color(0.56, 0.82, 0.90), Color(0.97, 0.68, 0.76), Color(0.62, 0.86, 0.70),
            Color(0.99, 0.96, 0.88), Color(0.78, 0.70, 0.92), Color(0.40, 0.32, 0.30), Color(0.50, 0.74, 0.42),
            Color(1.00, 0.92, 0.66), Color(0.88, 0.74, 0.56)};
}

gfx::Path eggPath(double s) {
    gfx::Path p;
    p.move({0, -1.3 * s});
    p.addCurve({0.78 * s, 0}, {0.55 * s, -1.3 * s}, {0.8 * s, -0.55 * s});
    p.addCurve({0, s}, {0.78 * s, 0.62 * s}, {0.5 * s, s});
    p.addCurve({-0.78 * s, 0}, {-0.5 * s, s}, {-0.78 * s, 0.62 * s});
    p.addCurve({0, -1.3 * s}, {-0.8 * s, -0.55 * s}, {-0.55 * s, -1.3 * s});
    p.closeSubpath();
    return p;
}

void drawEgg(gfx::GraphicsContext& ctx, int variant, const Palette& pal, bool isDark, double s) {
    const double hl = isDark ? 0.55 : 0.7;
    // Remainders keep the dividend's sign; anything outside the table takes its last row.
    Color base = pal.lilac, accent = pal.mint;
    switch (variant % 4) {
        case 0: base = pal.robin; accent = pal.cream; break;
        case 1: base = pal.blush; accent = pal.butter; break;
        case 2: base = pal.butter; accent = pal.lilac; break;
        default: break;
    }
    const gfx::Path outline = eggPath(s);
    ctx.fill(outline, scenes::linearShading({-0.6 * s, -1.2 * s}, {0.5 * s, s},
                                            {Color::whiteColor().opacity(hl), base, base.opacity(0.92)}));
    const Color deco = accent.opacity(0.95);
    const int pattern = variant % 3;
    if (pattern == 0) {
        const double y0 = -0.05 * s, X = 0.92 * eggHalfWidth(s, y0), a = 0.22 * s;
        gfx::Path zig;
        for (int k = 0; k <= 6; ++k) {
            const Point pt{-X + k * 2 * X / 6, k % 2 == 0 ? y0 + a : y0 - a};
            if (k == 0) zig.move(pt); else zig.addLine(pt);
        }
        ctx.stroke(zig, deco, scenes::roundStroke(0.7));
    } else if (pattern == 1) {
        const double r = 0.16 * s;
        const double D = 0.8 * eggHalfWidth(s, -0.45 * s), D2 = 0.8 * eggHalfWidth(s, 0.3 * s);
        gfx::Path dots;
        for (Point c : {Point{-D, -0.45 * s}, Point{D, -0.45 * s}, Point{-D2, 0.3 * s}, Point{0, 0.3 * s},
                        Point{D2, 0.3 * s}})
            dots.addEllipse({c.x - r, c.y - r, 2 * r, 2 * r});
        ctx.fill(dots, deco);
    } else {
        gfx::Path waves;
        for (double y : {-0.5 * s, 0.35 * s}) {
            const double X = 0.95 * eggHalfWidth(s, y), a = 0.22 * s;
            waves.move({-X, y});
            waves.addCurve({X, y}, {-0.4 * X, y - a}, {0.4 * X, y + a});
        }
        ctx.stroke(waves, deco, scenes::roundCapStroke(0.75));
    }
    ctx.fill(gfx::Path::ellipse({-0.46 * s, -0.98 * s, 0.3 * s, 0.46 * s}), Color::whiteColor().opacity(hl));
    ctx.stroke(outline, pal.ink.opacity(isDark ? 0.3 : 0.38), 0.6);
}

void drawBunny(gfx::GraphicsContext& ctx, const Color& fur, const Palette& pal, bool isDark, double p) {
    const double e = 1.25 * p - 0.12;
    const Color outlineColor = pal.ink.opacity(isDark ? 0.34 : 0.46);
    const gfx::StrokeStyle outline{0.6, gfx::LineCap::butt, gfx::LineJoin::round, 10, {}, 0};

    gfx::Path ears;
    ears.move({4.4, -11.4});
    ears.addCurve({5 * e - 0.8, 2.5 * std::fabs(e) - 21.0}, {5.0, -16.0}, {4 * e + 2.0, -20.0});
    ears.addCurve({1.6, -11.6}, {4.5 * e - 2.6, -18.0}, {-0.4, -13.6});
    ears.closeSubpath();
    ears.move({6.2, -10.8});
    ears.addCurve({5 * p + 1.6, 2.5 * std::fabs(p) - 22.4}, {7.0, p - 16.0}, {4 * p + 4.4, -21.0});
    ears.addCurve({3.4, -11.4}, {4.5 * p - 0.6, -19.0}, {1.6, -13.8});
    ears.closeSubpath();
    ctx.fill(ears, fur);
    ctx.stroke(ears, outlineColor, outline);

    gfx::Path inner;
    inner.move({5.2, -12.6});
    inner.addQuadCurve({4.8 * p + 2.2, 2.2 * std::fabs(p) - 20.2}, {2 * p + 5.4, -17.0});
    inner.addQuadCurve({4.0, -12.8}, {3 * p + 2.8, -16.0});
    inner.closeSubpath();
    ctx.fill(inner, pal.blush.opacity(0.8));

    gfx::Path body;
    body.move({10.2, -6.8});
    body.addQuadCurve({6.4, -11.2}, {9.8, -10.6});
    body.addCurve({-4.6, -12.6}, {3.4, -12.4}, {-1.2, -13.6});
    body.addCurve({-10.2, -6.0}, {-8.8, -12.4}, {-10.6, -9.4});
    body.addCurve({-6.6, -0.8}, {-10.0, -3.0}, {-9.0, -0.9});
    body.addCurve({5.8, -1.6}, {-2.4, -0.6}, {2.2, -0.4});
    body.addCurve({10.2, -6.8}, {9.4, -2.4}, {10.9, -4.6});
    body.closeSubpath();
    ctx.fill(body, scenes::linearShading({-2, -13}, {0, 0}, {Color::whiteColor().opacity(isDark ? 0.3 : 0.45), fur, fur}));
    ctx.stroke(body, outlineColor, outline);

    ctx.fill(gfx::Path::ellipse({-9.6, -1.9, 6.6, 2.1}), fur);
    ctx.fill(gfx::Path::ellipse({5.0, -1.7, 3.3, 1.6}), fur);
    ctx.fill(gfx::Path::ellipse({-12.2, -10.6, 3.6, 3.6}), Color::whiteColor().opacity(isDark ? 0.92 : 0.98));
    ctx.fill(gfx::Path::ellipse({6.3, -9.5, 1.5, 1.5}), pal.ink.opacity(0.9));
    ctx.fill(gfx::Path::ellipse({9.7, -7.4, 1.0, 0.8}), pal.blush);
}

}  // namespace quillmar::EasterArt
