#include "festive_hud/christmas_ornaments.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;

constexpr Point kHollyBerryOffsets[] = {{-1.2, 1.5}, {1.7, -1.1}, {1.4, 1.8}};

Point along(double angle, double distance) { return {distance * std::cos(angle), distance * std::sin(angle)}; }

void addNeedle(Path& path, Point from, double angle, double length) {
    path.move(from);
    path.addLine(from + along(angle, length));
}

}  // namespace

void drawHollyLeaf(gfx::GraphicsContext c, bool isDark, Point base, double l, double w, double angle) {
    c.translateBy(base.x, base.y);
    c.rotateBy(angle);
    // (end, control) in units of the length and the half-width.
    static constexpr double kCurves[][4] = {
        {0.25, -0.82, 0.14, -0.28}, {0.58, -1, 0.42, -0.48}, {0.85, -0.62, 0.7, -0.48}, {1, 0, 0.92, -0.22},
        {0.85, 0.62, 0.92, 0.22},   {0.58, 1, 0.7, 0.48},    {0.25, 0.82, 0.42, 0.48},  {0, 0, 0.14, 0.28},
    };
    Path leaf;
    leaf.move(0, 0);
    for (const auto& q : kCurves) leaf.addQuadCurve({q[0] * l, q[1] * w}, {q[2] * l, q[3] * w});
    leaf.closeSubpath();
    c.fill(leaf, linear({rgb(0.32, 0.7, 0.38, 0.96), rgb(0.05, 0.32, 0.15, 0.96)}, {0, -w}, {l, w}));
    c.stroke(leaf, rgb(0.01, 0.16, 0.07, isDark ? 0.85 : 0.95), stroke(0.45));
    c.stroke(Path::line({0.08 * l, 0}, {0.86 * l, 0}), rgb(0.78, 0.95, 0.72, 0.68), stroke(0.45));
}

void drawChristmasCornerSprig(gfx::GraphicsContext c, bool isDark, double cornerX, double cornerY, double signX,
                              double signY, double cornerRadius) {
    const double cr = std::isfinite(cornerRadius) ? std::clamp(cornerRadius, 16.0, 28.0) : 16.0;
    const double rho = cr - 2.2;
    c.translateBy(cornerX, cornerY);
    c.scaleBy(signX, signY);  // the corner at the origin, the bar's inside toward +x and +y
    const Point holly{cr - 0.7071 * rho, cr - 0.7071 * rho};

    Path stem, longNeedles, shortNeedles, frost;
    for (int half = 0; half < 2; ++half) {  // toward the top edge, then toward the side edge
        std::vector<Point> points;
        for (int k = 0; k <= 9; ++k) {
            const double t = k / 9.0;
            Point p;
            double heading;
            if (t <= 0.72) {
                const double theta = half == 0 ? 5 * kPi / 4 + t * kPi / 4 : 5 * kPi / 4 - t * kPi / 4;
                p = Point{cr, cr} + along(theta, rho);
                heading = half == 0 ? theta + kPi / 2 : theta - kPi / 2;
            } else {
                const double run = cr + (t - 0.72) * 34;
                p = half == 0 ? Point{run, 2.2} : Point{2.2, run};
                heading = half == 0 ? 0 : kPi / 2;
            }
            points.push_back(p);
            const double ln = (1 - 0.52 * t) * 6.2;
            for (double sigma : {-1.0, 1.0}) {
                addNeedle(longNeedles, p, heading + 0.52 * sigma, ln);
                addNeedle(shortNeedles, p, heading + 0.34 * sigma, 0.92 * ln);
            }
            if (k % 2 == 0) {
                frost.move(p + along(heading + 0.34, 0.58 * ln));
                frost.addLine(p + along(heading + 0.34, 0.92 * ln));
            }
        }
        stem.addLines(points);
    }
    c.stroke(longNeedles, rgb(0.03, 0.18, 0.09, isDark ? 0.82 : 1.0), stroke(1.35));
    c.stroke(stem, rgb(0.32, 0.2, 0.08, 0.85), stroke(0.9));
    c.stroke(shortNeedles, rgb(0.18, 0.58, 0.32, 0.92), stroke(0.95));
    c.stroke(frost, rgb(0.94, 0.98, 1, 0.72), stroke(0.75));

    drawHollyLeaf(c, isDark, holly, 10.5, 4.2, 0.06 * kPi);
    drawHollyLeaf(c, isDark, holly, 10.5, 4.2, 0.44 * kPi);
    for (const Point offset : kHollyBerryOffsets) {
        const Point centre = holly + Point{1.2, 1.2} + offset;
        const Path berry = Path::circle(centre, 2.05);
        c.fill(berry, radialStops({{rgb(1, 0.38, 0.4, 0.98), 0}, {rgb(0.84, 0.08, 0.16, 0.98), 0.58},
                                   {rgb(0.44, 0.02, 0.06, 0.98), 1}},
                                  centre - Point{0.7175, 0.7175}, 2.7675));
        c.stroke(berry, rgb(0.28, 0.01, 0.04, isDark ? 0.78 : 0.975), stroke(0.38));
        c.fill(Path::circle(centre - Point{0.738, 0.738}, 0.574), rgb(1, 1, 1, 0.86));
    }
}

void drawChristmasTopBow(gfx::GraphicsContext c, bool isDark, double width, double time) {
    if (!std::isfinite(time)) time = 0;
    c.translateBy(width / 2, 3.4);
    for (double s : {-1.0, 1.0}) {  // the pine spray, left then right
        const double beta = s > 0 ? 0 : kPi;
        const double a1 = beta - 0.36 * s;
        const double a2 = beta + 0.32 * s;
        Path longPath, shortPath;
        for (int j = 1; j <= 6; ++j) {
            const Point from{3.1 * s * j, 0.2};
            const double len = 6 * (1 - j / 8.5);
            addNeedle(longPath, from, a1, len);
            addNeedle(longPath, from, a2, len);
            addNeedle(shortPath, from, 0.85 * a1, 0.88 * len);
            addNeedle(shortPath, from, 0.85 * a2, 0.88 * len);
        }
        c.stroke(longPath, rgb(0.03, 0.18, 0.09, isDark ? 0.82 : 1.0), stroke(1.3));
        c.stroke(shortPath, rgb(0.2, 0.62, 0.34, 0.92), stroke(0.9));
    }
    drawHollyLeaf(c, isDark, {-4, 0.5}, 11.5, 4.3, kPi - 0.06 * kPi);
    drawHollyLeaf(c, isDark, {4, 0.5}, 11.5, 4.3, 0.06 * kPi);

    Path tails, loops;
    for (double s : {-1.0, 1.0}) {
        tails.move(1.5 * s, 1.8);
        tails.addQuadCurve({13.5 * s, 6.4}, {8 * s, 1.6});
        tails.addLine(11.4 * s, 7.4);
        tails.addLine(12.2 * s, 9.2);
        tails.addQuadCurve({1 * s, 3.8}, {6.8 * s, 5.2});
        tails.closeSubpath();
        loops.move(0, 1.2);
        loops.addCurve({10.2 * s, 0.4}, {3.6 * s, -3.2}, {9.8 * s, -3});
        loops.addCurve({0, 2.6}, {10.4 * s, 3.8}, {3.8 * s, 4.4});
        loops.closeSubpath();
    }
    c.fill(tails, linear({rgb(0.88, 0.14, 0.22, 0.96), rgb(0.5, 0.03, 0.09, 0.96)}, {0, 1}, {0, 9}));
    c.stroke(tails, rgb(0.96, 0.8, 0.38, 0.72), stroke(0.45));
    const double swing = 0.05 * std::sin(2.2 * time);
    drawChristmasBell(c, -3.2, 5.4, 0.26 + swing, 3.1, isDark);
    drawChristmasBell(c, 3.2, 5.4, -0.26 - swing, 3.1, isDark);
    c.fill(loops, linearStops({{rgb(0.98, 0.26, 0.34, 0.98), 0}, {rgb(0.76, 0.08, 0.16, 0.98), 0.55},
                               {rgb(0.46, 0.02, 0.08, 0.98), 1}},
                              {0, -2.6}, {0, 4.2}));
    c.stroke(loops, rgb(0.98, 0.84, 0.44, 0.85), stroke(0.55));
    const Path knot = Path::roundedRect({-2.1, -0.6, 4.2, 3.8}, 1.2);
    c.fill(knot, radial({rgb(1, 0.36, 0.42), rgb(0.56, 0.04, 0.1)}, {-0.5, 0.6}, 3.2));
    c.stroke(knot, rgb(1, 0.88, 0.5, 0.92), stroke(0.55));
}

void drawChristmasBell(gfx::GraphicsContext c, double x, double y, double angle, double S, bool isDark) {
    c.translateBy(x, y);
    c.rotateBy(angle);
    Path body;
    body.move(-0.72 * S, 0.28 * S);
    body.addCurve({0.72 * S, 0.28 * S}, {-0.76 * S, -0.96 * S}, {0.76 * S, -0.96 * S});
    body.addQuadCurve({0.9 * S, 0.56 * S}, {0.8 * S, 0.4 * S});
    body.addQuadCurve({-0.9 * S, 0.56 * S}, {0, 0.7 * S});
    body.addQuadCurve({-0.72 * S, 0.28 * S}, {-0.8 * S, 0.4 * S});
    body.closeSubpath();
    c.fill(body, radialStops({{rgb(1, 0.95, 0.68, 0.98), 0}, {rgb(0.92, 0.7, 0.22, 0.98), 0.52},
                              {rgb(0.48, 0.28, 0.04, 0.98), 1}},
                             {-0.24 * S, -0.26 * S}, 1.2 * S));
    c.stroke(body, rgb(0.28, 0.15, 0.02, isDark ? 0.85 : 0.95), stroke(0.42));
    c.stroke(Path::line({0, 0.16 * S}, {0, 0.48 * S}), rgb(0.26, 0.14, 0.02, 0.9), stroke(0.48));
    c.fill(Path::circle({0, 0.14 * S}, 0.15 * S), rgb(0.24, 0.12, 0.02, 0.92));
    c.fill(Path::circle({-0.24 * S, -0.26 * S}, 0.18 * S), rgb(1, 1, 0.94, 0.78));
}

}  // namespace quillmar
