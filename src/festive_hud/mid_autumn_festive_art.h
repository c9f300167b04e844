#pragma once
// Mid-autumn: osmanthus florets, twinkling stars, moon rabbits and teardrop petals.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct MidAutumnFestiveArt {
    MidAutumnFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {0.12, 3.2, 30.0, 1.7, 0.0, 2.0, 2.7, {5.0, 8.0}, 0.46, true, 0.6, 1.0},  // 0 osmanthus floret
        {-0.07, 2.0, 10.0, 0.9, 0.0, 0.8, 1.9, {4.0, 8.0}, 0.28, false, 0.45, 0.9},  // 1 twinkling star
        {0.5, 1.4, 10.0, 0.8, 0.2, 1.5, 2.4, {9.0, 13.0}, 0.10, true, 0.8, 0.9},  // 2 moon rabbit
        {0.18, 2.6, 36.0, 1.3, 0.05, 2.6, 2.5, {6.0, 9.0}, 0.16, true, 0.7, 1.0},  // 3 teardrop petal
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
