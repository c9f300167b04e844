#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawWinterSeasonalMark(gfx::GraphicsContext&, ArtisanCanvasTheme, int, bool, double, double) {}

}  // namespace quillmar
