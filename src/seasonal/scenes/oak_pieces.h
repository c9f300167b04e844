#pragma once
// Pieces of the autumn harvest oak scenes, each drawn at the context's origin in its own units: the
// lobed oak leaf outline, the shaded oak leaf, the acorn and the harvest pumpkin group. Also the
// highlight lens, a pointed sliver that the autumn and summer scenes build petals, kernels and
// leaves from.

#include "gfx/graphics_context.h"
#include "gfx/path.h"

namespace quillmar {

// A closed lens from p0 to p1 whose widest point lies `halfWidth` from the chord.
gfx::Path highlightLensPath(gfx::Point p0, gfx::Point p1, double halfWidth);
void addHighlightLens(gfx::Path& path, gfx::Point p0, gfx::Point p1, double halfWidth);

// An oak leaf, tip up at (0, -size), stalk end at (0, size), five lobes a side.
gfx::Path oakLeafPath(double size);
// The oak leaf's vein pattern (midrib and three pairs of side veins) for a leaf of `size`.
gfx::Path oakLeafVeinsPath(double size);
// The gradient stops of the oak leaf of colour set index % 3; a sheen above 0.45 adds a pale tip.
gfx::Gradient oakLeafGradient(int index, double sheen);

void drawOakLeaf(gfx::GraphicsContext& context, int index, double size, double sheen, bool isDark, bool withShadow);
void drawAcorn(gfx::GraphicsContext& context, double size, bool detailed);
void drawPumpkinWithAcorns(gfx::GraphicsContext& context, bool isDark, double progress);

}  // namespace quillmar
