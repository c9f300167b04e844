#pragma once
// Korean new year: gold lozenges, blossom petals, lucky pouches and jade rings.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct SeollalFestiveArt {
    SeollalFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {0.21, 2.5, 40.0, 1.8, 0.08, 5.5, 2.4, {5.0, 8.0}, 0.40, true, 0.7, 1.0},  // 0 gold lozenge
        {0.13, 3.2, 36.0, 1.6, 0.0, 2.2, 2.6, {5.0, 8.0}, 0.30, true, 0.6, 1.0},  // 1 blossom petal
        {0.75, 0.8, 8.0, 0.8, 0.28, 2.0, 2.4, {9.0, 13.0}, 0.20, true, 0.9, 1.0},  // 2 lucky pouch
        {0.9, 0.5, 0.0, 0.0, 0.45, 4.0, 2.2, {7.0, 10.0}, 0.10, true, 1.0, 1.0},  // 3 jade ring
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
