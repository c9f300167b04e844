#pragma once
// Christmas: gift boxes, snowflakes, golden bells and holly sprigs.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct ChristmasFestiveArt {
    ChristmasFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {0.95, 0.4, 0.0, 0.0, 0.26, 4.5, 2.4, {9.0, 13.0}, 0.30, true, 1.0, 1.0},  // 0 gift box
        {0.1, 3.2, 28.0, 0.8, 0.0, 1.4, 2.9, {7.0, 12.0}, 0.56, true, 0.6, 1.0},  // 1 snowflake
        {1.0, 0.4, 0.0, 0.0, 0.38, 6.0, 2.2, {8.0, 11.0}, 0.07, true, 1.0, 1.0},  // 2 golden bell
        {0.35, 1.8, 20.0, 1.0, 0.1, 3.5, 2.4, {9.0, 13.0}, 0.07, true, 0.8, 1.0},  // 3 holly sprig
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
