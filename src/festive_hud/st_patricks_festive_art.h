#pragma once
// St Patrick's Day: gold coins, four-leaf clovers and golden twinkles.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct StPatricksFestiveArt {
    StPatricksFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 3> kKindSpecs{{
        {1.0, 0.3, 0.0, 0.0, 0.5, 9.5, 2.3, {8.0, 12.0}, 0.42, true, 1.1, 1.0},  // 0 gold coin
        {0.16, 2.8, 40.0, 1.2, 0.0, 2.6, 2.6, {8.0, 13.0}, 0.42, true, 0.7, 1.0},  // 1 four-leaf clover
        {0.04, 3.5, 10.0, 3.0, 0.0, 1.5, 0.75, {5.0, 8.0}, 0.16, false, 0.8, 1.2},  // 2 golden twinkle
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
