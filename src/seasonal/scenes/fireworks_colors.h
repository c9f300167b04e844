#pragma once
// The colours and the burst record of the fireworks scenes.

#include "gfx/color.h"

namespace quillmar {

// The three colours of one burst: most streaks, every few streaks, sparkle dots and flash cores.
struct FireworkColors {
    gfx::Color primary;
    gfx::Color accent;
    gfx::Color glint;
};

// Index 0 gold, 1 cool white, 2 pink, 3 green, 4 blue; any other index gold with cool white.
FireworkColors fireworksColors(int index, bool isDark);

// One burst. drawFireworkBurst reads kind, size and count; the rest serves the scenes that fire it.
struct FireworkBurst {
    int kind = 0;           // 0 straight, 1 two-tone, 2 comet, 3 shell that splits, other: ring
    double launchX = 0;     // where the rocket leaves the ground (0 without a rocket)
    double x = 0, y = 0;    // the burst centre
    double start = 0;       // progress at which the rocket (or the burst) begins
    double rise = 0;        // progress span of the rocket's climb (0 without a rocket)
    double duration = 0;    // progress span of the burst
    double size = 0;        // radius before scaling, in points
    int count = 0;          // number of streaks
    int colorIndex = 0;     // for fireworksColors
};

}  // namespace quillmar
