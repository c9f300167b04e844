#pragma once
// Halloween drawers of things that glow and sweets: the jack-o'-lantern and a piece of candy.

#include "gfx/graphics_context.h"

namespace quillmar {

// A jack-o'-lantern of size S about the context's origin; `glow` is its candle's flicker (about 0.7
// to 1) and moves the light inside sideways.
void drawJackOLantern(gfx::GraphicsContext& context, bool isDark, double size, double glow);

// A sweet at (x, y): kind 0 a wrapped sweet, 1 a candy corn, any other kind a lollipop.
void drawHalloweenCandy(gfx::GraphicsContext& context, double x, double y, int kind, double angle, double opacity);

}  // namespace quillmar
