#pragma once
// Halloween silhouettes built about the origin for the caller to place and fill (a bat, a ghost, a
// falling leaf, a cloud) and the lightning flash envelope both Halloween scenes share.

#include "gfx/path.h"

namespace quillmar {

// Flash intensity in 0...1 at progress p: two strikes, at 0.3 and (0.72 as bright) at 0.615,
// each followed by an after-flicker.
double lightningFlashEnvelope(double progress);

// A bat of wing span `span`; positive `flap` raises the wing tips, negative lowers them.
gfx::Path halloweenBatPath(double span, double flap);
// A ghost about 27 points wide and 50 high, head up; its hem ripples with `time` and a larger
// `bulge` billows its lower left side.
gfx::Path halloweenGhostPath(double time, double bulge);
// A leaf from (0, -size) to about (0, size): a smooth oval when `plain`, else a lobed leaf.
gfx::Path halloweenLeafPath(double size, bool plain);
// A cloud with four hashed bumps on its top edge.
gfx::Path halloweenCloudPath(double centerX, double centerY, double width, double height, int seed);

}  // namespace quillmar
