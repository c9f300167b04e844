#include "festive_hud/fireworks_festive_art.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "festive_hud/easter_festive_art.h"
#include "festive_hud/festive_paint.h"

namespace quillmar {

namespace {

using namespace festive_paint;
using gfx::GraphicsContext;

constexpr double kPalette[][3] = {{1.0, 0.82, 0.36}, {0.46, 0.7, 1.0}, {1.0, 0.5, 0.64}, {0.96, 0.96, 1.0}};
constexpr std::size_t kPaletteSize = std::size(kPalette);

Color paletteColor(std::size_t index, double k) {
    const auto& c = kPalette[index];
    return rgb(c[0], c[1], c[2], k);
}

// The seed's second pick: a value from 0.173 to just below 1.173.
double secondPick(double seed) { return fract(7.3137 * seed) + 0.173; }

void drawTwinklingStar(const HUDFestiveParticle& p, GraphicsContext c, bool, double k) {
    const double s = p.size;
    const std::size_t index = clampedIndex(4 * p.seed, kPaletteSize);
    const bool fourPoints = secondPick(p.seed) < 0.55;
    const double R = 0.46 * s * (1 + 0.18 * std::sin(6.2832 * p.seed + 18 * p.age));
    const Color base = paletteColor(index, 1);
    c.fill(Path::circle({0, 0}, 0.625 * s),
           radial({base.withAlpha(alpha(0.5, k)), base.withAlpha(alpha(0.14, k)), base.withAlpha(0)}, {0, 0}, 0.625 * s));
    c.fill(festiveStarPath(fourPoints ? 4 : 5, R, (fourPoints ? 0.3 : 0.44) * R),
           radial({rgb(1, 1, 1, 1, k), lightened(base, 0.25).withAlpha(alpha(1, k)), darkened(base, 0.86).withAlpha(alpha(1, k))},
                  {0, 0}, R));
    c.fill(Path::circle({0, 0}, 0.1 * s), rgb(1, 1, 1, 1, k));
}

// A comet head with a tail that points back along the particle's flight.
void drawStreakingSpark(const HUDFestiveParticle& p, GraphicsContext c, bool, double k) {
    const double s = p.size;
    const Color base = paletteColor(clampedIndex(4 * p.seed, kPaletteSize), 1);
    c.rotateBy(std::atan2(p.vy, p.vx) - p.rot);
    const double L = std::clamp(0.03 * std::hypot(p.vx, p.vy), 0.8 * s, 2.5 * s);
    const double progress = std::clamp(p.age / std::max(p.life, 0.01), 0.0, 1.0);
    const double D = (1 - 0.45 * progress) * L;
    Path tail;
    tail.move(0, -0.23 * s);
    tail.addQuadCurve({-D, 0}, {-0.42 * D, -0.15 * s});
    tail.addQuadCurve({0, 0.23 * s}, {-0.42 * D, 0.15 * s});
    tail.closeSubpath();
    c.fill(tail, linear({lightened(base, 0.5).withAlpha(alpha(0.95, k)), base.withAlpha(alpha(0.55, k)), base.withAlpha(0)},
                        {0, 0}, {-D, 0}));
    c.fill(Path::circle({0, 0}, 0.475 * s),
           radialStops({{rgb(1, 1, 1, 1, k), 0}, {lightened(base, 0.2).withAlpha(alpha(1, k)), 0.42},
                        {base.withAlpha(alpha(0.3, k)), 0.66}, {base.withAlpha(0), 1}},
                       {0, 0}, 0.475 * s));
}

void drawGlitterStar(const HUDFestiveParticle& p, GraphicsContext c, bool, double k) {
    const double s = p.size;
    const Color base = paletteColor(clampedIndex(4 * secondPick(p.seed), kPaletteSize), 1);
    const double t = 0.45 + 0.55 * (0.5 + 0.5 * std::sin(6.2832 * p.seed + 26 * p.age));
    c.fill(Path::circle({0, 0}, 0.7 * s), radial({base.withAlpha(alpha(0.45 * t, k)), base.withAlpha(0)}, {0, 0}, 0.7 * s));
    c.fill(festiveStarPath(4, 0.5 * s, 0.14 * s), lightened(base, 0.55).withAlpha(alpha(t, k)));
}

}  // namespace

gfx::Path festiveStarPath(int points, double outerRadius, double innerRadius) {
    Path path;
    if (points <= 0) return path;
    std::vector<Point> vertices;
    vertices.reserve(static_cast<std::size_t>(2 * points));
    for (int k = 0; k < 2 * points; ++k) {
        const double a = k * kPi / points - kPi / 2;
        const double r = k % 2 == 0 ? outerRadius : innerRadius;
        vertices.push_back({r * std::cos(a), r * std::sin(a)});
    }
    path.addPolygon(vertices);
    return path;
}

void FireworksFestiveArt::draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                               double strength) {
    const auto p = drawableParticle(particle);
    if (!p) return;
    drawFestiveParticleByKind3(*p, std::move(context), isDark, strength, drawTwinklingStar, drawStreakingSpark,
                               drawGlitterStar);
}

}  // namespace quillmar
