// CairoBackend: fills and strokes, rasterised here and blended into the pixels or masked through Cairo.

#include "gfx/cairo_backend.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/cairo_backend_internal.h"
#include "gfx/stroke_outliner.h"

namespace quillmar::gfx {

using namespace cairo_internal;

namespace {
// An axis-aligned rectangle stays one after an axis-aligned transform; Cairo fills those with a
// fast rectilinear path of its own.
bool isAxisAlignedRect(const Path& path, const AffineTransform& t) {
    if (t.b != 0 || t.c != 0) return false;
    const auto& e = path.elements();
    if (e.size() != 5 || e[0].kind != Path::ElementKind::move || e[4].kind != Path::ElementKind::close) return false;
    for (int i = 1; i < 4; ++i)
        if (e[i].kind != Path::ElementKind::line) return false;
    for (int i = 0; i < 4; ++i) {
        Point a = e[i].points[0], b = e[(i + 1) % 4].points[0];
        if (a.x != b.x && a.y != b.y) return false;
    }
    return true;
}
}  // namespace

void CairoBackend::fill(const Path& path, const Shading& shading, const FillStyle& style, const DrawState& state) {
    if (path.isEmpty()) return;
    Surface& s = top();
    AffineTransform t = deviceMatrix(state.transform);
    bool hidden = false;
    const ClipMask* clip = state.clips ? effectiveClip(state, t.apply(path.boundingRect()), hidden) : nullptr;
    if (hidden) return;
    // Antialiased fills are rasterised and blended here without touching Cairo.
    if (style.antialiased && fillDirect(path, shading, state.opacity, t, style.eoFill, clip)) return;
    cairo_t* cr = s.cr;
    cairo_save(cr);
    if (!clip || applyClips(cr, state)) {
        cairo_identity_matrix(cr);
        if (setSource(cr, shading, state.opacity, t)) {
            if (!style.antialiased || !fillWithCoverage(cr, path, t, style.eoFill)) {
                cairo_set_antialias(cr, style.antialiased ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
                cairo_set_fill_rule(cr, style.eoFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
                cairo_new_path(cr);
                appendVisiblePolygons(cr, path, t);
                cairo_fill(cr);
            }
        }
    }
    cairo_restore(cr);
    check(s);
}

void CairoBackend::flattenForFill(const Path& path, const AffineTransform& toDevice) {
    // Flattened in device space; every subpath is closed for filling.
    auto& polygons = scratch().polygons;
    polygons.clear();
    for (Path::Polyline& pl : path.applying(toDevice).flattened(kFlatness))
        if (pl.points.size() > 2) polygons.push_back(std::move(pl.points));
}

bool CairoBackend::fillWithCoverage(cairo_t* cr, const Path& path, const AffineTransform& toDevice,
                                    bool evenOdd) {
    if (isAxisAlignedRect(path, toDevice)) return false;
    flattenForFill(path, toDevice);
    double cx0, cy0, cx1, cy1;
    cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
    if (!rasterize(scratch().polygons, {cx0, cy0, cx1 - cx0, cy1 - cy0})) return true;
    maskWithCoverage(cr, evenOdd);
    return true;
}

bool CairoBackend::fillDirect(const Path& path, const Shading& shading, double opacity,
                              const AffineTransform& toDevice, bool evenOdd, const ClipMask* clip) {
    // Unclipped rectangles are Cairo's (it has a fast rectilinear fill); under a clip they are
    // cheaper here than through Cairo's clip. A gradient that is dithered is always ours: Cairo
    // would band it.
    const bool rect = isAxisAlignedRect(path, toDevice);
    if (!clip && rect && shading.asColor()) return false;
    if (!compositor_.prepare(shading, opacity, toDevice, top().x0, top().y0)) return false;
    if (!clip && rect && !compositor_.dithers()) return false;
    if (clip && rect) {
        const Rect r = toDevice.apply(path.boundingRect());
        if (r.minX() == std::floor(r.minX()) && r.minY() == std::floor(r.minY()) && r.maxX() == std::floor(r.maxX()) &&
            r.maxY() == std::floor(r.maxY())) {
            // A pixel-aligned rectangle covers its pixels fully: the clip's coverage is the shape's.
            // Clamped to the clip before any integer conversion: the rectangle may reach far beyond.
            const double cx0 = clip->x0, cy0 = clip->y0, cx1 = clip->x0 + clip->w, cy1 = clip->y0 + clip->h;
            const int x0 = static_cast<int>(std::clamp(r.minX(), cx0, cx1));
            const int y0 = static_cast<int>(std::clamp(r.minY(), cy0, cy1));
            const int x1 = static_cast<int>(std::clamp(r.maxX(), cx0, cx1));
            const int y1 = static_cast<int>(std::clamp(r.maxY(), cy0, cy1));
            if (x1 <= x0 || y1 <= y0) return true;
            Surface& s = top();
            SurfaceData d = dataOf(s.surface);
            for (int y = y0; y < y1; ++y) {
                std::uint32_t* row =
                    reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(d.data) + std::size_t(y) * d.stride);
                const std::uint8_t* c = clip->alpha->data() + std::size_t(y - clip->y0) * std::size_t(clip->w);
                compositor_.blendRow(row, c - clip->x0, y, x0, x1);
            }
            cairo_surface_mark_dirty_rectangle(s.surface, x0, y0, x1 - x0, y1 - y0);
            return true;
        }
    }
    flattenForFill(path, toDevice);
    const Rect visible = clip ? Rect{double(clip->x0), double(clip->y0), double(clip->w), double(clip->h)}
                              : surfaceBounds();
    if (rasterize(scratch().polygons, visible)) blendCoverage(evenOdd, clip);
    return true;
}

bool CairoBackend::rasterize(const std::vector<std::vector<Point>>& polygons, const Rect& visible) {
    double bx0 = INFINITY, by0 = INFINITY, bx1 = -INFINITY, by1 = -INFINITY;
    for (const auto& poly : polygons) {
        for (const Point& p : poly) {
            bx0 = std::min(bx0, p.x);
            by0 = std::min(by0, p.y);
            bx1 = std::max(bx1, p.x);
            by1 = std::max(by1, p.y);
        }
    }
    if (!(bx0 <= bx1 && by0 <= by1)) return false;  // nothing to paint
    // Only the part that can still be seen: the clip's extents within the surface.
    // Clamped to the visible part before any integer conversion: points may lie far beyond it.
    int x0 = static_cast<int>(std::floor(std::clamp(bx0, visible.minX(), visible.maxX())));
    int y0 = static_cast<int>(std::floor(std::clamp(by0, visible.minY(), visible.maxY())));
    int x1 = static_cast<int>(std::ceil(std::clamp(bx1, visible.minX(), visible.maxX())));
    int y1 = static_cast<int>(std::ceil(std::clamp(by1, visible.minY(), visible.maxY())));
    if (x1 <= x0 || y1 <= y0) return false;
    CoverageRasterizer& raster = scratch().rasterizer;
    raster.reset(x0, y0, x1 - x0, y1 - y0);
    for (const auto& poly : polygons) raster.addPolygon(poly);
    return true;
}

void CairoBackend::blendCoverage(bool evenOdd, const ClipMask* clip) {
    // Plain source-over: resolve and blend row by row straight into the pixels (the row of
    // coverage stays in cache), skipping pixman. The rasterised area lies within the clip's.
    CoverageRasterizer& raster = scratch().rasterizer;
    std::vector<std::uint8_t>& coverage = scratch().rowCoverage;
    const int x0 = raster.x0(), y0 = raster.y0(), w = raster.width(), h = raster.height();
    Surface& s = top();
    SurfaceData d = dataOf(s.surface);
    coverage.resize(std::size_t(w));
    for (int y = 0; y < h; ++y) {
        int from = raster.rowBegin(y), to = raster.rowEnd(y);
        if (to <= from) continue;
        raster.resolveRow(y, coverage.data(), evenOdd);
        if (clip) {
            // Only the clip's partly covered columns change anything: skip its solid run.
            const int r = y0 + y - clip->y0, shift = x0 - clip->x0;
            const std::uint8_t* c = clip->alpha->data() + std::size_t(r) * std::size_t(clip->w) + shift;
            const int solidFrom = std::clamp(clip->solidBegin[std::size_t(r)] - shift, from, to);
            const int solidTo = std::clamp(clip->solidEnd[std::size_t(r)] - shift, solidFrom, to);
            for (int x = from; x < solidFrom; ++x) coverage[std::size_t(x)] = mulCoverage(coverage[std::size_t(x)], c[x]);
            for (int x = solidTo; x < to; ++x) coverage[std::size_t(x)] = mulCoverage(coverage[std::size_t(x)], c[x]);
        }
        std::uint32_t* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(d.data) +
                                                              std::size_t(y0 + y) * d.stride);
        // Coverage column c is target column x0 + c.
        compositor_.blendRow(row, coverage.data() - x0, y0 + y, x0 + from, x0 + to);
    }
    cairo_surface_mark_dirty_rectangle(s.surface, x0, y0, w, h);
}

void CairoBackend::maskWithCoverage(cairo_t* cr, bool evenOdd) {
    // Cairo composites the coverage as a mask with the current source, through the clip.
    CoverageRasterizer& raster = scratch().rasterizer;
    std::vector<std::uint8_t>& pixels = scratch().mask;
    const int x0 = raster.x0(), y0 = raster.y0(), w = raster.width(), h = raster.height();
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
    pixels.assign(std::size_t(stride) * std::size_t(h), 0);
    raster.resolve(pixels.data(), stride, evenOdd);
    cairo_surface_t* mask = cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_A8, w, h, stride);
    cairo_mask_surface(cr, mask, x0, y0);
    cairo_surface_finish(mask);
    cairo_surface_destroy(mask);
}

void CairoBackend::stroke(const Path& path, const Shading& shading, const StrokeStyle& style,
                          const DrawState& state) {
    if (path.isEmpty()) return;
    double width = style.lineWidth;
    if (!std::isfinite(width) || width <= 0) return;
    width = std::min(width, 1e5);
    std::vector<double> dash;
    bool dashOk = !style.dash.empty();
    double total = 0;
    for (double d : style.dash) {
        if (!std::isfinite(d) || d < 0) { dashOk = false; break; }
        total += d;
    }
    // Cairo refuses dash arrays that are negative or all zero; draw those solid.
    if (dashOk && total > 0) dash = style.dash;

    Surface& s = top();
    AffineTransform t = deviceMatrix(state.transform);
    StrokeStyle clean = style;
    clean.lineWidth = width;
    clean.dash = dash;
    const ClipMask* clip = nullptr;
    if (state.clips) {
        clip = &clipMask(state);
        if (clip->empty) return;
    }
    if (compositor_.prepare(shading, state.opacity, t, top().x0, top().y0)) {
        // Rasterised and blended here without touching Cairo.
        auto& pieces = scratch().pieces;
        pieces.clear();
        outlineStroke(path, clean, t, kFlatness, pieces);
        const Rect visible = clip ? Rect{double(clip->x0), double(clip->y0), double(clip->w), double(clip->h)}
                                  : surfaceBounds();
        if (rasterize(pieces, visible)) blendCoverage(false, clip);
        return;
    }
    cairo_t* cr = s.cr;
    cairo_save(cr);
    if (applyClips(cr, state)) {
        cairo_identity_matrix(cr);
        if (setSource(cr, shading, state.opacity, t)) {
            auto& pieces = scratch().pieces;
            pieces.clear();
            outlineStroke(path, clean, t, kFlatness, pieces);
            double cx0, cy0, cx1, cy1;
            cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
            if (rasterize(pieces, {cx0, cy0, cx1 - cx0, cy1 - cy0})) maskWithCoverage(cr, false);
        }
    }
    cairo_restore(cr);
    check(s);
}

}  // namespace quillmar::gfx
