#pragma once
// Halloween drawers of the night: the moon with its halo and two drifting clouds, a fan-shaped
// spider web that spins itself by a build value and trembles near the pointer, a ghost and a
// dangling spider.

#include "gfx/geometry.h"
#include "gfx/graphics_context.h"

namespace quillmar {

void drawHalloweenMoon(gfx::GraphicsContext& context, bool isDark, double centerX, double centerY, double radius,
                       double strength, double drift);

struct SpiderWebSpec {
    gfx::Point center;                  // where the spokes meet (the spider's thread anchor)
    double wallX = 0;                   // the wall the web is tied to
    double startDegrees = 0, endDegrees = 90;
    double radius = 100;
    int spokes = 6;                     // fewer than 3 draws no web; more than 64 are drawn as 64
    double build = 1;                   // 0...1: spokes, then rings, then frame threads
    double time = 0;
    double opacity = 1;
    double flash = 0;                   // lightning brightens the silk
    gfx::Point pointerOrigin;           // the canvas's origin in the window, for the pointer
};

// The most spokes a web is drawn with: beyond that the silk is a solid fan anyway.
inline constexpr int kSpiderWebSpokeLimit = 64;

void drawHalloweenSpiderWeb(gfx::GraphicsContext& context, const SpiderWebSpec& web);

// The ghost of both Halloween scenes about the context's origin, head up, facing right: two
// after-images, the body, its inner glow and outline, eyes whose glints look along `look`, the
// mouth and the arms reaching forward. `push` (0...1) grows the eyes, mouth and arms of a ghost
// the pointer presses; `gape` (0...1) opens eyes and mouth in a swoop.
void drawHalloweenGhost(gfx::GraphicsContext& ghost, double time, double push, double gape, gfx::Point look);

// The dangling spider hanging at (x, y): legs that spread by `spread` and stir with `time`; in the
// dark appearance it is drawn moonlit so that it shows on the night wash.
void drawHalloweenSpider(gfx::GraphicsContext& context, bool isDark, double x, double y, double spread, double time,
                         double opacity);

}  // namespace quillmar
