#include "seasonal/scenes/stpat_rainbow.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/stpat_coin.h"

namespace quillmar {

namespace {

using scenes::roundStroke;

constexpr gfx::Point kP0{-44, 420}, kP1{10, -60}, kP2{440, -70}, kP3{404, 498};

constexpr std::array<std::array<double, 3>, 7> kRamp{{
    {0.95, 0.36, 0.40},
    {0.98, 0.62, 0.26},
    {0.99, 0.86, 0.38},
    {0.52, 0.86, 0.44},
    {0.12, 0.68, 0.50},
    {0.38, 0.70, 0.92},
    {0.60, 0.44, 0.82},
}};

double clampedParameter(double t) { return std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0); }

// The derivative of the arc, from its own control points.
gfx::Point arcDerivative(double t) {
    const double u = 1 - t;
    return 3 * u * u * (kP1 - kP0) + 6 * u * t * (kP2 - kP1) + 3 * t * t * (kP3 - kP2);
}

}  // namespace

RainbowArcSample rainbowArcPoint(double t) {
    t = clampedParameter(t);
    const double u = 1 - t;
    const gfx::Point p = u * u * u * kP0 + 3 * u * u * t * kP1 + 3 * u * t * t * kP2 + t * t * t * kP3;
    const gfx::Point d = arcDerivative(t);
    const double len = std::max(std::hypot(d.x, d.y), 0.001);
    return {p.x, p.y, d.y / len, -d.x / len};
}

double rainbowArcHeading(double t) {
    const gfx::Point d = arcDerivative(clampedParameter(t));
    return std::atan2(d.y, d.x);
}

gfx::Color rainbowRampColor(bool isDark, double phase) {
    // Clamp before any integer conversion: a NaN or infinite phase must not reach the index.
    if (std::isnan(phase)) phase = 0;
    phase = std::clamp(phase, 0.0, 6.0);
    const int i = std::clamp(static_cast<int>(std::floor(phase)), 0, 6);
    const double f = std::clamp(phase - i, 0.0, 1.0);
    const int j = std::min(i + 1, 6);
    const double k = isDark ? 1.0 : 0.88;
    auto channel = [&](int c) { return (kRamp[i][c] + (kRamp[j][c] - kRamp[i][c]) * f) * k; };
    return gfx::Color::rgb(channel(0), channel(1), channel(2));
}

double rainbowGrow(double progress) {
    const double x = 1 - std::clamp((progress - 0.08) / 0.24, 0.0, 1.0);
    return 1 - x * x * x;
}

double rainbowTail(double progress) { return smootherstep(0.72, 0.94, progress); }

void drawStPatricksRainbow(gfx::GraphicsContext& context, double p, const StpatPalette& palette, bool isDark) {
    // Guide trail: a gold line that sketches the arc before it blooms.
    const double d = smootherstep(0.03, 0.21, p);
    const double trailAlpha = (1 - smootherstep(0.19, 0.30, p)) * smootherstep(0.03, 0.06, p);
    if (d > 0.005 && trailAlpha > 0.01) {
        std::vector<gfx::Point> points;
        points.reserve(45);
        for (int k = 0; k <= 44; ++k) {
            const RainbowArcSample s = rainbowArcPoint(k * d / 44);
            points.push_back({s.x, s.y});
        }
        gfx::Path trail;
        trail.addLines(points);
        context.stroke(trail, palette.goldHi.opacity(0.26 * trailAlpha), roundStroke(5));
        context.stroke(trail, palette.cream.opacity(0.85 * trailAlpha), roundStroke(1.3));

        const RainbowArcSample head = rainbowArcPoint(d);
        const gfx::Point h{head.x, head.y};
        context.fill(gfx::Path::circle(h, 14),
                     gfx::Shading::radialGradient(
                         gfx::Gradient::colors({palette.goldHi.opacity(0.55 * trailAlpha), gfx::Color::clear()}), h,
                         0, 14));
        context.fill(fourPointSparklePath(h, 7), palette.cream.opacity(0.95 * trailAlpha));
    }

    // The striped arc.
    const double span = rainbowGrow(p) - rainbowTail(p);
    const double alpha = smootherstep(0.08, 0.15, p) * (1 - smootherstep(0.86, 0.97, p));
    if (!(span > 0.015 && alpha > 0.01)) return;

    const double s = (p - 0.11) / 0.3;
    double w = 0;
    if (s >= 1) {
        w = 1;
    } else if (s <= 0) {
        w = 0.28;
    } else {
        w = 0.28 + 0.72 * (1 + std::pow(2.0, -10 * s) * std::sin((10 * s - 0.75) * 2 * std::numbers::pi / 3));
    }

    const double tail = rainbowTail(p);
    std::array<RainbowArcSample, 73> samples;
    for (int j = 0; j <= 72; ++j) samples[j] = rainbowArcPoint(tail + j * span / 72);
    auto offsetLine = [&](double o) {
        std::vector<gfx::Point> points;
        points.reserve(samples.size());
        for (const auto& a : samples) points.push_back({a.x + a.nx * o, a.y + a.ny * o});
        gfx::Path line;
        line.addLines(points);
        return line;
    };

    const double spacing = 4.6 * w;
    const double base = alpha * (isDark ? 0.6 : 0.64);

    context.stroke(offsetLine(0), isDark ? palette.mint.opacity(0.12 * alpha) : palette.cream.opacity(0.22 * alpha),
                   roundStroke(40 * w));
    context.stroke(offsetLine(-3.55 * spacing), rainbowRampColor(isDark, 0).opacity(0.3 * base), roundStroke(2.4 * w));
    context.stroke(offsetLine(3.55 * spacing), rainbowRampColor(isDark, 6).opacity(0.3 * base), roundStroke(2.4 * w));
    for (int b = 0; b <= 6; ++b) {
        context.stroke(offsetLine((3 - b) * spacing), rainbowRampColor(isDark, b).opacity(base), roundStroke(5 * w));
    }
    for (int b = 0; b <= 5; ++b) {
        context.stroke(offsetLine((3 - b - 0.5) * spacing), rainbowRampColor(isDark, b + 0.5).opacity(0.55 * base),
                       roundStroke(2.2 * w));
    }
    context.stroke(offsetLine(spacing), palette.cream.opacity(alpha * (isDark ? 0.22 : 0.3)), roundStroke(0.9));

    // Landing flash where the arc's head meets the pot.
    const gfx::Point headPoint{samples[72].x, samples[72].y};
    const double k = (1 - smootherstep(0.30, 0.38, p)) * alpha;
    if (k > 0.01) {
        context.fill(gfx::Path::circle(headPoint, 22),
                     gfx::Shading::radialGradient(gfx::Gradient::colors({palette.goldHi.opacity(0.7 * k),
                                                                         palette.gold.opacity(0.22 * k),
                                                                         gfx::Color::clear()}),
                                                  headPoint, 0, 22));
        context.fill(fourPointSparklePath(headPoint, 11), palette.cream.opacity(k));
    }
    if (tail > 0.01) {
        context.fill(fourPointSparklePath({samples[0].x, samples[0].y}, 9), palette.goldHi.opacity(0.9 * alpha));
    }
}

void drawRainbowSlidingCoins(gfx::GraphicsContext& context, double p, const StpatPalette& palette, double fade) {
    const double grow = rainbowGrow(p);
    const double tail = rainbowTail(p);
    for (int i = 0; i <= 8; ++i) {
        const double u = spectacleUnit(401 + i * 13);
        const double start = 0.22 + 0.034 * i + 0.02 * u;
        const double t = (p - start) / 0.3;
        if (!(t > 0 && t < 1)) continue;
        const double s = 0.56 + 0.44 * std::pow(t, 1.55);
        if (!(grow - 0.015 >= s && s >= tail)) continue;
        const double env = smootherstep(0, 1, t / 0.14) * (1 - smootherstep(0, 1, (t - 0.9) / 0.1)) * fade;
        if (!(env > 0.01)) continue;

        const RainbowArcSample a = rainbowArcPoint(s);
        const double lift = 17 + 2.5 * std::sin(9 * t + i);
        gfx::GraphicsContext coin = context;
        coin.opacity *= env;
        coin.translateBy(a.x + a.nx * lift, a.y + a.ny * lift);
        coin.rotateBy(rainbowArcHeading(s));
        drawSpinningCoin(coin, 5.2, 11 * t + 1.7 * i, 1, 1, palette);
    }
}

}  // namespace quillmar
