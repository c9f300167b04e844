#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawSpringMeadowDissolve(gfx::GraphicsContext&, bool, double, double, double) {}

}  // namespace quillmar
