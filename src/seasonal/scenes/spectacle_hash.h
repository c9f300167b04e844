#pragma once
// The integer hash that every scatter and flicker of the seasonal scenes starts from. Each hashed
// quantity has its own seed (an element index times a constant plus a constant), so the same
// frame always scatters the same way and different quantities vary independently.

#include <cstdint>

namespace quillmar {

// 64-bit multiply-xorshift mix of the seed's two's-complement pattern. The full 64 bits of the
// products matter: their high half reaches the low 16 bits through the shifts.
std::uint64_t spectacleHash(std::int64_t seed);

// The low 16 bits of the hash mapped onto 0...1; both ends are reachable.
double spectacleUnit(std::int64_t seed);

}  // namespace quillmar
