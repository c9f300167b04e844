#pragma once
// An image described by a drawing routine instead of pixels: it redraws itself at whatever size
// and resolution it is shown, so one object serves a 16-point menu and a 512-point icon alike.
// The routine draws into a destination rectangle with a y-up coordinate space whose origin is
// the rectangle's bottom-left corner, and reports whether it drew.
//
// A template image is a shape whose colour the presenter chooses (the menu bar tints it); it is
// drawn in black here, and callers that show it tint its alpha.
//
// Immutable once made; safe to draw from any thread (each draw is independent).

#include <functional>
#include <string>

#include "gfx/graphics_context.h"
#include "gfx/image.h"

namespace quillmar {

class DrawnImage {
public:
    // Draws into `rect` = (0, 0, width, height) of `context`, whose transform already maps this
    // y-up space onto the destination (origin at its bottom-left corner, one unit per point).
    // Returns whether it drew.
    using Handler = std::function<bool(gfx::GraphicsContext& context, const gfx::Rect& rect)>;

    DrawnImage(gfx::Size size, bool isTemplate, Handler handler);

    // The point size the image was made for (negative or non-finite sides read as 0).
    gfx::Size size() const { return size_; }
    bool isTemplate() const { return isTemplate_; }

    // Draws the image filling `rect` (y-down canvas rectangle). False when the routine drew
    // nothing (an empty or non-finite rectangle, or a routine that could not draw).
    bool draw(gfx::GraphicsContext& context, const gfx::Rect& rect) const;

    // The image as pixels at `scale` pixels per point, on a transparent background.
    gfx::Image rasterize(double scale = 1.0) const;
    bool writePng(const std::string& path, double scale = 1.0, std::string* error = nullptr) const;

private:
    gfx::Size size_;
    bool isTemplate_;
    Handler handler_;
};

}  // namespace quillmar
