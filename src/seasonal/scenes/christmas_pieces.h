#pragma once
// Pieces shared by the Christmas and winter scenes: the holly leaf and sprig, the snowflake
// outline, the reindeer sleigh and the pine garland with its berries and hanging bulbs.

#include "gfx/graphics_context.h"
#include "gfx/path.h"
#include "seasonal/scenes/xmas_cozy_palette.h"

namespace quillmar {

// A spiky holly leaf about 1.02 size long from the origin; direction +1 points right, -1 left.
gfx::Path hollyLeafPath(double direction, double size);

// Six arms of the given radius; detail 1 adds a branch pair per arm, detail 2 or more three pairs
// and a centre hexagon. Open subpaths (and the hexagon) for stroking.
gfx::Path snowflakePath(double radius, int detail);

// Two leaves and three berries at the context's origin.
void drawHollySprig(gfx::GraphicsContext& context, const XmasCozyPalette& palette, double size);

// A sleigh pulled by two reindeer at the context's origin (about x -12...48, y -16...5), all in
// `ink`; gait (-1...1) bobs the reindeer and swings their legs in opposite phase.
void drawReindeerSleigh(gfx::GraphicsContext& context, const gfx::Color& ink, const XmasCozyPalette& palette,
                        double gait);

// A pine garland hung from `from` to `to` sagging `sag` below the chord's middle.
struct PineGarland {
    int seed = 0;
    int ornamentCount = 0;  // hanging bulbs; zero or less hangs none
    gfx::Point from, to;
    double sag = 0;
    double scale = 1;          // needle length, rope width, berry size, bulb hang
    double ornamentScale = 1;  // bulb size
    double reveal = 0;         // fraction of the rope grown so far
    double dropProgress = 0;   // fraction of the rope whose bulbs have dropped into place
    double time = 0;           // drives the bulbs' twinkle and sway
    gfx::Point canvasOrigin;   // the canvas's origin in the window, for the pointer
};
void drawPineGarland(gfx::GraphicsContext& context, const XmasCozyPalette& palette, bool isDark,
                     const PineGarland& garland);

}  // namespace quillmar
