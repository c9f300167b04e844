#pragma once
// The two meadow pieces that only the nature themes' seasonal mark draws (the mark itself is
// declared with the other renderers): the mark picks its motif by theme and variant, so a row of
// marks alternates between blossoms, daisies and leaves in spring, leaves, glowing stars and daisies
// in summer, and oak leaves and an acorn in autumn.

#include "gfx/graphics_context.h"

namespace quillmar {

// A five-petal blossom with notched petals and a ring of stamens.
void drawMeadowBlossom(gfx::GraphicsContext& context, bool isDark, double size);
// A green pointed leaf, tip up, with its midrib.
void drawMeadowLeaf(gfx::GraphicsContext& context, bool isDark, double size);

}  // namespace quillmar
