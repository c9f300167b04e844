#pragma once
// A wash of a smooth radial gradient over a whole canvas, drawn at a quarter of a point's
// resolution and scaled up. A radial gradient that reaches past the corners of a window costs
// most of a frame when every device pixel is shaded; a slow ramp such as a vignette looks the same
// from a coarse grid blended bilinearly, at a fraction of the cost.

#include "gfx/graphics_context.h"
#include "gfx/shading.h"

namespace quillmar {

// Fills the canvas (0, 0, width, height) of the context with `shading`, given in canvas points.
void fillSoftRadialWash(gfx::GraphicsContext& context, double width, double height, const gfx::Shading& shading);

}  // namespace quillmar
