#include "seasonal/scenes/oak_pieces.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/scene_shapes.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

gfx::StrokeStyle roundCap(double width) { return scenes::roundCapStroke(width); }

// The right side of the leaf: end point, first control, second control of each lobe curve.
constexpr double kOakLobes[5][6] = {
    {0.17, -0.72, 0.625, -1.05, 0.625, -0.69},
    {0.23, -0.36, 0.85, -0.77, 0.85, -0.33},
    {0.26, 0.04, 0.90, -0.41, 0.90, 0.07},
    {0.21, 0.46, 0.775, -0.01, 0.775, 0.49},
    {0.09, 0.84, 0.525, 0.41, 0.525, 0.87},
};

}  // namespace

void addHighlightLens(Path& path, Point p0, Point p1, double w) {
    const Point d = p1 - p0;
    const double len = std::max(std::hypot(d.x, d.y), 0.001);
    const Point n{-d.y / len * 2 * w, d.x / len * 2 * w};
    const Point m = (p0 + p1) * 0.5;
    path.move(p0);
    path.addQuadCurve(p1, m + n);
    path.addQuadCurve(p0, m - n);
    path.closeSubpath();
}

Path highlightLensPath(Point p0, Point p1, double halfWidth) {
    Path path;
    addHighlightLens(path, p0, p1, halfWidth);
    return path;
}

Path oakLeafPath(double s) {
    Path path;
    path.move(0, -s);
    for (const auto& c : kOakLobes) path.addCurve({c[0] * s, c[1] * s}, {c[2] * s, c[3] * s}, {c[4] * s, c[5] * s});
    path.addQuadCurve({0, s}, {0.05 * s, 0.97 * s});
    path.addQuadCurve({-0.09 * s, 0.84 * s}, {-0.05 * s, 0.97 * s});
    // The left side: the same curves mirrored and run backwards, controls exchanged.
    for (int k = 4; k >= 0; --k) {
        const auto& c = kOakLobes[k];
        const Point end = k > 0 ? Point{-kOakLobes[k - 1][0] * s, kOakLobes[k - 1][1] * s} : Point{0, -s};
        path.addCurve(end, {-c[4] * s, c[5] * s}, {-c[2] * s, c[3] * s});
    }
    path.closeSubpath();
    return path;
}

Path oakLeafVeinsPath(double s) {
    Path veins;
    veins.move(0, 0.95 * s);
    veins.addLine(0, -0.9 * s);
    constexpr double kNotches[] = {-1.0, -0.72, -0.36, 0.04, 0.46, 0.84};
    constexpr double kReach[] = {0.68, 0.72, 0.62};
    for (int i = 1; i <= 3; ++i) {
        const double y = (kNotches[i] + kNotches[i + 1]) / 2 * s;
        const double l = 0.88 * kReach[i - 1] * s;
        for (const double side : {-1.0, 1.0}) {
            veins.move(0, y + 0.1 * s);
            veins.addQuadCurve({side * l, y - 0.1 * s}, {side * 0.45 * l, y + 0.02 * s});
        }
    }
    return veins;
}

Gradient oakLeafGradient(int index, double sheen) {
    Color deep, middle;
    switch (index % 3) {
        case 0:
            deep = Color::rgb(0.70, 0.30, 0.11);
            middle = Color::rgb(0.90, 0.50, 0.20);
            break;
        case 1:
            deep = Color::rgb(0.82, 0.44, 0.17);
            middle = Color::rgb(0.97, 0.66, 0.26);
            break;
        default:
            deep = Color::rgb(0.88, 0.58, 0.16);
            middle = Color::rgb(1.00, 0.80, 0.38);
            break;
    }
    const Color light = sheen > 0.45 ? Color::rgb(1.00, 0.86, 0.50) : middle;
    return Gradient::withStops({{deep, 0}, {middle, 0.58}, {light, 1}});
}

void drawOakLeaf(gfx::GraphicsContext& context, int index, double size, double sheen, bool isDark, bool withShadow) {
    const Path outline = oakLeafPath(size);
    if (withShadow) {
        gfx::GraphicsContext shadow = context;
        shadow.translateBy(1.2, 1.8);
        shadow.fill(outline, Color::rgb(0.30, 0.14, 0.04).opacity(0.22));
    }
    context.fill(outline, Shading::linearGradient(oakLeafGradient(index, sheen), {-0.6 * size, 0.8 * size},
                                                  {0.6 * size, -0.8 * size}));
    context.stroke(oakLeafVeinsPath(size),
                   isDark ? Color::rgb(1.00, 0.94, 0.80).opacity(0.55) : Color::rgb(0.42, 0.16, 0.04).opacity(0.5),
                   roundCap(0.5));
}

void drawAcorn(gfx::GraphicsContext& context, double s, bool detailed) {
    Path nut;
    nut.move(-0.52 * s, -0.15 * s);
    nut.addCurve({0, 0.95 * s}, {-0.56 * s, 0.45 * s}, {-0.22 * s, 0.95 * s});
    nut.addCurve({0.52 * s, -0.15 * s}, {0.22 * s, 0.95 * s}, {0.56 * s, 0.45 * s});
    nut.closeSubpath();
    context.fill(nut, Shading::linearGradient(Gradient::withStops({{Color::rgb(0.92, 0.68, 0.30), 0},
                                                                   {Color::rgb(0.80, 0.50, 0.16), 0.5},
                                                                   {Color::rgb(0.54, 0.30, 0.09), 1}}),
                                              {-0.5 * s, 0}, {0.5 * s, 0.6 * s}));
    Path cap;
    cap.move(-0.6 * s, -0.1 * s);
    cap.addCurve({0, -0.70 * s}, {-0.62 * s, -0.55 * s}, {-0.3 * s, -0.72 * s});
    cap.addCurve({0.6 * s, -0.1 * s}, {0.3 * s, -0.72 * s}, {0.62 * s, -0.55 * s});
    cap.addQuadCurve({-0.6 * s, -0.1 * s}, {0, 0.04 * s});
    cap.closeSubpath();
    context.fill(cap, Color::rgb(0.46, 0.27, 0.11));
    Path stem;
    stem.move(0, -0.68 * s);
    stem.addQuadCurve({0.14 * s, -1.02 * s}, {0, -0.9 * s});
    context.stroke(stem, Color::rgb(0.36, 0.20, 0.08), roundCap(0.7));
    if (!detailed) return;

    Path hatching;
    for (const auto& [a, y] : {std::pair{0.56, -0.22}, std::pair{0.42, -0.38}, std::pair{0.28, -0.54}}) {
        hatching.move(-a * s, y * s);
        hatching.addQuadCurve({a * s, y * s}, {0, (y + 0.1) * s});
    }
    context.stroke(hatching, Color::rgb(0.26, 0.14, 0.05).opacity(0.55), 0.4);
    context.fill(highlightLensPath({-0.26 * s, 0.05 * s}, {-0.16 * s, 0.55 * s}, 0.07 * s),
                 Color::rgb(1.00, 0.94, 0.80).opacity(0.42));
}

void drawPumpkinWithAcorns(gfx::GraphicsContext& context, bool isDark, double progress) {
    context.fill(Path::ellipse({-30, -2.6, 50, 5.6}), Color::rgb(0.30, 0.14, 0.04).opacity(isDark ? 0.26 : 0.16));

    constexpr double kRibs[5][3] = {{-8.6, 3.8, 12.6}, {8.6, 3.8, 12.6}, {-4.6, 4.3, 14.25}, {4.6, 4.3, 14.25}, {0, 4.7, 15.0}};
    Path outline;
    for (const auto& rib : kRibs) {
        const double c = rib[0], w = rib[1], h = rib[2];
        Path path;
        path.move(c, -h);
        path.addCurve({c + w, -0.5 * h}, {c + 0.62 * w, -h - 0.6}, {c + w, -0.82 * h});
        path.addCurve({c, 0}, {c + w, -0.16 * h}, {c + 0.6 * w, 0});
        path.addCurve({c - w, -0.5 * h}, {c - 0.6 * w, 0}, {c - w, -0.16 * h});
        path.addCurve({c, -h}, {c - w, -0.82 * h}, {c - 0.62 * w, -h - 0.6});
        path.closeSubpath();
        const double m = c < 0 ? 0.62 : (c > 0 ? 0.4 : 0.5);
        context.fill(path, Shading::linearGradient(Gradient::withStops({{Color::rgb(0.98, 0.62, 0.22), 0},
                                                                        {Color::rgb(0.90, 0.46, 0.14), m},
                                                                        {Color::rgb(0.66, 0.28, 0.09), 1}}),
                                                   {c - w, -h}, {c + 1.1 * w, -0.2 * h}));
        outline.addPath(path);
    }
    context.stroke(outline, Color::rgb(0.66, 0.28, 0.09).opacity(0.4), 0.55);

    Path stem;
    stem.move(-1.8, -14.4);
    stem.addCurve({-0.6, -19.6}, {-2.2, -17.0}, {-1.8, -19.4});
    stem.addQuadCurve({2.0, -19.0}, {0.8, -20.2});
    stem.addCurve({1.8, -14.4}, {2.2, -17.6}, {2.2, -16.0});
    stem.closeSubpath();
    context.fill(stem, Shading::linearGradient(Gradient::colors({Color::rgb(0.62, 0.58, 0.26), Color::rgb(0.38, 0.30, 0.12)}),
                                               {-2, -19}, {2, -15}));

    const double s = 0.4 * std::sin(6 * progress);
    Path vine;
    vine.move(-1.6, -16.0);
    vine.addCurve({-7.4 + s, -20.6}, {-4.0, -16.2}, {-7.8, -17.4});
    vine.addCurve({-5.2 + s, -22.2}, {-7.2 + s, -23.4}, {-4.6 + s, -23.6});
    vine.addQuadCurve({-6.0 + s, -20.8}, {-6.4 + s, -21.2});
    context.stroke(vine, Color::rgb(0.50, 0.52, 0.22), roundCap(0.7));

    context.fill(highlightLensPath({-3.6, -12.3}, {-2.2, -6.0}, 1.0), Color::rgb(1.00, 0.94, 0.78).opacity(0.34));

    const struct {
        double x, y, angle, size;
    } acorns[] = {{-19.5, -4.6, -0.36, 4.8}, {-26.8, -3.4, 0.62, 4.1}};
    for (const auto& a : acorns) {
        gfx::GraphicsContext acorn = context;
        acorn.translateBy(a.x, a.y);
        acorn.rotateBy(a.angle);
        drawAcorn(acorn, a.size, true);
    }
}

}  // namespace quillmar
