#pragma once
// Pieces only the Christmas window spectacle draws: a pillar candle on a brass dish, a mug of
// cocoa with steam, and the outline of a frost fern.

#include "gfx/graphics_context.h"
#include "gfx/path.h"
#include "seasonal/scenes/xmas_cozy_palette.h"

namespace quillmar {

// In the caller's coordinates: x is the candle's centre line, baseY the dish level, height and
// width the wax column's. flameReveal (0...1) grows the flame and its glow; progress flickers it.
void drawPillarCandle(gfx::GraphicsContext& context, const XmasCozyPalette& palette, bool isDark, double x,
                      double baseY, double height, double width, double progress, double flameReveal);

// A mug centred on (x, y) in fixed units; steamReveal (0...1) fades the steam in.
void drawCocoaMug(gfx::GraphicsContext& context, const XmasCozyPalette& palette, bool isDark, double x, double y,
                  double progress, double steamReveal);

// Open subpaths for stroking: a stem from near the origin toward +x over about `size` points
// with up to six twigs, grown to `growth` (0...1); index varies the twigs.
gfx::Path frostFernPath(int index, double size, double growth);

}  // namespace quillmar
