#pragma once
// A five-petal blossom centred on the context's origin: five round petals of radius 0.44 × size
// whose centres lie 0.46 × size out, the first straight up, each filled on its own (faded, their
// overlaps show darker), then a warm yellow heart of radius
// 0.22 × size. The caller translates, turns and fades the context. A size that is not a positive
// finite number draws nothing.

#include "gfx/color.h"
#include "gfx/graphics_context.h"

namespace quillmar {

void drawBlossomCharm(gfx::GraphicsContext& context, const gfx::Color& petalColor, double size);

}  // namespace quillmar
