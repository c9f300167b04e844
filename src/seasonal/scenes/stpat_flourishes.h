#pragma once
// Small layers that dress the St Patrick's window spectacle: sparkles from the About card's emblem,
// a traced trefoil outline, music notes rising from the bottom and stars along the rainbow.

#include "gfx/graphics_context.h"
#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

void drawStPatricksEmblemSparkles(gfx::GraphicsContext& context, double progress, const StpatPalette& palette,
                                  double emblemX, double emblemY);
void drawTrefoilTrace(gfx::GraphicsContext& context, double progress, const StpatPalette& palette, bool isDark,
                      double anchorX, double anchorY);
void drawMusicNotes(gfx::GraphicsContext& context, double height, double progress, const StpatPalette& palette,
                    bool isDark, double fade);
void drawRainbowTwinkles(gfx::GraphicsContext& context, double progress, const StpatPalette& palette, bool isDark,
                         double fade, double potX, double potY);

}  // namespace quillmar
