#include "festive_hud/festive_particle_spawner.h"

#include <algorithm>
#include <cmath>

namespace quillmar {

namespace {

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

std::size_t chooseKind(std::span<const HUDFestiveKindSpec> specs, double total, FestiveRandom& rng) {
    double r = rng.unit() * total;
    for (std::size_t k = 0; k < specs.size(); ++k) {
        r -= specs[k].spawnWeight;
        if (r <= 0) return k;
    }
    return specs.size() - 1;
}

}  // namespace

int spawnFestiveParticles(std::vector<HUDFestiveParticle>& particles, std::span<const HUDFestiveKindSpec> specs,
                          const HUDFestiveGeometry& geometry, const FestiveBurstRequest& request,
                          FestiveRandom& rng) {
    const double width = geometry.size.width;
    const double height = geometry.size.height;
    // The comparisons also refuse NaN; infinities are refused explicitly.
    if (!(width > 20 && height > 20) || !std::isfinite(width) || !std::isfinite(height)) return 0;
    if (specs.empty() || request.count <= 0) return 0;
    double total = 0;
    for (const auto& spec : specs) total += spec.spawnWeight;

    const int alive = static_cast<int>(particles.size());
    if (alive >= kMaxFestiveParticles) return 0;
    const int n = std::min(request.count, kMaxFestiveParticles - alive);

    gfx::Point anchor{0.5 * width, 0.35 * height};
    if (request.index >= 0 && static_cast<std::size_t>(request.index) < geometry.itemAnchors.size()) {
        const gfx::Point a = geometry.itemAnchors[static_cast<std::size_t>(request.index)];
        if (a.isFinite()) anchor = a;
    }
    double spanLow = geometry.rowSpanX.lowerBound;
    double spanHigh = geometry.rowSpanX.upperBound;
    if (!std::isfinite(spanLow) || !std::isfinite(spanHigh)) {
        spanLow = 0;
        spanHigh = width;
    }
    const double direction = std::clamp(finiteOr(request.direction, 0.0), -1.0, 1.0);
    const double intensity = std::clamp(finiteOr(request.intensity, 0.0), 0.0, 1.0);
    const double popFactor = 0.85 + 0.75 * intensity;

    for (int i = 0; i < n; ++i) {
        const std::size_t kind = chooseKind(specs, total, rng);
        const HUDFestiveKindSpec& spec = specs[kind];
        HUDFestiveParticle p;
        p.kind = static_cast<int>(kind);

        double dy = 0;
        if (geometry.isVertical) {
            p.x = rng.uniform(spanLow, spanHigh);
            dy = rng.uniform(-6, 6);
        } else {
            p.x = anchor.x + rng.uniform(-10, 10);
            dy = rng.uniform(-8, 4);
        }
        p.y = anchor.y + dy;

        const double s = rng.uniform(30, 110);
        const double spread = rng.uniform(-36, 36);
        const double up = spec.popScale * rng.uniform(55, 140);
        if (geometry.isVertical) {
            const double side = rng.uniform(-30, 30);
            p.vx = side + 2 * spread;
            p.vy = 24 * direction - 0.55 * up;
        } else {
            p.vx = spread + spec.sprayScale * s * direction;
            p.vy = -up;
        }

        const double u = rng.uniform(0, 1);
        const double sizeScale = (0.55 + 1.35 * std::pow(u, 1.5)) * popFactor;
        p.size = rng.uniform(spec.sizeRange.lowerBound, spec.sizeRange.upperBound) * sizeScale;

        p.spin = spec.spinRate * rng.uniform(0.35, 1.3) * 0.8;
        if (rng.coin()) p.spin = -p.spin;
        p.rot = rng.uniform(-0.6, 0.6);
        p.seed = rng.unit();
        p.life = 2 * spec.life * rng.uniform(0.8, 1.25);

        const double c = std::clamp(sizeScale - 0.5, 0.0, 1.5);
        p.gravityMul = rng.uniform(0.55, 1.35) * (0.8 + 0.25 * c);  // bigger particles fall harder
        p.dragMul = rng.uniform(0.7, 1.4);
        particles.push_back(p);
    }
    return n;
}

}  // namespace quillmar
