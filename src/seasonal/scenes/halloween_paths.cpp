#include "seasonal/scenes/halloween_paths.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

using gfx::Path;

double lightningFlashEnvelope(double p) {
    auto g = [p](double c, double w) {
        const double z = (p - c) / w;
        return std::exp(-z * z);
    };
    const double first = std::max(g(0.3, 0.0055), 0.55 * g(0.321, 0.0085));
    const double second = std::max(g(0.615, 0.0055), 0.55 * g(0.636, 0.0085));
    return std::min(1.0, std::max(first, 0.72 * second));
}

Path halloweenBatPath(double a, double b) {
    const double top = -0.42 * a * b;
    Path path;
    path.move(-2, -1.6);
    path.addLine(-1.6, -4);
    path.addQuadCurve({0, -2.4}, {-0.6, -2.2});
    path.addQuadCurve({1.6, -4}, {0.6, -2.2});
    path.addLine(2, -1.6);
    path.addCurve({a, top - 0.1 * a}, {0.35 * a, -0.35 * a + 0.4 * top}, {0.75 * a, top - 0.25 * a});
    path.addQuadCurve({0.68 * a, 0.55 * top + 0.12 * a}, {0.86 * a, 0.6 * top + 0.26 * a});
    path.addQuadCurve({0.36 * a, 0.25 * top + 0.18 * a}, {0.52 * a, 0.4 * top + 0.34 * a});
    path.addQuadCurve({1.6, 2.6}, {0.18 * a, 0.3 * a});
    path.addLine(0, 4);
    path.addLine(-1.6, 2.6);
    path.addQuadCurve({-0.36 * a, 0.25 * top + 0.18 * a}, {-0.18 * a, 0.3 * a});
    path.addQuadCurve({-0.68 * a, 0.55 * top + 0.12 * a}, {-0.52 * a, 0.4 * top + 0.34 * a});
    path.addQuadCurve({-a, top - 0.1 * a}, {-0.86 * a, 0.6 * top + 0.26 * a});
    path.addCurve({-2, -1.6}, {-0.75 * a, top - 0.25 * a}, {-0.35 * a, -0.35 * a + 0.4 * top});
    path.closeSubpath();
    return path;
}

Path halloweenGhostPath(double t, double bulge) {
    Path path;
    path.move(-13.5, -10);
    path.addCurve({13, -11}, {-13.5, -29}, {13, -30});
    path.addCurve({12 + 1.2 * std::sin(t), 14 + 1.5 * std::sin(1.63 * t + 1.1)}, {15, -2}, {14.5, 7});
    const double s = std::cos(0.8 * t + 2);
    const double endX[] = {6, 0, -6.5, -13};
    const double endY[] = {15 + 2.2 * std::sin(1.3 * t + 1.9), 15 + 2.2 * std::sin(1.3 * t + 3.8),
                           15 + 2.2 * std::sin(1.3 * t + 5.7), 13 + 2.2 * std::sin(1.3 * t + 7.6)};
    const double controlX[] = {9, 3, -3.25, -9.75};
    const double phi[] = {2.4, 4.8, 7.2, 9.6};
    for (int k = 0; k < 4; ++k) {
        path.addQuadCurve({endX[k], endY[k]}, {controlX[k], 20 + 3 * std::sin(t + phi[k]) + s});
    }
    path.addCurve({-13.5, -10}, {-17 - bulge, 8}, {-15.5, -2});
    path.closeSubpath();
    return path;
}

Path halloweenLeafPath(double s, bool plain) {
    Path path;
    path.move(0, -s);
    if (plain) {
        path.addCurve({0, 0.95 * s}, {0.78 * s, -0.55 * s}, {0.52 * s, 0.65 * s});
        path.addCurve({0, -s}, {-0.46 * s, 0.6 * s}, {-0.66 * s, -0.5 * s});
    } else {
        // End point, then control point, of each of the eight lobe curves.
        constexpr double kLobes[8][4] = {
            {0.55, -0.45, 0.62, -0.95}, {0.62, 0.1, 0.22, -0.2},    {0.42, 0.62, 0.72, 0.42},
            {0, 0.9, 0.18, 0.55},       {-0.42, 0.62, -0.18, 0.55}, {-0.62, 0.1, -0.72, 0.42},
            {-0.55, -0.45, -0.22, -0.2}, {0, -1, -0.62, -0.95},
        };
        for (const auto& lobe : kLobes) {
            path.addQuadCurve({lobe[0] * s, lobe[1] * s}, {lobe[2] * s, lobe[3] * s});
        }
    }
    path.closeSubpath();
    return path;
}

Path halloweenCloudPath(double cx, double cy, double w, double h, int seed) {
    const double left = cx - w / 2;
    auto xAt = [&](int i) { return left + i * w / 4; };
    Path path;
    path.move(left, cy + 0.1 * h);
    for (int i = 1; i <= 4; ++i) {
        const gfx::Point control{(xAt(i - 1) + xAt(i)) / 2, cy - (0.5 + 0.5 * spectacleUnit(13 * seed + 7 * i)) * h};
        const gfx::Point end = i < 4 ? gfx::Point{xAt(i), cy - 0.25 * h * spectacleUnit(3 * seed + i)}
                                     : gfx::Point{left + w, cy + 0.05 * h};
        path.addQuadCurve(end, control);
    }
    path.addQuadCurve({cx + 0.1 * w, cy + 0.42 * h}, {cx + 0.31 * w, cy + 0.52 * h});
    path.addQuadCurve({left, cy + 0.1 * h}, {cx - 0.25 * w, cy + 0.4 * h});
    path.closeSubpath();
    return path;
}

}  // namespace quillmar
