#pragma once
// Clovers that drift across the St Patrick's window spectacle: four-leaf clovers in green or gold
// and a few violet clover blossoms, dodging the pointer.

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "gfx/path.h"
#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

// Four heart-shaped leaves pointing along the diagonals, about the origin.
gfx::Path fourLeafCloverPath(double size);
void drawFourLeafClover(gfx::GraphicsContext& context, double size, const gfx::Color& leaf,
                        const gfx::Color& accent);
void drawCloverBlossom(gfx::GraphicsContext& context, double size, const StpatPalette& palette);

void drawDriftingClovers(gfx::GraphicsContext& context, double progress, const StpatPalette& palette, double fade);

}  // namespace quillmar
