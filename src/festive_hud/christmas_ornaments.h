#pragma once
// The fixed ornaments of the Christmas perimeter: a pine sprig with two holly leaves and three red
// berries in each corner of the Switch Bar, where the garland stops, and on bars 150 points wide
// or more a red bow with a pine spray, two holly leaves and two swinging gold bells in the middle
// of the top edge. Every drawing works on its own copy of the context.
//
// Points in the bar's own coordinates, origin at the top-left corner, y downward.

#include "gfx/geometry.h"
#include "gfx/graphics_context.h"

namespace quillmar {

// One holly leaf of the given length and half-width, based at `base` and pointing along `angle`.
void drawHollyLeaf(gfx::GraphicsContext context, bool isDark, gfx::Point base, double length, double halfWidth,
                   double angle);

// The sprig of one corner. signX and signY (±1) mirror it so that it points into the bar:
// top-left (0, 0, +1, +1), top-right (W, 0, −1, +1), bottom-left (0, H, +1, −1), bottom-right
// (W, H, −1, −1). The corner radius is taken within 16...28.
void drawChristmasCornerSprig(gfx::GraphicsContext context, bool isDark, double cornerX, double cornerY, double signX,
                              double signY, double cornerRadius);

// The bow at the middle of the top edge of a bar `width` wide; `time` swings its bells (0 holds
// them still).
void drawChristmasTopBow(gfx::GraphicsContext context, bool isDark, double width, double time);

// A gold bell of size S hanging from (x, y), its mouth toward +y after turning by `angle`.
void drawChristmasBell(gfx::GraphicsContext context, double x, double y, double angle, double size, bool isDark);

}  // namespace quillmar
