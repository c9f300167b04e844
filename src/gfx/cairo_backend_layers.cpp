// CairoBackend: layers, their filters (kept per thread for later frames) and their pieces in a band.

#include "gfx/cairo_backend.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "gfx/cairo_backend_internal.h"
#include "gfx/pixel_effects.h"

namespace quillmar::gfx {

using namespace cairo_internal;

namespace {

// The largest side of a layer's surface, in pixels.
constexpr int kMaxLayerSide = 16384;

double sigmaOf(double radiusPoints, double scale) { return radiusPoints * scale; }

// How far the filters may spread a layer's pixels, in device pixels; never more than `cap` (a
// blur wider than the canvas has flattened everything anyway).
int filterMargin(const std::vector<Filter>& filters, double scale, double cap) {
    double m = 0;
    for (const Filter& f : filters) {
        if (f.kind == Filter::Kind::shadow)
            m += 3 * sigmaOf(f.radius, scale) + std::max(std::fabs(f.x), std::fabs(f.y)) * scale;
        else if (f.kind == Filter::Kind::blur)
            m += 3 * sigmaOf(f.radius, scale);
    }
    return static_cast<int>(std::ceil(std::min(m, cap))) + 1;
}

// A filtered layer as drawn on an earlier frame: a hash of its pixels before the filters (the
// key, with its size and the filters) and its pixels after them. The filters work alike wherever
// a layer lies, so its place is no part of the key: a layer moved by whole pixels is not filtered
// again. Only layers up to this many pixels are kept.
constexpr std::size_t kKeptLayerPixels = 1u << 18;

struct FilteredLayer {
    int width = 0, height = 0;
    std::vector<Filter> filters;
    bool shadowOnly = false;
    double scale = 0, maxSigma = 0;
    std::uint64_t inputHash = 0;        // of the layer's pixels before the filters, rows packed
    cairo_surface_t* output = nullptr;  // null until the filters have run

    FilteredLayer() = default;
    FilteredLayer(const FilteredLayer&) = delete;
    FilteredLayer& operator=(const FilteredLayer&) = delete;
    ~FilteredLayer() { release(); }

    void release() {
        if (output) cairo_surface_destroy(output);
        output = nullptr;
    }
    static bool sameFilters(const std::vector<Filter>& a, const std::vector<Filter>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].kind != b[i].kind || !(a[i].color == b[i].color) || a[i].radius != b[i].radius ||
                a[i].x != b[i].x || a[i].y != b[i].y || a[i].amount != b[i].amount)
                return false;
        return true;
    }
    // The layer's pixels are checked through their hash, worked out once a layer, when first needed.
    bool matches(cairo_surface_t* s, const std::vector<Filter>& f, bool only, double sc, double ms,
                 std::optional<std::uint64_t>& hash) const {
        SurfaceData d = dataOf(s);
        if (!output || d.w != width || d.h != height || only != shadowOnly || sc != scale || ms != maxSigma ||
            !sameFilters(f, filters))
            return false;
        if (!hash) hash = hashPixels(d.data, d.w, d.h, d.stride);
        return *hash == inputHash;
    }
    void take(cairo_surface_t* s, const std::vector<Filter>& f, bool only, double sc, double ms,
              std::optional<std::uint64_t>& hash) {
        release();
        SurfaceData d = dataOf(s);
        shadowOnly = only;
        width = d.w;
        height = d.h;
        filters = f;
        scale = sc;
        maxSigma = ms;
        if (!hash) hash = hashPixels(d.data, d.w, d.h, d.stride);
        inputHash = *hash;
    }
    std::size_t pixels() const { return std::size_t(width) * std::size_t(height); }
    void keepOutput(cairo_surface_t* s) {
        release();
        cairo_surface_flush(s);
        output = cairo_surface_reference(s);
    }
};

// The filtered layers kept on this thread, most recently used last: a frame may filter a few
// (a shadowed highlight, dimmed icons), each the same as on the frame before.
struct FilteredLayers {
    static constexpr std::size_t kPixels = 1u << 19;  // of all kept layers together
    std::vector<std::unique_ptr<FilteredLayer>> kept;

    // The kept layer that matches, or null.
    FilteredLayer* find(cairo_surface_t* s, const std::vector<Filter>& f, bool only, double sc, double ms,
                        std::optional<std::uint64_t>& hash) {
        for (auto it = kept.begin(); it != kept.end(); ++it)
            if ((*it)->matches(s, f, only, sc, ms, hash)) {
                std::rotate(it, it + 1, kept.end());
                return kept.back().get();
            }
        return nullptr;
    }
    // A new entry for a layer about to be filtered (the oldest go while the pixels exceed the budget).
    FilteredLayer& add(cairo_surface_t* s, const std::vector<Filter>& f, bool only, double sc, double ms,
                       std::optional<std::uint64_t>& hash) {
        kept.push_back(std::make_unique<FilteredLayer>());
        kept.back()->take(s, f, only, sc, ms, hash);
        std::size_t pixels = 0;
        for (const auto& k : kept) pixels += k->pixels();
        while (pixels > kPixels && kept.size() > 1) {
            pixels -= kept.front()->pixels();
            kept.erase(kept.begin());
        }
        return *kept.back();
    }
};

FilteredLayers& filteredLayers() {
    thread_local FilteredLayers layers;
    return layers;
}

}  // namespace

namespace cairo_internal {

void releaseFilteredLayers() { filteredLayers().kept.clear(); }

}  // namespace cairo_internal

void CairoBackend::beginLayer(const DrawState& state, const std::optional<Rect>& contentBounds) {
    const Surface& parent = top();
    int margin = filterMargin(state.filters, scale_, std::min(1024.0, double(std::max(canvasWidth_, canvasHeight_))));
    // Device pixels that can still reach the target, widened by what filters may pull in.
    double cx0 = -margin, cy0 = -margin;
    double cx1 = canvasWidth_ + margin, cy1 = canvasHeight_ + margin;
    if (!state.layerPlacement.isIdentity()) {
        // The content is carried elsewhere when composited: what can reach the target is what
        // the placement brings into it.
        const Rect reach = state.layerPlacement.inverted().apply(
            Rect{cx0 / scale_, cy0 / scale_, (cx1 - cx0) / scale_, (cy1 - cy0) / scale_});
        // (Clamped on both sides: the placement may carry the canvas further than any int.)
        if (reach.isFinite() && state.layerPlacement.isInvertible()) {
            cx0 = std::clamp(std::floor(reach.minX() * scale_), -1e6, 1e6);
            cy0 = std::clamp(std::floor(reach.minY() * scale_), -1e6, 1e6);
            cx1 = std::clamp(std::ceil(reach.maxX() * scale_), -1e6, 1e6);
            cy1 = std::clamp(std::ceil(reach.maxY() * scale_), -1e6, 1e6);
        }
    }
    double x0 = cx0, y0 = cy0, x1 = cx1, y1 = cy1;
    if (contentBounds && contentBounds->isFinite()) {
        // Clamped to what can reach the target before any integer conversion: the bounds may lie
        // far beyond it, on either side.
        x0 = std::clamp(std::floor(contentBounds->minX() * scale_) - margin, cx0, cx1);
        y0 = std::clamp(std::floor(contentBounds->minY() * scale_) - margin, cy0, cy1);
        x1 = std::clamp(std::ceil(contentBounds->maxX() * scale_) + margin, cx0, cx1);
        y1 = std::clamp(std::ceil(contentBounds->maxY() * scale_) + margin, cy0, cy1);
    }
    Surface layer;
    layer.x0 = static_cast<int>(x0);
    layer.y0 = static_cast<int>(y0);
    layer.width = std::clamp(static_cast<int>(x1 - x0), 1, kMaxLayerSide);
    layer.height = std::clamp(static_cast<int>(y1 - y0), 1, kMaxLayerSide);
    if (x1 <= x0 || y1 <= y0) layer.width = layer.height = 1;
    layer.wholeY0 = layer.y0;
    // (A layer carried elsewhere by its placement is drawn whole: its rows are not the parent's.)
    if (banded_ && state.layerPlacement.isIdentity()) {
        // Of the layer the whole canvas would have, only the rows that can reach the parent's:
        // the filters' reach beyond them, cut at whole blocks of 8 rows from the layer's top
        // (the reduced blur works on such blocks), so every row the parent keeps comes out the same.
        // A reach of a whole layer's side keeps all its rows: more is clamped to that before any
        // integer conversion (a shadow may be cast further than any int).
        int reach = 0;
        for (const Filter& f : state.filters) {
            if (f.kind == Filter::Kind::saturation) continue;
            reach += gaussianBlurReach(blurSigma(f.radius));
            if (f.kind == Filter::Kind::shadow)
                reach += static_cast<int>(std::ceil(
                             std::min(std::max(std::fabs(f.x), std::fabs(f.y)) * scale_, double(kMaxLayerSide)))) + 1;
            reach = std::min(reach, kMaxLayerSide);
        }
        // A layer no shorter than the reduced blur needs whenever the whole one is not.
        if (reach > 0) reach = std::max(reach, 16);
        const int top = layer.y0, bottom = layer.y0 + layer.height;
        if (parent.culled || bottom <= parent.y0 || top >= parent.y0 + parent.height) {
            layer.culled = true;
            layer.width = layer.height = 1;
        } else {
            const int from = top + (std::max(top, parent.y0 - reach) - top) / 8 * 8;
            layer.y0 = from;
            layer.height = std::min(bottom, parent.y0 + parent.height + reach) - from;
        }
    }
    layer.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layer.width, layer.height);
    layer.cr = cairo_create(layer.surface);
    layers_.push_back(layer);
    check(layers_.back());
}

double CairoBackend::maxSigma() const {
    return std::max(1.0, std::min(1024.0, double(std::max(canvasWidth_, canvasHeight_))) / 3.0);
}

double CairoBackend::blurSigma(double radius) const { return std::min(sigmaOf(radius, scale_), maxSigma()); }

void CairoBackend::endLayer(const DrawState& state) {
    if (layers_.empty()) return;
    Surface layer = layers_.back();
    layers_.pop_back();
    cairo_destroy(layer.cr);
    if (layer.culled) {
        cairo_surface_destroy(layer.surface);
        return;
    }
    cairo_surface_t* current = layer.surface;

    // A filtered layer whose pixels and filters are those of one filtered before (a shadowed
    // highlight at rest frame after frame, or carried by an animation) gets the same result:
    // take it as it was. (A band's piece of a layer is drawn once: it is not kept.)
    const bool keepable = !banded_ && !state.filters.empty() &&
                          std::size_t(layer.width) * std::size_t(layer.height) <= kKeptLayerPixels;
    std::optional<std::uint64_t> hash;
    FilteredLayer* kept =
        keepable ? filteredLayers().find(layer.surface, state.filters, state.layerShadowOnly, scale_, maxSigma(), hash)
                 : nullptr;
    if (kept) {
        cairo_surface_destroy(current);
        current = cairo_surface_reference(kept->output);
    } else {
        if (keepable)
            kept = &filteredLayers().add(layer.surface, state.filters, state.layerShadowOnly, scale_, maxSigma(), hash);
        current = applyFilters(current, layer, state);
        if (kept) kept->keepOutput(current);
    }
    compositeLayer(current, layer, state);
    cairo_surface_destroy(current);
}

cairo_surface_t* CairoBackend::applyFilters(cairo_surface_t* current, const Surface& layer, const DrawState& state) {
    for (const Filter& f : state.filters) {
        switch (f.kind) {
            case Filter::Kind::blur: {
                SurfaceData d = dataOf(current);
                gaussianBlur(d.data, d.w, d.h, d.stride, blurSigma(f.radius));
                cairo_surface_mark_dirty(current);
                break;
            }
            case Filter::Kind::saturation: {
                SurfaceData d = dataOf(current);
                adjustSaturation(d.data, d.w, d.h, d.stride, f.amount);
                cairo_surface_mark_dirty(current);
                break;
            }
            case Filter::Kind::shadow: {
                if (f.color.alpha <= 0) break;
                cairo_surface_t* shadow = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layer.width, layer.height);
                cairo_t* sc = cairo_create(shadow);
                cairo_set_source_rgba(sc, f.color.red, f.color.green, f.color.blue, f.color.alpha);
                cairo_mask_surface(sc, current, f.x * scale_, f.y * scale_);
                cairo_destroy(sc);
                SurfaceData d = dataOf(shadow);
                gaussianBlur(d.data, d.w, d.h, d.stride, blurSigma(f.radius));
                cairo_surface_mark_dirty(shadow);
                if (!state.layerShadowOnly) {
                    sc = cairo_create(shadow);
                    cairo_set_source_surface(sc, current, 0, 0);
                    cairo_paint(sc);
                    cairo_destroy(sc);
                }
                cairo_surface_destroy(current);
                current = shadow;
                break;
            }
        }
    }
    return current;
}

void CairoBackend::compositeLayer(cairo_surface_t* pixels, const Surface& layer, const DrawState& state) {
    Surface& parent = top();
    cairo_t* cr = parent.cr;
    bool hidden = false;
    // The layer's pixels (device pixels of where its content was drawn) carried to the parent's.
    const bool placed = !state.layerPlacement.isIdentity();
    const AffineTransform toParent = AffineTransform::translation(-parent.x0, -parent.y0)
                                         .concatenating(AffineTransform::scale(scale_, scale_))
                                         .concatenating(state.layerPlacement)
                                         .concatenating(AffineTransform::scale(1 / scale_, 1 / scale_));
    const Rect area{double(layer.x0), double(layer.y0), double(layer.width), double(layer.height)};
    const Rect shown = placed ? toParent.apply(area) : area.offsetBy(-parent.x0, -parent.y0);
    const ClipMask* clip = effectiveClip(state, shown, hidden);
    cairo_save(cr);
    if (!hidden && (!clip || applyClips(cr, state))) {
        cairo_identity_matrix(cr);
        if (placed && toParent.isInvertible() && shown.isFinite() && std::fabs(shown.x) < kCoordLimit &&
            std::fabs(shown.y) < kCoordLimit && shown.width < kCoordLimit && shown.height < kCoordLimit) {
            cairo_matrix_t m = toCairo(toParent);
            cairo_set_matrix(cr, &m);
            cairo_set_source_surface(cr, pixels, layer.x0, layer.y0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
            cairo_paint_with_alpha(cr, state.opacity);
        } else if (!placed) {
            cairo_set_source_surface(cr, pixels, layer.x0 - parent.x0, layer.y0 - parent.y0);
            cairo_paint_with_alpha(cr, state.opacity);
        }
    }
    cairo_restore(cr);
    check(parent);
}

}  // namespace quillmar::gfx
