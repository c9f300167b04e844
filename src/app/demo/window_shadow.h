#pragma once
// The shadow the simulated window server casts under a window that has one: the window's own
// outline (the alpha of its pixels, so a rounded panel casts a rounded shadow) filled with black
// at the shadow's opacity, blurred and moved down. It lies only around the window: none of it
// shows through a translucent window's own pixels.

#include "gfx/image.h"
#include "ui/layout_types.h"

namespace quillmar {

struct WindowShadow {
    // How dark, how soft (the Gaussian's standard deviation, points) and how far down a shadow is.
    struct Style {
        double opacity, radius, offsetY;
    };
    // The simulated desktop's shadows: under the key window (and the panel), and under any other.
    static constexpr Style kKeyWindow{0.35, 18, 8};
    static constexpr Style kOtherWindow{0.2, 10, 4};

    gfx::Image image;  // at the window picture's scale; null when there is nothing to cast
    ui::Rect frame;    // where the image lies, in points from the window's top-left corner

    // The shadow of `window` (a picture of the whole window, its pixels' alpha times `alpha`) in
    // `style`.
    static WindowShadow of(const gfx::Image& window, double alpha, const Style& style);
    // The same shadow whole, under the window's own pixels too: for a window drawn over it, which
    // then hides it as much as the window is opaque.
    static WindowShadow cast(const gfx::Image& window, double alpha, const Style& style);
    // How far (pixels, at `scale`) a shadow in `style` reaches beyond its window's edges, and how
    // far down of its window it lies.
    static int reach(const Style& style, double scale);
    static int drop(const Style& style, double scale);
};

}  // namespace quillmar
