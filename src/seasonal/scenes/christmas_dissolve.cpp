// The Christmas dissolve on the About card: a small version of the window's winter evening with
// a warm glow from the bottom corners, snow in three depths, the reindeer sleigh across the top
// and one garland with hanging bulbs along the bottom edge.

#include "seasonal/scenes/christmas_pieces.h"
#include "seasonal/scenes/drifting_snow.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_renderer.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawChristmasDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height, double progress) {
    using gfx::Color;
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const XmasCozyPalette P = XmasCozyPalette::make(isDark);
    PointerWake& wake = PointerWake::shared();
    const gfx::Point origin = wake.aboutCardOriginInWindow;
    const double p = progress, w = width, h = height;
    const double env = smootherstep(0.02, 0.18, p) * (1 - smootherstep(0.84, 0.98, p));
    const double c = smootherstep(0.88, 1.0, p);
    const scenes::SnowFrame snow{context, w, h, p, 1 - c, wake, origin};
    const Color flakeLine = isDark ? Color(0.94, 0.97, 1.0) : Color(0.46, 0.60, 0.80);

    if (env > 0.004) {
        const double amber = env * (isDark ? 0.22 : 0.13), rose = env * (isDark ? 0.18 : 0.10);
        context.fill(scenes::glowCircle({40, h}, 180), scenes::radialShading({40, h}, 180, {P.amber.opacity(amber), P.amber.opacity(0)}));
        context.fill(scenes::glowCircle({w - 90, h}, 170), scenes::radialShading({w - 90, h}, 170, {P.rose.opacity(rose), P.rose.opacity(0)}));
    }
    scenes::drawDriftingSnow(snow, {8, 5004, 0.4, 4, 26, 42, 0.6}, scenes::FlakeLook::soft,
                             {isDark ? Color::whiteColor() : Color(0.55, 0.66, 0.84), {}, 1, 0.6});
    scenes::drawSleighFlight(context, P, isDark, p,
                             {0.27, 0.63, 0.28, 0.28, 0.34, 0.55, 0.61, 0.85, {84, 30}, {0.52 * w, 2}, {w - 66, 16}, 0.62});
    if (env > 0.004) {
        gfx::GraphicsContext g = context;
        g.opacity *= env;
        PineGarland garland;
        garland.seed = 37;
        garland.ornamentCount = 8;
        garland.from = {-4, h - 12};
        garland.to = {w - 62, h - 14};
        garland.sag = 5;
        garland.scale = 5;
        garland.ornamentScale = 0.52;
        garland.reveal = smootherstep(0.04, 0.30, p);
        garland.dropProgress = smootherstep(0.22, 0.48, p);
        garland.time = p;
        garland.canvasOrigin = origin;
        drawPineGarland(g, P, isDark, garland);
    }
    scenes::drawDriftingSnow(snow, {8, 6004, 0.7, 7, 40, 42, 1.0}, scenes::FlakeLook::spoked, {flakeLine, {}, 2.4, 0.8});
    scenes::drawDriftingSnow(snow, {6, 7004, 0.86, 10, 52, 42, 1.25}, scenes::FlakeLook::crystal,
                             {flakeLine, isDark ? Color::whiteColor() : Color(0.62, 0.76, 0.96), 4, 1.6});
}

}  // namespace quillmar
