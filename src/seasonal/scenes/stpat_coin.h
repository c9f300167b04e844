#pragma once
// Small St Patrick's drawing routines shared by the rainbow, the pot of gold and the flourishes:
// the four-point sparkle and the spinning gold coin.

#include "gfx/graphics_context.h"
#include "gfx/path.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

// A four-pointed star of radius `radius` whose curves all bend through the centre; always filled.
inline gfx::Path fourPointSparklePath(gfx::Point center, double radius) {
    return scenes::sparklePath(center.x, center.y, radius);
}

// A gold coin of radius `radius` at the context's origin (the caller translates, rotates and fades
// the context). `flipPhase` spins it about its vertical axis, `verticalScale` flattens it and
// `edgeFactor` scales how far its rim shows beside the face.
void drawSpinningCoin(gfx::GraphicsContext& context, double radius, double flipPhase, double verticalScale,
                      double edgeFactor, const StpatPalette& palette);

}  // namespace quillmar
