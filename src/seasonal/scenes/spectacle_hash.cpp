#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

std::uint64_t spectacleHash(std::int64_t seed) {
    constexpr std::uint64_t kMul = 0x45D9F3B;
    auto x = static_cast<std::uint64_t>(seed);
    x *= kMul;
    x ^= x >> 16;
    x *= kMul;
    x ^= x >> 16;
    x *= kMul;
    x ^= x >> 16;
    return x;
}

double spectacleUnit(std::int64_t seed) {
    return static_cast<double>(spectacleHash(seed) & 0xFFFF) / 65535.0;
}

}  // namespace quillmar
