#pragma once
// How a festival's particle art plugs in. Each festival has one art type: a type with no
// instances whose static members are
//   1. kindSpecs(): the festival's particle-kind table (a particle's `kind` indexes it; the
//      spawner draws kinds by weight and the physics step reads each particle's row);
//   2. draw(particle, context, isDark, strength): draws one particle centred on the origin of a
//      graphics context already moved to the particle, rotated and faded. It joins this
//      contract together with the overlay that calls it; the context is the drawing's own copy,
//      so its scales, rotations and clips never reach the caller.
// withFestiveArt (festive_art_table.h) picks the art type of a theme for every caller.

#include <concepts>
#include <span>

#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"

namespace quillmar {

template <class Art>
concept HUDFestiveArt = requires(const HUDFestiveParticle& particle, gfx::GraphicsContext context) {
    { Art::kindSpecs() } -> std::same_as<std::span<const HUDFestiveKindSpec>>;
    { Art::draw(particle, context, true, 1.0) } -> std::same_as<void>;
};

}  // namespace quillmar
