#pragma once
// The iron pot of gold at the foot of the St Patrick's rainbow, with its heap of coins and the
// tilted green hat; it rises from below, lands with a springy squash and flashes.

#include "gfx/graphics_context.h"
#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

// Draws the pot centred at (centerX, centerY); `landingTime` is the progress at which it lands.
void drawPotOfGold(gfx::GraphicsContext& context, double progress, const StpatPalette& palette, bool isDark,
                   double centerX, double centerY, double landingTime);

// The hat on a copy of the context translated to (x, y) and rotated by `angle`.
void drawStPatricksHat(gfx::GraphicsContext& context, double x, double y, double angle,
                       const StpatPalette& palette);

}  // namespace quillmar
