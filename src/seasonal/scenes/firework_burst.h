#pragma once
// One exploding shell of streaks at a moment of its short life, shared by the fireworks scenes.

#include "gfx/graphics_context.h"
#include "seasonal/scenes/fireworks_colors.h"

namespace quillmar {

// Draws `burst` (its kind, size and count) around (cx, cy) at local time t (0 at the burst, below
// 1 until its end), in `colors`, scattered by `seed`, sized by `scale`. The streak heads shy away
// from the pointer; (originX, originY) is the canvas origin in the window. A count of zero or
// less draws no streaks.
void drawFireworkBurst(gfx::GraphicsContext& context, const FireworkBurst& burst, const FireworkColors& colors,
                       int seed, double cx, double cy, double t, double scale, double originX, double originY,
                       bool isDark);

}  // namespace quillmar
