#pragma once
// Every renderer of the Western seasonal scenes, as the About card's three canvas hosts call them.
// Each follows the contract of spectacle_renderer.h.
//
// 1. The full-window spectacle (over the whole settings window; the host draws only while both
//    sides exceed 40 points and passes a progress limited to 0...1; pointer origin (0, 0)).
// 2. The emblem dissolve on the About card (the host draws only while both sides exceed 8 points
//    and passes a progress limited to 0...1; pointer origin: PointerWake's
//    aboutCardOriginInWindow).
// 3. The seasonal marks of the icon hint: a small motif at the context's origin, drawn under the
//    caller's opacity, translation, rotation and scale. `size` is the motif's scale (about its
//    half-extent) and `intensity` (0...1) its brightness; `variant` picks among the theme's
//    motifs.

#include "gfx/graphics_context.h"
#include "seasonal/scenes/artisan_canvas_theme.h"
#include "seasonal/scenes/spectacle_renderer.h"

namespace quillmar {

// 1. Full-window spectacles.
void drawFireworksWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width,
                                  double height, double progress);
void drawChristmasWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width,
                                  double height, double progress);
void drawHalloweenWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width,
                                  double height, double progress);
void drawStPatricksWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width,
                                   double height, double progress);

// 2. Emblem dissolves. The fireworks dissolve also takes the emblem's centre on the canvas (the
//    card passes width - 29 and height * 0.5).
void drawEasterMeadowDissolve(gfx::GraphicsContext& context, bool isDark, double width,
                              double height, double progress);
void drawFireworksDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                           double progress, double centerX, double centerY);
void drawHalloweenDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                           double progress);
void drawAutumnHarvestOakDissolve(gfx::GraphicsContext& context, bool isDark, double width,
                                  double height, double progress);
void drawChristmasDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                           double progress);
void drawSpringMeadowDissolve(gfx::GraphicsContext& context, bool isDark, double width,
                              double height, double progress);
void drawSummerStarlightDissolve(gfx::GraphicsContext& context, bool isDark, double width,
                                 double height, double progress);
void drawWinterAuroraHearthDissolve(gfx::GraphicsContext& context, bool isDark, double width,
                                    double height, double progress);

// 3. Seasonal marks: autumnHarvestOak, springMeadow and summerStarlight go to the nature mark;
//    christmasSpectacle and winterAuroraHearth to the winter mark.
void drawNatureSeasonalMark(gfx::GraphicsContext& context, ArtisanCanvasTheme theme, int variant,
                            bool isDark, double size, double intensity);
void drawWinterSeasonalMark(gfx::GraphicsContext& context, ArtisanCanvasTheme theme, int variant,
                            bool isDark, double size, double intensity);

}  // namespace quillmar
