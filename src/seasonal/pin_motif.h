#pragma once
// The nine motifs of the collector pin that Western easter eggs wear, and the two enamel colours
// (top, bottom) each one is filled with. Raw values are fixed (0...8 in declaration order).

#include <array>
#include <utility>

#include "gfx/color.h"

namespace quillmar {

enum class PinMotif : int {
    shamrock = 0,
    easterEgg = 1,
    fireworksStar = 2,
    jackOLantern = 3,
    harvestAcorn = 4,
    sleighBellOrnament = 5,
    springBlossom = 6,
    shootingStar = 7,
    winterSnowflake = 8,
};

inline constexpr std::array<PinMotif, 9> kAllPinMotifs{
    PinMotif::shamrock,     PinMotif::easterEgg,          PinMotif::fireworksStar,
    PinMotif::jackOLantern, PinMotif::harvestAcorn,       PinMotif::sleighBellOrnament,
    PinMotif::springBlossom, PinMotif::shootingStar,      PinMotif::winterSnowflake,
};

// The enamel of a motif: (top colour, bottom colour), sRGB, opaque.
std::pair<gfx::Color, gfx::Color> enamelGradient(PinMotif motif);

}  // namespace quillmar
