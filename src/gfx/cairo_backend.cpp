#include "gfx/cairo_backend.h"

#include <cairo.h>
#include <pango/pangocairo.h>
#include <xxhash.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "gfx/pixel_effects.h"
#include "gfx/polygon_clip.h"
#include "gfx/span_compositor.h"
#include "gfx/stroke_outliner.h"
#include "gfx/text_layout.h"

namespace quillmar::gfx {
namespace {

// Curves are cut into lines no further than this from the true curve, in device pixels.
constexpr double kFlatness = 0.2;

// Cairo keeps device coordinates in 24.8 fixed point; stay well inside it.
constexpr double kCoordLimit = 4.0e6;

cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

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

struct SurfaceData {
    std::uint32_t* data;
    int w, h, stride;
};

// Working buffers for one draw call at a time, kept per thread: a new target every frame would
// otherwise allocate them afresh, and buffers the size of a panel are fresh pages to fault in.
// When a target is done, whatever grew past kKeptScratchBytes is given back: the largest shape
// ever drawn (a whole screen) does not keep its memory for the frames after it.
constexpr std::size_t kKeptScratchBytes = 1u << 20;

struct Scratch {
    CoverageRasterizer rasterizer;
    std::vector<std::uint8_t> mask, rowCoverage;
    std::vector<std::vector<Point>> polygons, pieces;

    void trim(std::size_t keep = kKeptScratchBytes) {
        rasterizer.trim(keep);
        for (auto* v : {&mask, &rowCoverage})
            if (v->capacity() > keep) std::vector<std::uint8_t>().swap(*v);
        for (auto* list : {&polygons, &pieces}) {
            std::size_t bytes = list->capacity() * sizeof(std::vector<Point>);
            for (const auto& poly : *list) bytes += poly.capacity() * sizeof(Point);
            if (bytes > keep) std::vector<std::vector<Point>>().swap(*list);
        }
    }
};

Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

// Counts releaseKeptBuffers() calls on this thread: clip masks kept from before the last one
// are dropped when next looked for.
thread_local std::uint64_t keptBuffersReleased = 0;

// Images drawn with the high-quality filter, resampled once per size and sub-pixel position:
// Pixman's high-quality filter costs tens of nanoseconds a pixel, and the same image drawn the
// same way gives the same pixels, so on later frames a scaled icon is a plain copy. An entry is
// checked against the image's pixels (images share and may change their pixels) through a 64-bit
// hash of them: a copy of every source would cost as much memory as the tiles themselves.
struct ResampledImage {
    std::uint64_t content = 0;  // the source's content id: another image may come to live at its address
    const void* surface = nullptr;
    int width = 0, height = 0;
    std::uint64_t pixelHash = 0;        // of the source's pixels, rows packed
    AffineTransform placement;          // the device transform, integer part of the translation removed
    Rect rect;
    ImageStyle style;
    Image tile;  // placed at the device bounds' whole-pixel corner, plus the removed translation
};

struct ResampleCache {
    static constexpr std::size_t kBudget = 16u << 20;  // bytes of tiles
    static constexpr int kMaxSide = 512;               // of a tile and of a source
    static constexpr std::size_t kMaxTracked = 256;
    std::vector<ResampledImage> entries;  // most recently used last
    std::size_t bytes = 0;

    // Where each image was last drawn without a tile. An image that comes back at another size
    // or sub-pixel position is moving (a scale or slide animation): a tile made now would not be
    // used again, so such frames sample with the cheaper good filter, and the tile is made once
    // the image is drawn twice in the same place.
    struct Placement {
        Rect rect;
        AffineTransform placement;
    };
    // Keyed by content id, not by address: a new image at the address of one gone is not taken
    // for the old one moving.
    std::unordered_map<std::uint64_t, Placement> lastUntiled;

    // Records this draw and says whether the image moved since its last untiled draw.
    bool noteUntiledDraw(std::uint64_t content, const Rect& rect, const AffineTransform& placement) {
        auto it = lastUntiled.find(content);
        const bool moving = it != lastUntiled.end() && !(it->second.rect == rect && it->second.placement == placement);
        if (lastUntiled.size() >= kMaxTracked && it == lastUntiled.end()) lastUntiled.clear();
        lastUntiled[content] = Placement{rect, placement};
        return moving;
    }

    // Images in motion, resampled once at about the size they are drawn and then stretched by
    // what the size changed since (a few percent over a bloom): most recently used last, kept
    // apart from the tiles above so that motion never changes which of those are kept.
    struct MotionTile {
        std::uint64_t content = 0;  // the source's content id
        ImageStyle style;
        Image tile;
    };
    static constexpr std::size_t kMotionBudget = 4u << 20;  // bytes of tiles
    std::vector<MotionTile> motion;
    std::size_t motionBytes = 0;
    static std::size_t sizeOf(const MotionTile& m) {
        return std::size_t(m.tile.pixelWidth()) * std::size_t(m.tile.pixelHeight()) * 4;
    }

    static std::size_t sizeOf(const ResampledImage& e) {
        return std::size_t(e.tile.pixelWidth()) * std::size_t(e.tile.pixelHeight()) * 4;
    }
    // Appends `e` and drops the least recently used until `used` is within `budget` again.
    template <class Entry>
    static void addWithin(std::vector<Entry>& list, std::size_t& used, std::size_t budget, Entry e) {
        used += sizeOf(e);
        list.push_back(std::move(e));
        while (used > budget && list.size() > 1) {
            used -= sizeOf(list.front());
            list.erase(list.begin());
        }
    }
    void add(ResampledImage e) {
        ++made();
        addWithin(entries, bytes, kBudget, std::move(e));
    }
    void addMotion(MotionTile m) {
        ++made();
        addWithin(motion, motionBytes, kMotionBudget, std::move(m));
    }
    // Tiles this thread has made (outside the caches' state, which a banded picture restores).
    static std::uint64_t& made() {
        thread_local std::uint64_t n = 0;
        return n;
    }
};

ResampleCache& resampleCache() {
    thread_local ResampleCache c;
    return c;
}

// The hash of 32-bit pixels, rows packed (the padding at the end of a row left out).
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

std::uint64_t hashPixels(const Image& image) {
    return hashPixels(image.data(), image.pixelWidth(), image.pixelHeight(), image.stride());
}

// Whether the entry was made from these pixels; the image's hash is worked out once a draw, when
// first needed.
bool samePixels(const ResampledImage& e, const Image& image, std::optional<std::uint64_t>& hash) {
    if (e.content != image.contentId() || e.surface != image.cairoSurface() || e.width != image.pixelWidth() ||
        e.height != image.pixelHeight())
        return false;
    if (!hash) hash = hashPixels(image);
    return e.pixelHash == *hash;
}

bool sameStyle(const ImageStyle& a, const ImageStyle& b) {
    return a.interpolation == b.interpolation && a.saturation == b.saturation && a.templateTint == b.templateTint;
}

// What a cache entry is checked against later: the image's identity and its pixels' hash.
void keepPixels(ResampledImage& e, const Image& image, std::optional<std::uint64_t>& hash) {
    e.content = image.contentId();
    e.surface = image.cairoSurface();
    e.width = image.pixelWidth();
    e.height = image.pixelHeight();
    if (!hash) hash = hashPixels(image);
    e.pixelHash = *hash;
}

// a × b / 255, rounded; exact when either is 0 or 255.
inline std::uint8_t mulCoverage(std::uint8_t a, std::uint8_t b) {
    unsigned t = unsigned(a) * unsigned(b) + 128u;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// One polygon that is an axis-aligned rectangle with whole-pixel corners (each corner visited once).
bool isPixelAlignedRect(const std::vector<std::vector<Point>>& polygons) {
    if (polygons.size() != 1) return false;
    std::vector<Point> p = polygons.front();
    if (p.size() == 5 && p.front() == p.back()) p.pop_back();
    if (p.size() != 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        const Point a = p[i], b = p[(i + 1) % 4];
        if (a.x != std::floor(a.x) || a.y != std::floor(a.y)) return false;
        if ((a.x == b.x) == (a.y == b.y)) return false;  // neither or both coordinates shared
    }
    // Four axis-aligned edges that alternate direction close a rectangle only when opposite
    // corners differ in both coordinates.
    return p[0].x != p[2].x && p[0].y != p[2].y && p[1].x != p[3].x && p[1].y != p[3].y;
}

SurfaceData dataOf(cairo_surface_t* s) {
    cairo_surface_flush(s);
    return {reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s)), cairo_image_surface_get_width(s),
            cairo_image_surface_get_height(s), cairo_image_surface_get_stride(s)};
}

// The pixels an image is drawn from under `style`: a template tint or a saturation change is
// applied to a private copy (the image itself when neither applies); null when no copy can be made.
Image styledSource(const Image& image, const ImageStyle& style) {
    const double saturation = std::isfinite(style.saturation) ? std::max(0.0, style.saturation) : 1.0;
    if (!style.templateTint && saturation == 1.0) return image;
    Image source = image.copy();
    if (source.isNull()) return source;
    SurfaceData d = dataOf(source.cairoSurface());
    if (style.templateTint) tintAlpha(d.data, d.w, d.h, d.stride, *style.templateTint);
    else adjustSaturation(d.data, d.w, d.h, d.stride, saturation);
    source.markDirty();
    return source;
}

// Makes `source`, stretched over `rect` (in the space `m` maps to the device), `c`'s source,
// sampled with `filter` and padded at its edges, with the clip cut to the rect.
void setStretchedSource(cairo_t* c, const AffineTransform& m, const Rect& rect, const Image& source,
                        cairo_filter_t filter) {
    cairo_matrix_t cm = toCairo(m);
    cairo_set_matrix(c, &cm);
    cairo_rectangle(c, rect.x, rect.y, rect.width, rect.height);
    cairo_clip(c);
    cairo_translate(c, rect.x, rect.y);
    cairo_scale(c, rect.width / source.pixelWidth(), rect.height / source.pixelHeight());
    cairo_set_source_surface(c, source.cairoSurface(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(c), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(c), filter);
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

bool CairoBackend::applyClips(cairo_t* cr, const DrawState& state) {
    if (!state.clips) return true;
    for (const ClipEntry& c : *state.clips) {
        AffineTransform t = deviceMatrix(c.transform);
        if (!t.isInvertible()) {
            // A clip under a collapsed transform has no area: nothing can be drawn.
            return false;
        }
        cairo_new_path(cr);
        appendVisiblePolygons(cr, c.path, t);
        cairo_set_fill_rule(cr, c.eoFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr);
    }
    return true;
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
    // cheaper here than through Cairo's clip.
    if ((!clip && isAxisAlignedRect(path, toDevice)) || !compositor_.prepare(shading, opacity, toDevice))
        return false;
    if (clip && isAxisAlignedRect(path, toDevice)) {
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

const CairoBackend::ClipMask* CairoBackend::effectiveClip(const DrawState& state, const Rect& b, bool& hidden) {
    hidden = false;
    if (!state.clips) return nullptr;
    const ClipMask& m = clipMask(state);
    if (m.empty) {
        hidden = true;
        return nullptr;
    }
    if (!b.isFinite()) return &m;
    // The whole pixels the call can touch, with one to spare for antialiasing, within the surface.
    const Surface& s = top();
    const double bx0 = std::max(0.0, std::floor(b.minX()) - 1), by0 = std::max(0.0, std::floor(b.minY()) - 1);
    const double bx1 = std::min(double(s.width), std::ceil(b.maxX()) + 1);
    const double by1 = std::min(double(s.height), std::ceil(b.maxY()) + 1);
    if (bx1 <= bx0 || by1 <= by0) return &m;
    if (bx0 < m.x0 || by0 < m.y0 || bx1 > m.x0 + m.w || by1 > m.y0 + m.h) return &m;
    const int from = static_cast<int>(bx0) - m.x0, to = static_cast<int>(bx1) - m.x0;
    for (int r = static_cast<int>(by0) - m.y0, end = static_cast<int>(by1) - m.y0; r < end; ++r)
        if (m.solidBegin[std::size_t(r)] > from || m.solidEnd[std::size_t(r)] < to) return &m;
    return nullptr;  // fully covered: the clip changes nothing there
}

const CairoBackend::ClipMask& CairoBackend::clipMask(const DrawState& state) {
    const Surface& s = top();
    for (auto it = clipMasks_.rbegin(); it != clipMasks_.rend(); ++it)
        if (it->clips == state.clips && it->surfaceX0 == s.x0 && it->surfaceY0 == s.y0 &&
            it->surfaceWidth == s.width && it->surfaceHeight == s.height)
            return *it;
    // A few clips are live at a time (nested clip shapes, a layer's surface and its parent's).
    constexpr std::size_t kKept = 4;
    ClipMask mask;
    if (clipMasks_.size() >= kKept) {
        mask = std::move(clipMasks_.front());
        clipMasks_.erase(clipMasks_.begin());
    }
    mask.clips = state.clips;
    mask.surfaceX0 = s.x0;
    mask.surfaceY0 = s.y0;
    mask.surfaceWidth = s.width;
    mask.surfaceHeight = s.height;

    // Masks of earlier frames on this thread, by what they were made from: a panel redrawn
    // under the same rounded clip takes its mask from here instead of rasterising it again.
    struct Earlier {
        std::vector<ClipEntry> clips;
        double scale = 0;
        ClipMask mask;
    };
    constexpr std::size_t kEarlierKept = 2;
    thread_local std::vector<Earlier> earlier;  // most recently used last
    thread_local std::uint64_t earlierRelease = 0;
    if (earlierRelease != keptBuffersReleased) {
        std::vector<Earlier>().swap(earlier);
        earlierRelease = keptBuffersReleased;
    }
    auto sameClips = [](const std::vector<ClipEntry>& a, const std::vector<ClipEntry>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].eoFill != b[i].eoFill || !(a[i].transform == b[i].transform) || !(a[i].path == b[i].path))
                return false;
        return true;
    };
    auto found = std::find_if(earlier.begin(), earlier.end(), [&](const Earlier& e) {
        return e.scale == scale_ && e.mask.surfaceX0 == s.x0 && e.mask.surfaceY0 == s.y0 &&
               e.mask.surfaceWidth == s.width && e.mask.surfaceHeight == s.height && sameClips(e.clips, *state.clips);
    });
    if (found != earlier.end()) {
        std::rotate(found, found + 1, earlier.end());
        const ClipMask& kept = earlier.back().mask;
        mask.empty = kept.empty;
        mask.x0 = kept.x0;
        mask.y0 = kept.y0;
        mask.w = kept.w;
        mask.h = kept.h;
        mask.bx0 = kept.bx0;
        mask.by0 = kept.by0;
        mask.bx1 = kept.bx1;
        mask.by1 = kept.by1;
        mask.alpha = kept.alpha;
        mask.solidBegin = kept.solidBegin;
        mask.solidEnd = kept.solidEnd;
    } else {
        // A clip nested in one already made for this surface starts from that one's coverage.
        const std::vector<ClipEntry>& clips = *state.clips;
        const ClipMask* parent = nullptr;
        if (clips.size() > 1) {
            for (auto it = clipMasks_.rbegin(); it != clipMasks_.rend() && !parent; ++it)
                if (it->surfaceX0 == s.x0 && it->surfaceY0 == s.y0 && it->surfaceWidth == s.width &&
                    it->surfaceHeight == s.height && it->clips->size() + 1 == clips.size() &&
                    std::equal(it->clips->begin(), it->clips->end(), clips.begin(), [](const ClipEntry& a, const ClipEntry& b) {
                        return a.eoFill == b.eoFill && a.transform == b.transform && a.path == b.path;
                    }))
                    parent = &*it;
        }
        if (parent) deriveClipMask(mask, *parent, clips.back());
        else buildClipMask(mask, clips);
        // Only masks of panel size are kept: a clip the size of a whole screen is drawn once.
        if (!banded_ && (mask.empty || mask.alpha->size() <= kKeptScratchBytes)) {
            if (earlier.size() >= kEarlierKept) earlier.erase(earlier.begin());
            Earlier e{*state.clips, scale_, mask};
            e.mask.clips.reset();  // kept by value, not by the draw state's list
            earlier.push_back(std::move(e));
        }
    }
    clipMasks_.push_back(std::move(mask));
    return clipMasks_.back();
}

bool CairoBackend::flattenClip(const ClipEntry& clip, FlatClip& out) {
    // Flattened in device space and cut to the surface (plus a margin, which keeps far-off
    // geometry out of the rasteriser without changing what lies inside).
    const AffineTransform t = deviceMatrix(clip.transform);
    if (!t.isInvertible()) return false;  // a clip under a collapsed transform has no area
    const Surface& s = top();
    const Rect visible = Rect{0, 0, double(s.width), double(s.height)}.insetBy(-4, -4);
    for (Path::Polyline& pl : clip.path.applying(t).flattened(kFlatness)) {
        std::vector<Point> poly = clipPolygonToRect(pl.points, visible);
        if (poly.size() < 3) continue;
        for (const Point& p : poly) {
            out.x0 = std::min(out.x0, p.x);
            out.y0 = std::min(out.y0, p.y);
            out.x1 = std::max(out.x1, p.x);
            out.y1 = std::max(out.y1, p.y);
        }
        out.polys.push_back(std::move(poly));
    }
    return true;
}

bool CairoBackend::placeClipMask(ClipMask& mask, double bx0, double by0, double bx1, double by1) {
    if (!(bx0 < bx1 && by0 < by1)) return false;
    const int x0 = static_cast<int>(std::floor(bx0)), y0 = static_cast<int>(std::floor(by0));
    const int x1 = static_cast<int>(std::ceil(bx1)), y1 = static_cast<int>(std::ceil(by1));
    if (x1 <= x0 || y1 <= y0) return false;
    mask.bx0 = bx0;
    mask.by0 = by0;
    mask.bx1 = bx1;
    mask.by1 = by1;
    mask.x0 = x0;
    mask.y0 = y0;
    mask.w = x1 - x0;
    mask.h = y1 - y0;
    mask.empty = false;
    mask.alpha = std::make_shared<std::vector<std::uint8_t>>(std::size_t(mask.w) * std::size_t(mask.h), 0);
    return true;
}

void CairoBackend::intersectClipMask(ClipMask& mask, const FlatClip& shape, bool evenOdd) {
    // The shape's coverage multiplies what the mask holds.
    const int w = mask.w, h = mask.h;
    std::vector<std::uint8_t>& alpha = *mask.alpha;
    CoverageRasterizer& raster = scratch().rasterizer;
    std::vector<std::uint8_t>& row = scratch().rowCoverage;
    row.assign(std::size_t(w), 0);
    raster.reset(mask.x0, mask.y0, w, h);
    for (const auto& poly : shape.polys) raster.addPolygon(poly);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = alpha.data() + std::size_t(y) * std::size_t(w);
        const int from = raster.rowBegin(y), to = raster.rowEnd(y);
        if (to <= from) {
            std::memset(out, 0, std::size_t(w));
            continue;
        }
        raster.resolveRow(y, row.data(), evenOdd);
        std::memset(out, 0, std::size_t(from));
        // Full coverage leaves a pixel as it is: runs of it (a viewport's inside) are skipped.
        for (int x = from; x < to;) {
            std::uint64_t word;
            if (x + 8 <= to && (std::memcpy(&word, row.data() + x, 8), word == ~std::uint64_t{0})) {
                x += 8;
                continue;
            }
            if (row[std::size_t(x)] != 255) out[x] = mulCoverage(out[x], row[std::size_t(x)]);
            ++x;
        }
        std::memset(out + to, 0, std::size_t(w - to));
    }
}

void CairoBackend::buildClipMask(ClipMask& mask, const std::vector<ClipEntry>& clips) {
    mask.empty = true;
    mask.w = mask.h = 0;
    mask.alpha.reset();
    // Each clip path flattened in device space; the mask spans the intersection of their bounds.
    const Surface& s = top();
    std::vector<FlatClip> shapes;
    double bx0 = 0, by0 = 0, bx1 = s.width, by1 = s.height;
    for (const ClipEntry& c : clips) {
        FlatClip& shape = shapes.emplace_back();
        if (!flattenClip(c, shape)) return;
        bx0 = std::max(bx0, shape.x0);
        by0 = std::max(by0, shape.y0);
        bx1 = std::min(bx1, shape.x1);
        by1 = std::min(by1, shape.y1);
        if (!(bx0 < bx1 && by0 < by1)) return;
    }
    if (!placeClipMask(mask, bx0, by0, bx1, by1)) return;
    std::vector<std::uint8_t>& alpha = *mask.alpha;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (i > 0) {
            intersectClipMask(mask, shapes[i], clips[i].eoFill);
            continue;
        }
        if (isPixelAlignedRect(shapes[0].polys)) {
            // The mask spans the rectangle exactly and every pixel of it is covered: no need to
            // rasterise (which would take an accumulator of four bytes a pixel for a whole screen).
            std::fill(alpha.begin(), alpha.end(), std::uint8_t{255});
            continue;
        }
        CoverageRasterizer& raster = scratch().rasterizer;
        raster.reset(mask.x0, mask.y0, mask.w, mask.h);
        for (const auto& poly : shapes[0].polys) raster.addPolygon(poly);
        raster.resolve(alpha.data(), mask.w, clips[0].eoFill);
    }
    findSolidRuns(mask);
}

void CairoBackend::deriveClipMask(ClipMask& mask, const ClipMask& parent, const ClipEntry& last) {
    // The parent's coverage over the narrower bounds, times the last clip's: what building from
    // scratch gives, without rasterising the parent's clips again (a panel's rounded clip under
    // the scroll view's, every frame of a scale).
    mask.empty = true;
    mask.w = mask.h = 0;
    mask.alpha.reset();
    if (parent.empty) return;
    FlatClip shape;
    if (!flattenClip(last, shape)) return;
    if (!placeClipMask(mask, std::max(parent.bx0, shape.x0), std::max(parent.by0, shape.y0),
                       std::min(parent.bx1, shape.x1), std::min(parent.by1, shape.y1)))
        return;
    const std::uint8_t* from = parent.alpha->data();
    for (int y = 0; y < mask.h; ++y)
        std::memcpy(mask.alpha->data() + std::size_t(y) * std::size_t(mask.w),
                    from + std::size_t(mask.y0 - parent.y0 + y) * std::size_t(parent.w) + std::size_t(mask.x0 - parent.x0),
                    std::size_t(mask.w));
    intersectClipMask(mask, shape, last.eoFill);
    findSolidRuns(mask);
}

void CairoBackend::findSolidRuns(ClipMask& mask) {
    // The longest fully covered run of each row, so that draw calls lying inside it can skip the
    // clip altogether.
    const int w = mask.w, h = mask.h;
    const std::vector<std::uint8_t>& alpha = *mask.alpha;
    mask.solidBegin.assign(std::size_t(h), 0);
    mask.solidEnd.assign(std::size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* a = alpha.data() + std::size_t(y) * std::size_t(w);
        int best = 0, bestBegin = 0;
        for (int x = 0; x < w;) {
            if (a[x] != 255) {
                ++x;
                continue;
            }
            int e = x;
            for (std::uint64_t word; e + 8 <= w; e += 8) {
                std::memcpy(&word, a + e, 8);
                if (word != ~std::uint64_t{0}) break;
            }
            while (e < w && a[e] == 255) ++e;
            if (e - x > best) {
                best = e - x;
                bestBegin = x;
            }
            x = e;
        }
        mask.solidBegin[std::size_t(y)] = bestBegin;
        mask.solidEnd[std::size_t(y)] = bestBegin + best;
    }
}

Rect CairoBackend::surfaceBounds() const {
    const Surface& s = layers_.empty() ? base_ : layers_.back();
    return {0, 0, double(s.width), double(s.height)};
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
    if (compositor_.prepare(shading, state.opacity, t)) {
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

void CairoBackend::drawText(const TextLayout& layout, Point origin, const Shading& shading, const DrawState& state) {
    if (!origin.isFinite() || layout.text().empty()) return;
    Surface& s = top();
    cairo_t* cr = s.cr;
    AffineTransform t = deviceMatrix(state.transform);
    if (std::fabs(t.apply(origin).x) > kCoordLimit || std::fabs(t.apply(origin).y) > kCoordLimit) return;
    // Glyphs squeezed below a tenth of a pixel or blown up past the font engine's range are
    // not drawn (Cairo would fail on their matrices).
    double size = layout.appliedFontSize();
    double maxScale = t.maxScale(), minScale = std::fabs(t.determinant()) / std::max(maxScale, 1e-300);
    if (minScale * size < 0.1 || maxScale * size > 8192) return;
    // Glyphs may reach past the layout's box (overhangs, stacked marks): the clip is judged by
    // their ink, with a little to spare for hinting and antialiasing.
    bool hidden = false;
    const ClipMask* clip = nullptr;
    if (state.clips) {
        PangoRectangle ink;
        pango_layout_get_extents(static_cast<PangoLayout*>(layout.pangoLayout()), &ink, nullptr);
        const Point offset = layout.layoutOffset();
        const Rect inkRect{origin.x - offset.x + double(ink.x) / PANGO_SCALE, origin.y - offset.y + double(ink.y) / PANGO_SCALE,
                           double(ink.width) / PANGO_SCALE, double(ink.height) / PANGO_SCALE};
        clip = effectiveClip(state, t.apply(inkRect.insetBy(-2, -2)), hidden);
        if (hidden) return;
    }
    // Under a skewed or unevenly scaled matrix the font engine may fail on a glyph, and Cairo then
    // puts the whole target in its error state. Such text is drawn into a group of its own first:
    // a failure loses that text and nothing else.
    const bool unusual = t.b != 0 || t.c != 0 || std::fabs(t.a - t.d) > 1e-9 * std::fabs(t.a);
    cairo_save(cr);
    if (!clip || applyClips(cr, state)) {
        cairo_identity_matrix(cr);
        if (unusual) cairo_push_group(cr);
        if (setSource(cr, shading, state.opacity, t)) {
            cairo_matrix_t m = toCairo(t);
            cairo_set_matrix(cr, &m);
            Point offset = layout.layoutOffset();
            cairo_move_to(cr, origin.x - offset.x, origin.y - offset.y);
            pango_cairo_show_layout(cr, static_cast<PangoLayout*>(layout.pangoLayout()));
        }
        if (unusual) {
            cairo_pattern_t* group = cairo_pop_group(cr);
            if (cairo_status(cr) == CAIRO_STATUS_SUCCESS && cairo_pattern_status(group) == CAIRO_STATUS_SUCCESS) {
                cairo_set_source(cr, group);
                cairo_paint(cr);
            }
            cairo_pattern_destroy(group);
        }
    }
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS && cairo_surface_status(s.surface) == CAIRO_STATUS_SUCCESS) {
        // The text failed inside its group: the target is sound; carry on with a fresh context.
        cairo_destroy(s.cr);
        s.cr = cairo_create(s.surface);
        return;
    }
    cairo_restore(cr);
    check(s);
}

void CairoBackend::forgetImagePlacements() { resampleCache().lastUntiled.clear(); }

std::uint64_t CairoBackend::resampledTiles() { return ResampleCache::made(); }

void CairoBackend::releaseKeptBuffers() {
    filteredLayers().kept.clear();
    scratch().trim(0);
    ++keptBuffersReleased;
}

struct CairoBackend::ImageCaches {
    ResampleCache cache;
};

std::shared_ptr<const CairoBackend::ImageCaches> CairoBackend::saveImageCaches() {
    return std::make_shared<const ImageCaches>(ImageCaches{resampleCache()});
}

void CairoBackend::restoreImageCaches(const std::shared_ptr<const ImageCaches>& saved) {
    if (saved) resampleCache() = saved->cache;
}

void CairoBackend::drawImage(const Image& image, const Rect& rect, const ImageStyle& style, const DrawState& state) {
    if (image.isNull() || !rect.isFinite() || rect.isEmpty()) return;
    Surface& s = top();
    cairo_t* cr = s.cr;
    AffineTransform t = deviceMatrix(state.transform);
    Rect dev = t.apply(rect);
    if (std::fabs(dev.x) > kCoordLimit || std::fabs(dev.y) > kCoordLimit || dev.width > kCoordLimit ||
        dev.height > kCoordLimit)
        return;
    // The image's pixels must map to at least a thousandth of a device pixel each way, or the
    // sampling transform overflows Pixman's fixed point (and the image is invisible anyway).
    {
        AffineTransform toPixels = t.translatedBy(rect.x, rect.y)
                                       .scaledBy(rect.width / image.pixelWidth(), rect.height / image.pixelHeight());
        double maxScale = toPixels.maxScale();
        double minScale = std::fabs(toPixels.determinant()) / std::max(maxScale, 1e-300);
        if (!(minScale > 1e-3) || maxScale > 1e5) return;
    }

    bool hidden = false;
    const ClipMask* clip = effectiveClip(state, dev, hidden);
    // A band of a picture puts every image through the caches below as the whole picture
    // would, hidden here or not, so that all bands (and the pictures after) find them the same.
    if (hidden && !banded_) return;

    // The high-quality filter is slow: such images are resampled into a tile once and copied.
    // Tiles are placed as on the whole picture's surfaces; `shift` takes them to this band's.
    const AffineTransform whole = banded_ ? AffineTransform::translation(-s.x0, -s.wholeY0)
                                                .concatenating(AffineTransform::scale(scale_, scale_))
                                                .concatenating(state.transform)
                                          : t;
    const double shift = s.y0 - s.wholeY0;
    const double ox = std::floor(whole.tx), oy = std::floor(whole.ty);
    AffineTransform placement = whole;
    placement.tx -= ox;
    placement.ty -= oy;
    const Rect tileArea = placement.apply(rect);
    const double tx0 = std::floor(tileArea.minX()), ty0 = std::floor(tileArea.minY());
    const double tw = std::ceil(tileArea.maxX()) - tx0, th = std::ceil(tileArea.maxY()) - ty0;
    const bool tiled = style.interpolation == ImageInterpolation::high && std::fabs(whole.tx) < 1e6 &&
                       std::fabs(whole.ty) < 1e6 && tw >= 1 && th >= 1 && tw <= ResampleCache::kMaxSide &&
                       th <= ResampleCache::kMaxSide && image.pixelWidth() <= ResampleCache::kMaxSide &&
                       image.pixelHeight() <= ResampleCache::kMaxSide;
    // Copies a resampled tile in (its pixel (0, 0) lands on device pixel (ox + tx0, oy + ty0)).
    auto paintTile = [&](const Image& tile) {
        if (hidden) return;
        cairo_save(cr);
        if (!clip || applyClips(cr, state)) {
            cairo_identity_matrix(cr);
            cairo_set_source_surface(cr, tile.cairoSurface(), ox + tx0, oy + ty0 - shift);
            cairo_paint_with_alpha(cr, state.opacity);
        }
        cairo_restore(cr);
        check(s);
    };
    std::optional<std::uint64_t> hash;
    if (tiled) {
        auto& entries = resampleCache().entries;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (!(it->rect == rect) || !(it->placement == placement) || !sameStyle(it->style, style) ||
                !samePixels(*it, image, hash))
                continue;
            std::rotate(it, it + 1, entries.end());
            paintTile(entries.back().tile);
            return;
        }
    }
    const bool moving = tiled && resampleCache().noteUntiledDraw(image.contentId(), rect, placement);
    // An image an animation is moving is drawn from a motion tile even where it has not been seen
    // before: a high-quality tile for a place it leaves on the next frame would cost the frame.
    if (tiled && style.inMotion && drawInMotion(image, rect, style, state, clip, hidden)) return;

    const Image source = styledSource(image, style);
    if (source.isNull()) return;
    cairo_filter_t filter = moving ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BEST;
    if (style.interpolation == ImageInterpolation::none) filter = CAIRO_FILTER_NEAREST;
    if (style.interpolation == ImageInterpolation::low) filter = CAIRO_FILTER_BILINEAR;
    auto paintImage = [&](cairo_t* c, const AffineTransform& m) { setStretchedSource(c, m, rect, source, filter); };
    if (tiled && !moving) {
        // Resample into a tile at the same sub-pixel position, keep it, and copy it in.
        ResampledImage e;
        e.tile = Image::create(static_cast<int>(tw), static_cast<int>(th));
        if (!e.tile.isNull()) {
            cairo_t* tc = cairo_create(e.tile.cairoSurface());
            paintImage(tc, AffineTransform::translation(-tx0, -ty0).concatenating(placement));
            cairo_paint(tc);
            const bool ok = cairo_status(tc) == CAIRO_STATUS_SUCCESS;
            cairo_destroy(tc);
            if (ok) {
                keepPixels(e, image, hash);
                e.placement = placement;
                e.rect = rect;
                e.style = style;
                ResampleCache& cache = resampleCache();
                cache.add(std::move(e));
                paintTile(cache.entries.back().tile);
                return;
            }
        }
    }
    if (hidden) return;
    cairo_save(cr);
    if (!clip || applyClips(cr, state)) {
        paintImage(cr, t);
        cairo_paint_with_alpha(cr, state.opacity);
    }
    cairo_restore(cr);
    check(s);
}

bool CairoBackend::drawInMotion(const Image& image, const Rect& rect, const ImageStyle& style, const DrawState& state,
                                const ClipMask* clip, bool hidden) {
    // Device size of the whole image as drawn now, judged along each axis of the transform.
    const AffineTransform t = deviceMatrix(state.transform);
    const double dw = std::hypot(t.a, t.b) * rect.width, dh = std::hypot(t.c, t.d) * rect.height;
    if (!(dw >= 1 && dh >= 1) || dw > ResampleCache::kMaxSide || dh > ResampleCache::kMaxSide) return false;
    // A tile resampled at a size within this fraction of the one wanted is stretched, not remade.
    constexpr double kStretch = 0.08;
    ResampleCache& cache = resampleCache();
    auto& motion = cache.motion;
    const std::uint64_t content = image.contentId();
    const Image* tile = nullptr;
    for (auto it = motion.begin(); it != motion.end(); ++it) {
        if (it->content != content || !sameStyle(it->style, style)) continue;
        if (std::fabs(it->tile.pixelWidth() / dw - 1) > kStretch || std::fabs(it->tile.pixelHeight() / dh - 1) > kStretch) {
            cache.motionBytes -= ResampleCache::sizeOf(*it);
            motion.erase(it);  // this image is drawn at another size now
            break;
        }
        std::rotate(it, it + 1, motion.end());
        tile = &motion.back().tile;
        break;
    }
    if (!tile) {
        const Image source = styledSource(image, style);
        if (source.isNull()) return false;
        ResampleCache::MotionTile e;
        const int w = static_cast<int>(std::ceil(dw - 1e-6)), h = static_cast<int>(std::ceil(dh - 1e-6));
        e.tile = Image::create(w, h);
        if (e.tile.isNull()) return false;
        cairo_t* tc = cairo_create(e.tile.cairoSurface());
        cairo_scale(tc, double(w) / source.pixelWidth(), double(h) / source.pixelHeight());
        cairo_set_source_surface(tc, source.cairoSurface(), 0, 0);
        cairo_pattern_set_extend(cairo_get_source(tc), CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(cairo_get_source(tc), CAIRO_FILTER_GOOD);
        cairo_paint(tc);
        const bool ok = cairo_status(tc) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(tc);
        if (!ok) return false;
        e.content = content;
        e.style = style;
        cache.addMotion(std::move(e));
        tile = &motion.back().tile;
    }
    if (hidden) return true;
    Surface& s = top();
    cairo_t* cr = s.cr;
    cairo_save(cr);
    if (!clip || applyClips(cr, state)) {
        setStretchedSource(cr, t, rect, *tile, CAIRO_FILTER_BILINEAR);
        cairo_paint_with_alpha(cr, state.opacity);
    }
    cairo_restore(cr);
    check(s);
    return true;
}

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
        if (reach.isFinite() && state.layerPlacement.isInvertible()) {
            cx0 = std::max(-1e6, std::floor(reach.minX() * scale_));
            cy0 = std::max(-1e6, std::floor(reach.minY() * scale_));
            cx1 = std::min(1e6, std::ceil(reach.maxX() * scale_));
            cy1 = std::min(1e6, std::ceil(reach.maxY() * scale_));
        }
    }
    double x0 = cx0, y0 = cy0, x1 = cx1, y1 = cy1;
    if (contentBounds && contentBounds->isFinite()) {
        x0 = std::max(cx0, std::floor(contentBounds->minX() * scale_) - margin);
        y0 = std::max(cy0, std::floor(contentBounds->minY() * scale_) - margin);
        x1 = std::min(cx1, std::ceil(contentBounds->maxX() * scale_) + margin);
        y1 = std::min(cy1, std::ceil(contentBounds->maxY() * scale_) + margin);
    }
    Surface layer;
    layer.x0 = static_cast<int>(x0);
    layer.y0 = static_cast<int>(y0);
    layer.width = std::clamp(static_cast<int>(x1 - x0), 1, 16384);
    layer.height = std::clamp(static_cast<int>(y1 - y0), 1, 16384);
    if (x1 <= x0 || y1 <= y0) layer.width = layer.height = 1;
    layer.wholeY0 = layer.y0;
    // (A layer carried elsewhere by its placement is drawn whole: its rows are not the parent's.)
    if (banded_ && state.layerPlacement.isIdentity()) {
        // Of the layer the whole canvas would have, only the rows that can reach the parent's:
        // the filters' reach beyond them, cut at whole blocks of 8 rows from the layer's top
        // (the reduced blur works on such blocks), so every row the parent keeps comes out the same.
        int reach = 0;
        for (const Filter& f : state.filters) {
            if (f.kind == Filter::Kind::saturation) continue;
            reach += gaussianBlurReach(blurSigma(f.radius));
            if (f.kind == Filter::Kind::shadow)
                reach += static_cast<int>(std::ceil(std::max(std::fabs(f.x), std::fabs(f.y)) * scale_)) + 1;
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
    const bool reused = kept != nullptr;
    if (reused) {
        cairo_surface_destroy(current);
        current = cairo_surface_reference(kept->output);
    } else if (keepable) {
        kept = &filteredLayers().add(layer.surface, state.filters, state.layerShadowOnly, scale_, maxSigma(), hash);
    }

    static const std::vector<Filter> kNone;
    for (const Filter& f : reused ? kNone : state.filters) {
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

    if (kept && !reused) kept->keepOutput(current);

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
            cairo_set_source_surface(cr, current, layer.x0, layer.y0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
            cairo_paint_with_alpha(cr, state.opacity);
        } else if (!placed) {
            cairo_set_source_surface(cr, current, layer.x0 - parent.x0, layer.y0 - parent.y0);
            cairo_paint_with_alpha(cr, state.opacity);
        }
    }
    cairo_restore(cr);
    cairo_surface_destroy(current);
    check(parent);
}

}  // namespace quillmar::gfx
