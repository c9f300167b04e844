#pragma once
// The drifting snow shared by the Christmas and winter scenes, and the sleigh's flight.
//
// Each flake i of a layer with seed base B has five unit values u0...u4 (seeds B + 17 i,
// B + 4 + 29 i, B + 8 + 41 i, B + 10 + 53 i, B + 16 + 67 i). It starts at 0.32 u0, lives for
// 0.52 + 0.4 u1 of progress, fades in over the first 0.12 of its life and out from 0.74, drifts
// down by the layer's fall with a sideways wobble, and shies away from the pointer.

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/xmas_cozy_palette.h"

namespace quillmar::scenes {

struct DriftLayer {
    int count;
    long long base;
    double factor;  // opacity factor of the layer
    double wobble;
    double fall;
    double maxPush;
    double strength;
};

enum class FlakeLook {
    soft,     // a soft dot of radius r0 + r1 u4: colour at o, 0.55 o, 0
    spoked,   // six spokes with one branch pair, radius r0 + r1 u4, turning
    crystal,  // a haloed crystal with three branch pairs and a hexagon, turning
};

struct FlakeInk {
    gfx::Color line;  // dot colour (soft) or stroke colour
    gfx::Color halo;  // crystal halo
    double r0, r1;    // radius = r0 + r1 u4
};

struct SnowFrame {
    gfx::GraphicsContext& ctx;
    double width, height, progress;
    double fade;  // multiplies every flake's opacity (the scene's closing fade)
    PointerWake& wake;
    gfx::Point origin;
};

void drawDriftingSnow(const SnowFrame& frame, const DriftLayer& layer, FlakeLook look, const FlakeInk& ink);

// The sleigh crossing the sky on a quadratic path, trailing stardust sparkles.
struct SleighFlight {
    double enter, leave;       // the layer exists only while enter <= p <= leave
    double travelStart;        // q = (p - travelStart) / 0.32
    double in0, in1, out0, out1;
    double opacityFactor;
    gfx::Point a, control, b;  // the flight path
    double scale;              // of the sleigh and of its sparkles
};

void drawSleighFlight(gfx::GraphicsContext& ctx, const XmasCozyPalette& palette, bool isDark, double progress,
                      const SleighFlight& flight);

}  // namespace quillmar::scenes
