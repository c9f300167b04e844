#pragma once
// Pieces of the meadow scenes: a daisy, a dandelion seed and one side's pair of butterfly wings.
// Each draws (or builds) at the context's origin; the caller places, turns and fades it.

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "gfx/path.h"

namespace quillmar {

// One daisy of radius r centred on the origin: nine petals and a golden centre.
void drawMeadowDaisy(gfx::GraphicsContext& context, bool isDark, double r);

// One dandelion seed: seven filaments fanning upward from the origin, a stalk and the seed.
void drawDandelionSeed(gfx::GraphicsContext& context, const gfx::Color& filament, const gfx::Color& seed);

// A fore and a hind wing attached near the origin, the body along the y axis (head toward -y);
// side 1 gives the right-hand wings, -1 the left-hand ones (only x is multiplied by it).
gfx::Path butterflyWingPairPath(double side);

}  // namespace quillmar
