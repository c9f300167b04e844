#pragma once
// Lunar new year: gold ingots, red envelopes, blossom petals and gold coins.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct LunarNewYearFestiveArt {
    LunarNewYearFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {1.0, 0.3, 0.0, 0.0, 0.42, 4.2, 2.3, {9.0, 13.0}, 0.34, true, 1.0, 1.0},  // 0 gold ingot
        {0.26, 2.4, 44.0, 1.3, 0.08, 2.6, 2.5, {9.0, 13.0}, 0.30, true, 0.85, 1.0},  // 1 red envelope
        {0.13, 3.2, 36.0, 1.6, 0.0, 2.2, 2.6, {5.0, 8.0}, 0.26, true, 0.6, 1.0},  // 2 blossom petal
        {0.95, 0.4, 0.0, 0.0, 0.38, 7.0, 2.2, {6.0, 9.0}, 0.10, true, 1.05, 1.0},  // 3 gold coin
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
