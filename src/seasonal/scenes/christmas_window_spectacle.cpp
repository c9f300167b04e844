#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawChristmasWindowSpectacle(gfx::GraphicsContext&, bool, double, double, double) {}

}  // namespace quillmar
