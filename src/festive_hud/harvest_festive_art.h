#pragma once
// Harvest: oak and maple leaves, acorns and small pumpkins.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct HarvestFestiveArt {
    HarvestFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {0.22, 2.4, 44.0, 1.1, 0.0, 2.8, 2.6, {10.0, 14.0}, 0.34, true, 0.7, 1.0},  // 0 oak leaf
        {0.2, 2.5, 48.0, 1.3, 0.0, 3.2, 2.6, {10.0, 14.0}, 0.3, true, 0.7, 1.0},  // 1 maple leaf
        {1.0, 0.4, 0.0, 0.0, 0.38, 6.5, 2.2, {7.0, 10.0}, 0.26, true, 1.0, 1.0},  // 2 acorn
        {0.95, 0.5, 0.0, 0.0, 0.24, 4.0, 2.2, {7.0, 10.0}, 0.1, true, 1.0, 1.0},  // 3 pumpkin
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
