#pragma once
// The burst spawner: throws particles of a festival up from the selected entry of the Switch
// Bar. Horizontal strip: from around the entry's anchor, sprayed sideways in the hop direction.
// Vertical list: from anywhere along the row span, nudged up or down by the hop direction.

#include <span>
#include <vector>

#include "festive_hud/festive_random.h"
#include "festive_hud/hud_festive_geometry.h"
#include "festive_hud/hud_festive_kind_spec.h"
#include "festive_hud/hud_festive_particle.h"

namespace quillmar {

struct FestiveBurstRequest {
    int count = 0;           // 22 for a fresh burst, 8 for a top-up
    int index = 0;           // the selected entry; without an anchor the bar's upper middle is used
    double direction = 1;    // +1 forwards, -1 backwards
    double intensity = 0;    // 0...1, from the hop rate: bigger, higher particles
};

// Appends up to request.count particles, never more than kMaxFestiveParticles alive in all.
// Spawns nothing on a bar 20 points or less wide or tall (its geometry not yet written), on a
// geometry that is not finite, or with an empty kind table. Returns how many were added.
int spawnFestiveParticles(std::vector<HUDFestiveParticle>& particles, std::span<const HUDFestiveKindSpec> specs,
                          const HUDFestiveGeometry& geometry, const FestiveBurstRequest& request,
                          FestiveRandom& rng);

}  // namespace quillmar
