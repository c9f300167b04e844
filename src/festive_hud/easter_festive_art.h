#pragma once
// Easter: painted eggs, blossom petals and daisies.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"

namespace quillmar {

struct EasterFestiveArt {
    EasterFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 3> kKindSpecs{{
        {1.0, 0.45, 0.0, 0.0, 0.3, 6.5, 2.4, {9.0, 13.0}, 0.42, true, 1.0, 1.0},  // 0 painted egg
        {0.15, 2.8, 36.0, 1.4, 0.0, 2.4, 2.6, {5.0, 8.0}, 0.36, true, 0.7, 1.0},  // 1 blossom petal
        {0.24, 2.3, 28.0, 1.1, 0.06, 2.0, 2.5, {8.0, 11.0}, 0.22, true, 0.8, 1.0},  // 2 daisy
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }
};

}  // namespace quillmar
