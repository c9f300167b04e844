#include "festive_hud/festive_physics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "festive_hud/clamped_index.h"

namespace quillmar {

double festiveStepInterval(double elapsed) {
    constexpr double kShortest = 1.0 / 240.0;
    constexpr double kLongest = 1.0 / 30.0;
    if (!(elapsed >= kShortest)) return kShortest;  // also NaN
    return std::min(elapsed, kLongest);
}

void stepFestiveParticles(std::vector<HUDFestiveParticle>& particles, std::span<const HUDFestiveKindSpec> specs,
                          const HUDFestiveGeometry& geometry, double dt) {
    dt = festiveStepInterval(dt);
    if (specs.empty()) {
        particles.clear();
        return;
    }
    const double width = geometry.size.width;
    const double height = geometry.size.height;
    const double floorY = geometry.floorY > 0 ? geometry.floorY : height;
    const double restingSlide = std::exp(-6 * dt);
    const double restingSpin = std::exp(-8 * dt);
    constexpr double kGravity = 380;
    constexpr double kTwoPi = 2 * std::numbers::pi;

    std::size_t kept = 0;
    for (std::size_t i = 0; i < particles.size(); ++i) {
        HUDFestiveParticle p = particles[i];
        const HUDFestiveKindSpec& spec =
            specs[clampedIndex(static_cast<std::int64_t>(p.kind), specs.size())];
        const double half = p.size / 2;

        p.age += dt;
        if (p.restingOnFloor) {
            p.vx *= restingSlide;
            p.spin *= restingSpin;
            p.x += p.vx * dt;
        } else {
            p.vy += spec.gravityScale * kGravity * p.gravityMul * dt;
            const double drag = std::exp(-spec.dragPerSec * p.dragMul * dt);
            p.vx *= drag;
            p.vy *= drag;
            const double phase = p.seed * 6.2832 + kTwoPi * spec.flutterHz * 0.62 * p.age;
            // The sway moves the particle without becoming part of its velocity.
            p.x += (p.vx + 0.8 * spec.flutterAmp * std::sin(phase)) * dt;
            p.y += p.vy * dt;
        }

        if (p.x < half) {
            p.x = half;
            p.vx = 0.45 * std::fabs(p.vx);
        } else if (p.x > width - half) {
            p.x = width - half;
            p.vx = -0.45 * std::fabs(p.vx);
        }

        const double spinThisStep = p.spin;
        if (spec.bouncesOnFloor && !p.restingOnFloor && p.y > floorY - half && p.vy > 0) {
            p.bounces += 1;
            p.y = floorY - half;
            const double rebound = -p.vy * spec.restitution;
            p.vx *= 0.78;
            p.spin *= 0.55;
            if (std::fabs(rebound) < 42 || p.bounces >= 4) {
                p.restingOnFloor = true;
                p.vy = 0;
            } else {
                p.vy = rebound;
            }
        }
        p.rot += spinThisStep * dt;

        // A particle whose position is no longer a number can never be drawn or leave the bar.
        const bool dead = p.age >= p.life || p.y > height + 40 || p.y < -60 || !std::isfinite(p.x) ||
                          !std::isfinite(p.y);
        if (!dead) particles[kept++] = p;
    }
    particles.resize(kept);
}

}  // namespace quillmar
