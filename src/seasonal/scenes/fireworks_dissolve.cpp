#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

void drawFireworksDissolve(gfx::GraphicsContext&, bool, double, double, double, double, double) {}

}  // namespace quillmar
