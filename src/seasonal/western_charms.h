#pragma once
// The charms of the St Patrick's and Easter themes and the four-leaf clover that the shamrock pin
// and the St Patrick's charm share. The Easter charm paints with the Easter meadow's art, the
// St Patrick's charm with the St Patrick's spectacle's clover and palette.

#include "gfx/color.h"
#include "gfx/graphics_context.h"

namespace quillmar {

// A four-leaf clover around the origin, about `size` points from the centre to a leaf tip: a
// curved stem, four heart-shaped leaves on the diagonals in the leaf colour with a soft gloss,
// veins along the diagonals and gilt touches.
void drawCloverCharm(gfx::GraphicsContext& context, const gfx::Color& leaf, const gfx::Color& gilt, double size);

void drawStPatricksCharm(gfx::GraphicsContext& context, int index, bool isDark, double size, double phase);
void drawEasterCharm(gfx::GraphicsContext& context, int index, bool isDark, double size, double phase);

}  // namespace quillmar
