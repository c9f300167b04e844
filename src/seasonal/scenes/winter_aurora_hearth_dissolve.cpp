#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawWinterAuroraHearthDissolve(gfx::GraphicsContext&, bool, double, double, double) {}

}  // namespace quillmar
