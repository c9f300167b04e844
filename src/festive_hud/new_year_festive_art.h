#pragma once
// New Year: confetti, streamers, bubbles and sparkles.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct NewYearFestiveArt {
    NewYearFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {0.28, 2.0, 48.0, 1.9, 0.12, 8.0, 2.4, {5.0, 9.0}, 0.50, true, 1.0, 1.0},  // 0 confetti
        {0.22, 1.8, 30.0, 1.2, 0.0, 2.5, 2.2, {10.0, 14.0}, 0.16, false, 0.9, 1.0},  // 1 streamer
        {-0.2, 1.6, 18.0, 2.4, 0.0, 0.0, 1.9, {3.5, 6.5}, 0.24, false, 0.3, 0.7},  // 2 bubble
        {0.03, 3.0, 8.0, 2.5, 0.0, 1.2, 0.8, {5.0, 8.0}, 0.10, false, 0.9, 1.1},  // 3 sparkle
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
