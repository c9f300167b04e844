#include "seasonal/pin_motif.h"

namespace quillmar {

std::pair<gfx::Color, gfx::Color> enamelGradient(PinMotif motif) {
    using C = gfx::Color;
    switch (motif) {
        case PinMotif::shamrock: return {C(0.09, 0.49, 0.28), C(0.04, 0.26, 0.15)};
        case PinMotif::easterEgg: return {C(0.20, 0.50, 0.62), C(0.11, 0.30, 0.40)};
        case PinMotif::fireworksStar: return {C(0.10, 0.20, 0.44), C(0.05, 0.10, 0.24)};
        case PinMotif::jackOLantern: return {C(0.23, 0.12, 0.36), C(0.11, 0.06, 0.20)};
        case PinMotif::harvestAcorn: return {C(0.39, 0.21, 0.10), C(0.20, 0.10, 0.05)};
        case PinMotif::sleighBellOrnament: return {C(0.10, 0.38, 0.25), C(0.05, 0.21, 0.14)};
        case PinMotif::springBlossom: return {C(0.15, 0.52, 0.44), C(0.08, 0.30, 0.25)};
        case PinMotif::shootingStar: return {C(0.13, 0.24, 0.52), C(0.06, 0.12, 0.30)};
        case PinMotif::winterSnowflake: return {C(0.12, 0.32, 0.58), C(0.06, 0.17, 0.34)};
    }
    return {C(0.09, 0.49, 0.28), C(0.04, 0.26, 0.15)};
}

}  // namespace quillmar
