// Renderers of the scenes still being drawn (Halloween, St Patrick's, the autumn oak, the summer
// starlight and the nature mark): they draw nothing yet, so every host links and shows its own
// layers only. Each moves to its theme's file when its scene lands.

#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawHalloweenWindowSpectacle(gfx::GraphicsContext&, bool, double, double, double) {}
void drawStPatricksWindowSpectacle(gfx::GraphicsContext&, bool, double, double, double) {}
void drawHalloweenDissolve(gfx::GraphicsContext&, bool, double, double, double) {}
void drawAutumnHarvestOakDissolve(gfx::GraphicsContext&, bool, double, double, double) {}
void drawSummerStarlightDissolve(gfx::GraphicsContext&, bool, double, double, double) {}
void drawNatureSeasonalMark(gfx::GraphicsContext&, ArtisanCanvasTheme, int, bool, double, double) {}

}  // namespace quillmar
