#pragma once
// The shadows the simulated window server casts under windows of one outline (a frame with its
// corners rounded alike) in one style, at one scale. A window's shadow is cast once for a window
// just large enough to have a straight stretch on every side and laid under any larger window in
// nine parts: the corners as cast, the sides stretched along the window's edges, the middle left
// out (the window's opaque body hides it). Away from its corners the shadow of a straight edge is
// the same all along it, so the parts give the shadow a window of that size would cast. A window
// too narrow or too low for that casts one of its own size, kept for the windows of that size
// after it. So a picture of many windows blurs a few shadows, not one per window.

#include <cstddef>
#include <map>
#include <utility>

#include "app/demo/window_shadow.h"
#include "ui/layout_types.h"
#include "ui/view.h"

namespace quillmar {

class NinePartShadow {
public:
    // Windows with corners of `cornerRadius` points casting shadows in `style`, for a picture of a
    // `canvas` (points) at `scale` pixels per point.
    NinePartShadow(const WindowShadow::Style& style, double cornerRadius, ui::Size canvas, double scale);

    // The shadow of a window whose frame is `frame` (points on a canvas drawn at the scale, from a
    // whole pixel): a view to place at the canvas's top-left corner, under the window. It lies at
    // the whole pixels nearest to the window's edges. Empty when the window casts none.
    ui::View under(const ui::Rect& frame);

private:
    // The shadow of a window of one size (pixels), and the parts of it cut so far.
    struct Cast {
        int width = 0, height = 0;
        gfx::Image image;  // null: the window casts none
        std::map<std::pair<int, int>, gfx::Image> parts;  // by their top-left pixel

        // Its pixels from (x, y), `width` by `height` of them.
        gfx::Image part(int x, int y, int width, int height);
    };
    // The shadow cast for windows of this size (pixels).
    Cast& castFor(int width, int height);

    WindowShadow::Style style_;
    double cornerRadius_, scale_;
    int reach_;          // of a shadow beyond its window's edges, in pixels
    int ends_[2];        // pixels from a window's edge to its straight stretch, across and down
    std::pair<int, int> bounds_[2];  // where a window's edges are taken to lie at most, across and down
    std::map<std::pair<int, int>, Cast> casts_;  // by the window's pixel size as cast
    std::size_t castPixels_ = 0;
};

}  // namespace quillmar
