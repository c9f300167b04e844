#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawChristmasDissolve(gfx::GraphicsContext&, bool, double, double, double) {}

}  // namespace quillmar
