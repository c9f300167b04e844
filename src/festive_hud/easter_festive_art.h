#pragma once
// Easter: painted eggs, blossom petals and daisies.
// The festival's particle kinds, indexed by HUDFestiveParticle::kind. Columns: gravityScale,
// dragPerSec, flutterAmp, flutterHz, restitution, spinRate, life, sizeRange, spawnWeight,
// bouncesOnFloor, popScale, sprayScale.

#include <array>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct EasterFestiveArt {
    EasterFestiveArt() = delete;

    static constexpr std::array<HUDFestiveKindSpec, 3> kKindSpecs{{
        {1.0, 0.45, 0.0, 0.0, 0.3, 6.5, 2.4, {9.0, 13.0}, 0.42, true, 1.0, 1.0},  // 0 painted egg
        {0.15, 2.8, 36.0, 1.4, 0.0, 2.4, 2.6, {5.0, 8.0}, 0.36, true, 0.7, 1.0},  // 1 blossom petal
        {0.24, 2.3, 28.0, 1.1, 0.06, 2.0, 2.5, {8.0, 11.0}, 0.22, true, 0.8, 1.0},  // 2 daisy
    }};

    static std::span<const HUDFestiveKindSpec> kindSpecs() { return kKindSpecs; }

    // Draws one particle centred on the origin of a context already moved to it, rotated by its
    // `rot` and faded; every opacity is scaled by `strength` and clamped. The context is this
    // drawing's own copy.
    static void draw(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark, double strength);
};

// Draws one figure of a particle in the drawing of a festival.
using FestiveFigureDrawer = void (*)(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                                     double strength);

// The three-way kind dispatch shared by festivals of three figures: kind 0 draws `first`, kind 1
// `second`, every other value `third`, each given the same inputs.
void drawFestiveParticleByKind3(const HUDFestiveParticle& particle, gfx::GraphicsContext context, bool isDark,
                                double strength, FestiveFigureDrawer first, FestiveFigureDrawer second,
                                FestiveFigureDrawer third);

// The outline of a painted egg of half height H, half as wide as 0.74 H and widest 0.15 H below
// its centre, narrower at the top.
gfx::Path easterEggPath(double halfHeight);

}  // namespace quillmar
