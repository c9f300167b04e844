#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawEasterMeadowDissolve(gfx::GraphicsContext&, bool, double, double, double) {}

}  // namespace quillmar
