// Renderers of the scenes still being drawn (the summer starlight dissolve and the nature mark):
// they draw nothing yet, so every host links and shows its own layers only. Each moves to its
// theme's file when its scene lands.

#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawSummerStarlightDissolve(gfx::GraphicsContext&, bool, double, double, double) {}
void drawNatureSeasonalMark(gfx::GraphicsContext&, ArtisanCanvasTheme, int, bool, double, double) {}

}  // namespace quillmar
