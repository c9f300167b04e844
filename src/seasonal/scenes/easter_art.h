#pragma once
// The Easter meadow's colour set and its two figures: a decorated egg and a seated bunny. Both
// draw at the context's origin; the caller places, turns, scales and fades the context first.

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "gfx/path.h"

namespace quillmar::EasterArt {

struct Palette {
    gfx::Color butter, robin, blush, mint, cream, lilac, ink, grass, sun, tan;
};

Palette palette(bool isDark);

// The egg outline for size s, narrow end up: x spans -0.78 s...0.78 s, y spans -1.3 s...s.
gfx::Path eggPath(double s);

// One egg centred on the origin. The variant picks the colours (period 4) and the decoration
// (period 3: zigzag, dots, waves); stroke widths do not scale with the size.
void drawEgg(gfx::GraphicsContext& context, int variant, const Palette& palette, bool isDark, double size);

// A seated bunny facing +x whose ground line is y = 0; earSwing swings and drops the ears.
void drawBunny(gfx::GraphicsContext& context, const gfx::Color& fur, const Palette& palette, bool isDark,
               double earSwing);

}  // namespace quillmar::EasterArt
