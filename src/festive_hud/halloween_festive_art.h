#pragma once
// Halloween: bats, candy corn, ghosts, embers, jack-o'-lanterns and sweets.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct HalloweenFestiveArt {
    HalloweenFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 6> kKindSpecs{{
        {-0.34, 1.3, 46.0, 2.4, 0.0, 0.0, 1.9, {11.0, 15.0}, 0.22, false, 0.55, 1.1},  // 0 bat
        {1.0, 0.4, 0.0, 0.0, 0.4, 7.5, 2.2, {7.0, 10.0}, 0.2, true, 1.0, 1.0},  // 1 candy corn
        {-0.1, 1.9, 24.0, 0.9, 0.0, 0.0, 2.2, {9.0, 13.0}, 0.06, false, 0.4, 0.8},  // 2 ghost
        {-0.04, 2.2, 14.0, 2.6, 0.0, 3.0, 1.3, {3.0, 5.0}, 0.04, false, 0.6, 1.0},  // 3 ember
        {1.0, 0.4, 0.0, 0.0, 0.26, 3.5, 2.3, {9.0, 14.0}, 0.22, true, 1.0, 1.0},  // 4 jack-o'-lantern
        {0.9, 0.5, 0.0, 0.0, 0.36, 6.0, 2.2, {7.0, 11.0}, 0.26, true, 1.0, 1.0},  // 5 sweet
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

}  // namespace quillmar
