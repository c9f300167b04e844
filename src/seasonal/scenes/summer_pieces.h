#pragma once
// Pieces of the summer starlight scene, each drawn at the context's origin: a hexagon for lens
// flares, sunflower and poppy heads, a bee and a dragonfly (the insects in fixed point units,
// head to the right).

#include "gfx/graphics_context.h"
#include "gfx/path.h"

namespace quillmar {

gfx::Path hexagonPath(double centerX, double centerY, double radius, double rotation);

void drawSunflowerHead(gfx::GraphicsContext& context, bool isDark, double size);
void drawPoppyHead(gfx::GraphicsContext& context, bool isDark, double size);
// `wingLift` in 0...1 raises the wings from 0.35 of their height to full height.
void drawBee(gfx::GraphicsContext& context, bool isDark, double wingLift);
// `shimmer` in 0...1 changes only the wings' opacity.
void drawDragonfly(gfx::GraphicsContext& context, bool isDark, double shimmer);

}  // namespace quillmar
