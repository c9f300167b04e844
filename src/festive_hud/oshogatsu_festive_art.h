#pragma once
// Japanese new year: blossom petals, gold leaf flakes, cord knots and pine sprigs.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct OshogatsuFestiveArt {
    OshogatsuFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 4> kKindSpecs{{
        {0.13, 3.2, 36.0, 1.6, 0.0, 2.3, 2.6, {5.0, 8.0}, 0.42, true, 0.6, 1.0},  // 0 blossom petal
        {0.19, 2.7, 44.0, 2.0, 0.05, 5.5, 2.4, {4.0, 7.0}, 0.36, true, 0.7, 1.0},  // 1 gold leaf flake
        {0.42, 1.6, 16.0, 1.0, 0.15, 1.8, 2.4, {9.0, 13.0}, 0.12, true, 0.8, 0.9},  // 2 cord knot
        {0.3, 2.0, 20.0, 1.1, 0.1, 2.0, 2.4, {7.0, 10.0}, 0.10, true, 0.75, 1.0},  // 3 pine sprig
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
