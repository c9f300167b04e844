#pragma once
// Fireworks: twinkling stars, streaking sparks and glitter stars.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct FireworksFestiveArt {
    FireworksFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 3> kKindSpecs{{
        {0.3, 1.9, 10.0, 4.0, 0.18, 5.0, 1.45, {6.0, 10.0}, 0.48, true, 1.0, 1.0},  // 0 twinkling star
        {0.55, 1.0, 0.0, 0.0, 0.0, 0.0, 1.1, {4.0, 6.0}, 0.32, false, 1.15, 1.7},  // 1 streaking spark
        {0.22, 2.3, 20.0, 3.2, 0.1, 8.0, 1.05, {2.5, 4.0}, 0.2, true, 0.9, 1.0},  // 2 glitter star
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

// A closed star polygon of 2n vertices centred on the origin: vertex k lies at the angle
// k × π / n − π/2 (vertex 0 straight up, clockwise on screen), at the outer radius for even k and
// the inner radius for odd k. No points give an empty path.
gfx::Path festiveStarPath(int points, double outerRadius, double innerRadius);

}  // namespace quillmar
