#pragma once
// A bare Halloween tree that grows limb by limb: one path per branching depth, so the caller can
// stroke each depth with its own width.

#include <cstdint>
#include <vector>

#include "gfx/path.h"

namespace quillmar {

struct BareTreeSpec {
    int maxDepth = 4;       // depths 0 (the trunk) ... maxDepth
    std::int64_t seed = 0;  // any value: the seeds of the limbs wrap around in 64 bits
    double x = 0, y = 0;    // foot of the trunk
    double angle = 0;       // trunk direction, radians
    double length = 100;    // trunk length
    double growth = 1;      // 0...1; each depth owns one (maxDepth + 1)-th of it; not finite: no limbs
    double swayPhase = 0;   // advancing it sways the limbs, deeper ones more
};

// The deepest tree the builder grows; a larger maxDepth is capped to it.
inline constexpr int kBareTreeDepthLimit = 6;

// Returns maxDepth + 1 paths (maxDepth capped to kBareTreeDepthLimit); element d holds every limb
// of depth d. A negative maxDepth grows no tree and returns no paths.
std::vector<gfx::Path> buildBareTree(const BareTreeSpec& spec);

}  // namespace quillmar
