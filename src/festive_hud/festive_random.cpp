#include "festive_hud/festive_random.h"

#include <chrono>
#include <random>

namespace quillmar {

FestiveRandom FestiveRandom::fromSystemEntropy() {
    std::random_device device;
    std::uint64_t seed = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    // random_device may be deterministic on some platforms; mix in the clock as well.
    seed ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return FestiveRandom(seed);
}

}  // namespace quillmar
