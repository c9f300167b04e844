#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawFireworksWindowSpectacle(gfx::GraphicsContext&, bool, double, double, double) {}

}  // namespace quillmar
