#pragma once
// Fireworks: twinkling stars, streaking sparks and glitter stars.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"

namespace quillmar {

struct FireworksFestiveArt {
    FireworksFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 3> kKindSpecs{{
        {0.3, 1.9, 10.0, 4.0, 0.18, 5.0, 1.45, {6.0, 10.0}, 0.48, true, 1.0, 1.0},  // 0 twinkling star
        {0.55, 1.0, 0.0, 0.0, 0.0, 0.0, 1.1, {4.0, 6.0}, 0.32, false, 1.15, 1.7},  // 1 streaking spark
        {0.22, 2.3, 20.0, 3.2, 0.1, 8.0, 1.05, {2.5, 4.0}, 0.2, true, 0.9, 1.0},  // 2 glitter star
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }
};

}  // namespace quillmar
