#pragma once
// The 60 Hz physics of festive particles: gravity with per-kind drag and a sideways flutter,
// rebounds off the side walls, bounces that come to rest on the floor line for the kinds that
// bounce, and death by age or by leaving the bar far above or below.

#include <span>
#include <vector>

#include "festive_hud/hud_festive_geometry.h"
#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"

namespace quillmar {

// The step length for a measured interval between ticks: at least 1/240 s (also for a
// non-finite interval), at most 1/30 s, so that a stalled frame does not fling particles.
double festiveStepInterval(double elapsed);

// Advances every particle by dt seconds (taken through festiveStepInterval) and removes the dead in place (the others keep their
// order). A kind past either end of the table uses the nearest row; with an empty table every
// particle is removed.
void stepFestiveParticles(std::vector<HUDFestiveParticle>& particles, std::span<const HUDFestiveKindSpec> specs,
                          const HUDFestiveGeometry& geometry, double dt);

}  // namespace quillmar
