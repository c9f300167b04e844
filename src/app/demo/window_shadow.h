#pragma once
// The shadow the simulated window server casts under a window that has one: the window's own
// outline (the alpha of its pixels, so a rounded panel casts a rounded shadow) filled with black
// at the shadow's opacity, blurred and moved down. It lies only around the window: none of it
// shows through a translucent window's own pixels.

#include "gfx/image.h"
#include "ui/layout_types.h"

namespace quillmar {

struct WindowShadow {
    // The key window's shadow on the simulated desktop.
    static constexpr double kOpacity = 0.35, kRadius = 18, kOffsetY = 8;

    gfx::Image image;  // at the window picture's scale; null when there is nothing to cast
    ui::Rect frame;    // where the image lies, in points from the window's top-left corner

    // The shadow of `window` (a picture of the whole window) at `opacity` (times the window's
    // alpha), with a blur of `radius` points (the Gaussian's standard deviation), `offsetY` points
    // down.
    static WindowShadow of(const gfx::Image& window, double opacity, double radius = kRadius,
                           double offsetY = kOffsetY);
};

}  // namespace quillmar
