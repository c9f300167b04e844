#include "brand/drawn_image.h"

#include <algorithm>
#include <cmath>

#include "gfx/render_target.h"

namespace quillmar {

namespace {
double side(double v) { return std::isfinite(v) && v > 0 ? v : 0.0; }
}  // namespace

DrawnImage::DrawnImage(gfx::Size size, bool isTemplate, Handler handler)
    : size_{side(size.width), side(size.height)}, isTemplate_(isTemplate), handler_(std::move(handler)) {}

bool DrawnImage::draw(gfx::GraphicsContext& context, const gfx::Rect& rect) const {
    if (!handler_ || !rect.isFinite() || rect.isEmpty()) return false;
    gfx::GraphicsContext flipped = context;  // leaves the caller's transform alone
    flipped.translateBy(rect.x, rect.maxY());
    flipped.scaleBy(1, -1);
    return handler_(flipped, gfx::Rect{0, 0, rect.width, rect.height});
}

gfx::Image DrawnImage::rasterize(double scale) const {
    if (!(std::isfinite(scale) && scale > 0)) scale = 1.0;
    const gfx::Size canvas{std::max(size_.width, 1.0), std::max(size_.height, 1.0)};
    auto target = gfx::render(canvas, scale, [&](gfx::GraphicsContext& ctx) {
        draw(ctx, gfx::Rect{0, 0, size_.width, size_.height});
    });
    return target->image();
}

bool DrawnImage::writePng(const std::string& path, double scale, std::string* error) const {
    return rasterize(scale).writePng(path, error);
}

}  // namespace quillmar
