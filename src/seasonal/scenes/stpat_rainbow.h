#pragma once
// The St Patrick's rainbow: a fixed cubic arc from beyond the left edge of the window down into the
// pot of gold, its seven-colour ramp, the gold guide trail that sketches it first, the striped arc
// and the coins that slide down its second half. Positions are absolute canvas points.

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

struct RainbowArcSample {
    double x = 0, y = 0;    // the point on the arc
    double nx = 0, ny = 0;  // unit normal towards the outer side of the arc
};

// The arc at curve parameter t; t is limited to 0...1 (a NaN reads as 0).
RainbowArcSample rainbowArcPoint(double t);
// The direction of travel along the arc at t, in radians.
double rainbowArcHeading(double t);

// The ramp from red (phase 0) to violet (phase 6); the light appearance is 0.88 times as bright.
gfx::Color rainbowRampColor(bool isDark, double phase);

// How far the arc has grown (its head, as a curve parameter) and drained (its start) at progress p.
double rainbowGrow(double progress);
double rainbowTail(double progress);

void drawStPatricksRainbow(gfx::GraphicsContext& context, double progress, const StpatPalette& palette,
                           bool isDark);
void drawRainbowSlidingCoins(gfx::GraphicsContext& context, double progress, const StpatPalette& palette,
                             double fade);

}  // namespace quillmar
