#include "gfx/cairo_backend.h"

#include <xxhash.h>

#include <algorithm>
#include <cmath>

#include "gfx/cairo_backend_internal.h"
#include "gfx/polygon_clip.h"

namespace quillmar::gfx {

using namespace cairo_internal;

namespace cairo_internal {

std::uint64_t hashPixels(const void* data, int width, int height, int stride) {
    const auto* src = static_cast<const std::uint8_t*>(data);
    const std::size_t row = std::size_t(std::max(0, width)) * 4, step = std::size_t(std::max(0, stride));
    if (step == row) return XXH3_64bits(src, row * std::size_t(std::max(0, height)));
    XXH3_state_t* state = XXH3_createState();
    if (!state) return 0;
    XXH3_64bits_reset(state);
    for (int y = 0; y < height; ++y) XXH3_64bits_update(state, src + std::size_t(y) * step, row);
    const std::uint64_t h = XXH3_64bits_digest(state);
    XXH3_freeState(state);
    return h;
}

}  // namespace cairo_internal

CairoBackend::CairoBackend(cairo_surface_t* target, Size canvas, double scale)
    : target_(cairo_surface_reference(target)), canvas_(canvas), scale_(scale) {
    base_.surface = target_;
    base_.cr = cairo_create(target_);
    base_.width = cairo_image_surface_get_width(target_);
    base_.height = cairo_image_surface_get_height(target_);
    canvasWidth_ = base_.width;
    canvasHeight_ = base_.height;
    check(base_);
}

CairoBackend::CairoBackend(cairo_surface_t* target, Size canvas, double scale, int bandTop, int canvasPixelHeight)
    : CairoBackend(target, canvas, scale) {
    base_.y0 = bandTop;
    canvasHeight_ = std::max(canvasPixelHeight, bandTop + base_.height);
    banded_ = true;
}

CairoBackend::~CairoBackend() {
    for (Surface& l : layers_) {
        cairo_destroy(l.cr);
        cairo_surface_destroy(l.surface);
    }
    cairo_destroy(base_.cr);
    cairo_surface_destroy(target_);
    scratch().trim();
}

void CairoBackend::check(Surface& s) {
    cairo_status_t st = cairo_status(s.cr);
    if (st == CAIRO_STATUS_SUCCESS) st = cairo_surface_status(s.surface);
    if (st == CAIRO_STATUS_SUCCESS) return;
    if (error_.empty()) error_ = cairo_status_to_string(st);
    // A Cairo context in an error state ignores everything after; give later drawing a new one.
    if (cairo_status(s.cr) != CAIRO_STATUS_SUCCESS && cairo_surface_status(s.surface) == CAIRO_STATUS_SUCCESS) {
        cairo_destroy(s.cr);
        s.cr = cairo_create(s.surface);
    }
}

AffineTransform CairoBackend::deviceMatrix(const AffineTransform& user) const {
    const Surface& s = layers_.empty() ? base_ : layers_.back();
    return AffineTransform::translation(-s.x0, -s.y0).concatenating(AffineTransform::scale(scale_, scale_))
        .concatenating(user);
}

void CairoBackend::appendVisiblePolygons(cairo_t* cr, const Path& path, const AffineTransform& t) {
    // Flattened in device space and cut to the surface (plus a margin), so that Cairo never
    // sees geometry far outside what can be drawn; inside the surface the shape is unchanged.
    const Surface& s = layers_.empty() ? base_ : layers_.back();
    Rect visible = Rect{0, 0, double(s.width), double(s.height)}.insetBy(-4, -4);
    for (Path::Polyline& pl : path.applying(t).flattened(kFlatness)) {
        std::vector<Point> poly = clipPolygonToRect(pl.points, visible);
        if (poly.size() < 3) continue;
        cairo_move_to(cr, poly[0].x, poly[0].y);
        for (std::size_t i = 1; i < poly.size(); ++i) cairo_line_to(cr, poly[i].x, poly[i].y);
        cairo_close_path(cr);
    }
}

bool CairoBackend::setSource(cairo_t* cr, const Shading& shading, double opacity, const AffineTransform& toDevice) {
    auto solid = [&](const Color& c) {
        Color k = c.opacity(opacity);
        if (k.alpha <= 0) return false;
        cairo_set_source_rgba(cr, k.red, k.green, k.blue, k.alpha);
        return true;
    };
    if (const Color* c = shading.asColor()) return solid(*c);
    const Gradient& g = shading.asLinear() ? shading.asLinear()->gradient : shading.asRadial()->gradient;
    if (g.stops.empty()) return false;
    if (shading.isDegenerate()) return solid(g.lastColor());
    // Pixman holds pattern transforms in 16.16 fixed point; a shape squeezed by a nearly
    // singular transform would overflow it (Cairo then fails the whole draw). Such a sliver
    // shows one colour anyway.
    AffineTransform inverse = toDevice.inverted();
    if (std::max({std::fabs(inverse.a), std::fabs(inverse.b), std::fabs(inverse.c), std::fabs(inverse.d)}) > 1e4 ||
        std::max(std::fabs(inverse.tx), std::fabs(inverse.ty)) > 1e7)
        return solid(g.lastColor());

    cairo_pattern_t* pattern = nullptr;
    GradientExtend extend = GradientExtend::pad;
    if (const Shading::Linear* l = shading.asLinear()) {
        pattern = cairo_pattern_create_linear(l->start.x, l->start.y, l->end.x, l->end.y);
        extend = l->extend;
    } else {
        const Shading::Radial* r = shading.asRadial();
        double r0 = std::max(0.0, r->startRadius), r1 = std::max(0.0, r->endRadius);
        pattern = cairo_pattern_create_radial(r->center.x, r->center.y, r0, r->center.x, r->center.y, r1);
        extend = r->extend;
    }
    bool visible = false;
    for (const GradientStop& s : g.resolvedStops(opacity)) {
        cairo_pattern_add_color_stop_rgba(pattern, s.location, s.color.red, s.color.green, s.color.blue, s.color.alpha);
        visible = visible || s.color.alpha > 0;
    }
    cairo_pattern_set_extend(pattern, extend == GradientExtend::pad ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    // The pattern is written in user space; the current Cairo matrix is the device identity.
    cairo_matrix_t m = toCairo(inverse);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
    return visible;
}

Rect CairoBackend::surfaceBounds() const {
    const Surface& s = layers_.empty() ? base_ : layers_.back();
    return {0, 0, double(s.width), double(s.height)};
}

void CairoBackend::releaseKeptBuffers() {
    releaseFilteredLayers();
    scratch().trim(0);
    ++keptBuffersReleased;
}

}  // namespace quillmar::gfx
