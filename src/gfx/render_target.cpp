#include "gfx/render_target.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "gfx/cairo_backend.h"

namespace quillmar::gfx {

TargetGeometry TargetGeometry::of(Size size, double scale) {
    TargetGeometry g;
    g.scale = std::isfinite(scale) && scale > 0 ? std::clamp(scale, 0.1, 16.0) : 1.0;
    auto side = [&](double points) {
        double px = std::isfinite(points) ? std::ceil(std::max(0.0, points) * g.scale - 1e-9) : 1.0;
        return static_cast<int>(std::clamp(px, 1.0, 16384.0));
    };
    g.pixelWidth = side(size.width);
    g.pixelHeight = side(size.height);
    g.size = size.isFinite() && size.width > 0 && size.height > 0 && size.width * g.scale <= 16384 &&
                     size.height * g.scale <= 16384
                 ? size
                 : Size{g.pixelWidth / g.scale, g.pixelHeight / g.scale};
    return g;
}

RenderTarget::RenderTarget(Size size, double scale) {
    const TargetGeometry g = TargetGeometry::of(size, scale);
    scale_ = g.scale;
    size_ = g.size;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, g.pixelWidth, g.pixelHeight);
    backend_ = std::make_shared<CairoBackend>(surface, size_, scale_);
    cairo_surface_destroy(surface);
}

RenderTarget::~RenderTarget() = default;

GraphicsContext RenderTarget::context() { return GraphicsContext(backend_); }

std::string RenderTarget::error() const { return backend_->error(); }

Image RenderTarget::image() const {
    return Image::fromSurface(backend_->target(), scale_).copy();
}

Image RenderTarget::takeImage() { return Image::fromSurface(backend_->target(), scale_); }

bool RenderTarget::writePng(const std::string& path, std::string* error) const {
    if (!ok()) {
        if (error) *error = "drawing failed: " + this->error();
        return false;
    }
    return Image::fromSurface(backend_->target(), scale_).writePng(path, error);
}

std::unique_ptr<RenderTarget> render(Size size, double scale, const std::function<void(GraphicsContext&)>& draw) {
    auto target = std::make_unique<RenderTarget>(size, scale);
    GraphicsContext ctx = target->context();
    draw(ctx);
    return target;
}

}  // namespace quillmar::gfx
