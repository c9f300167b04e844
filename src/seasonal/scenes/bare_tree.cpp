#include "seasonal/scenes/bare_tree.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

namespace {

struct Limb {
    int depth;
    std::int64_t seed;
    double x, y, angle, length;
};

// a × seed + b in wrapping 64-bit arithmetic: a hashed quantity's own seed, derived from a limb's
// seed without signed overflow whatever the seed.
std::int64_t derived(std::int64_t seed, std::uint64_t a, std::uint64_t b) {
    return static_cast<std::int64_t>(a * static_cast<std::uint64_t>(seed) + b);
}

// Adds one limb and, once it is complete, its children. `paths` holds maxDepth + 1 entries, sized by
// buildBareTree, so every depth written here has its path.
void addBareTreeBranch(std::vector<gfx::Path>& paths, const BareTreeSpec& spec, int maxDepth, const Limb& limb) {
    const int d = limb.depth;
    const double slots = maxDepth + 1;
    double f = (spec.growth - d / slots) / ((d + 1) / slots - d / slots);
    if (f < 1) {
        if (!(f >= 0) || f <= 0.001) return;
    } else {
        f = 1;
    }

    const std::int64_t s = limb.seed;
    const double a = limb.angle + 0.012 * (d + 1) * std::sin(6.28 * spectacleUnit(s) + 1.3 * d + spec.swayPhase);
    const double ease = 1 - (1 - f) * (1 - f);
    const gfx::Point start{limb.x, limb.y};
    const gfx::Point fullEnd{limb.x + limb.length * std::cos(a), limb.y + limb.length * std::sin(a)};
    const gfx::Point drawnEnd = start + (fullEnd - start) * ease;
    const double bend = (spectacleUnit(derived(s, 7, 3)) - 0.5) * limb.length * 0.3 * ease;
    const gfx::Point mid = (start + drawnEnd) * 0.5;

    gfx::Path& path = paths[static_cast<std::size_t>(d)];
    path.move(start);
    path.addQuadCurve(drawnEnd, {mid.x - bend * std::sin(a), mid.y + bend * std::cos(a)});

    if (d >= maxDepth || f < 0.999) return;
    const int children = d == 0 ? 3 : 2;
    for (int j = 0; j < children; ++j) {
        const double spread = (0.55 + 0.25 * spectacleUnit(derived(s, 31, 17 * j + 5))) * (j - (children - 1) / 2.0);
        const double childAngle = a + 0.22 * (spectacleUnit(derived(s, 13, j)) - 0.5) + spread;
        const double childLength = (0.62 + 0.16 * spectacleUnit(derived(s, 5, 3 * j))) * limb.length;
        addBareTreeBranch(paths, spec, maxDepth, {d + 1, derived(s, 4, 1 + j), fullEnd.x, fullEnd.y, childAngle, childLength});
    }
}

}  // namespace

std::vector<gfx::Path> buildBareTree(const BareTreeSpec& spec) {
    if (spec.maxDepth < 0) return {};
    const int maxDepth = std::min(spec.maxDepth, kBareTreeDepthLimit);
    std::vector<gfx::Path> paths(static_cast<std::size_t>(maxDepth + 1));
    if (!std::isfinite(spec.growth)) return paths;
    addBareTreeBranch(paths, spec, maxDepth, {0, spec.seed, spec.x, spec.y, spec.angle, spec.length});
    return paths;
}

}  // namespace quillmar
