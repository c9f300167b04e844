#pragma once
// The contract of every seasonal scene renderer.
//
// A renderer is handed a graphics context, the appearance (isDark selects the dark colour set),
// the canvas size in points and an animation progress, and paints one complete frame: the origin
// is the canvas's top-left corner, x to the right, y downward. It keeps nothing between frames;
// the same arguments and the same pointer state give the same picture. Sprites that shy away
// from the pointer ask PointerWake::shared().cursorWakeDisplacement for their displacement (the
// only state a renderer touches). A renderer leaves the caller's context as it found it: layers
// that translate, rotate, scale or fade do so on a copy.
//
// The hosts limit the progress to 0...1. A renderer draws nothing for a canvas or progress that
// is not finite, or for a canvas of no area or of absurd size, so no loop over the canvas runs
// without end and no non-finite value reaches the drawing layer.

#include <cmath>

#include "gfx/graphics_context.h"

namespace quillmar {

using SpectacleRenderer = void (*)(gfx::GraphicsContext& context, bool isDark, double width,
                                   double height, double progress);

// Larger than any window; a canvas beyond it is taken for bad input.
inline constexpr double kSpectacleMaxCanvasSide = 65536;

inline bool spectacleFrameIsDrawable(double width, double height, double progress) {
    return std::isfinite(progress) && width > 0 && height > 0 && width <= kSpectacleMaxCanvasSide &&
           height <= kSpectacleMaxCanvasSide;
}

}  // namespace quillmar
