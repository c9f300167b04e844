// CairoBackend: images, and the per-thread caches of their resampled tiles (at rest and in motion).

#include "gfx/cairo_backend.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "gfx/cairo_backend_internal.h"
#include "gfx/pixel_effects.h"

namespace quillmar::gfx {

using namespace cairo_internal;

namespace {

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

std::uint64_t hashPixels(const Image& image) {
    return cairo_internal::hashPixels(image.data(), image.pixelWidth(), image.pixelHeight(), image.stride());
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

// The image's pixels must map to at least a thousandth of a device pixel each way, or the
// sampling transform overflows Pixman's fixed point (and the image is invisible anyway).
bool samplesWithinFixedPoint(const AffineTransform& toDevice, const Rect& rect, const Image& image) {
    const AffineTransform toPixels = toDevice.translatedBy(rect.x, rect.y)
                                         .scaledBy(rect.width / image.pixelWidth(), rect.height / image.pixelHeight());
    const double maxScale = toPixels.maxScale();
    const double minScale = std::fabs(toPixels.determinant()) / std::max(maxScale, 1e-300);
    return minScale > 1e-3 && maxScale <= 1e5;
}

cairo_filter_t filterFor(ImageInterpolation interpolation, bool moving) {
    switch (interpolation) {
        case ImageInterpolation::none: return CAIRO_FILTER_NEAREST;
        case ImageInterpolation::low: return CAIRO_FILTER_BILINEAR;
        case ImageInterpolation::high: break;
    }
    return moving ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BEST;
}

// Where the resampled tile of an image drawn at high quality goes. The high-quality filter is
// slow, so such an image is resampled into a tile once per size and sub-pixel position and
// copied in on later draws: its pixel (0, 0) lands on device pixel (ox + tx0, oy + ty0).
struct TilePlacement {
    AffineTransform placement;  // the device transform, its whole-pixel translation (ox, oy) removed
    double ox = 0, oy = 0;
    double tx0 = 0, ty0 = 0, tw = 0, th = 0;  // the tile's pixels in the placement's space
    bool tiled = false;                        // false: the image is drawn without a tile
};

TilePlacement placeTile(const AffineTransform& whole, const Rect& rect, const ImageStyle& style, const Image& image) {
    TilePlacement p;
    p.ox = std::floor(whole.tx);
    p.oy = std::floor(whole.ty);
    p.placement = whole;
    p.placement.tx -= p.ox;
    p.placement.ty -= p.oy;
    const Rect area = p.placement.apply(rect);
    p.tx0 = std::floor(area.minX());
    p.ty0 = std::floor(area.minY());
    p.tw = std::ceil(area.maxX()) - p.tx0;
    p.th = std::ceil(area.maxY()) - p.ty0;
    constexpr int kMax = ResampleCache::kMaxSide;
    p.tiled = style.interpolation == ImageInterpolation::high && std::fabs(whole.tx) < 1e6 &&
              std::fabs(whole.ty) < 1e6 && p.tw >= 1 && p.th >= 1 && p.tw <= kMax && p.th <= kMax &&
              image.pixelWidth() <= kMax && image.pixelHeight() <= kMax;
    return p;
}

// The tile kept for these pixels drawn this way, now the most recently used; null when none.
const Image* findKeptTile(const Image& image, const Rect& rect, const TilePlacement& p, const ImageStyle& style,
                          std::optional<std::uint64_t>& hash) {
    auto& entries = resampleCache().entries;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (!(it->rect == rect) || !(it->placement == p.placement) || !sameStyle(it->style, style) ||
            !samePixels(*it, image, hash))
            continue;
        std::rotate(it, it + 1, entries.end());
        return &entries.back().tile;
    }
    return nullptr;
}

// Resamples `source` (the pixels `image` is drawn from) into a tile at its sub-pixel position
// and keeps it; null when the tile cannot be made.
const Image* makeKeptTile(const Image& image, const Image& source, const Rect& rect, const TilePlacement& p,
                          const ImageStyle& style, cairo_filter_t filter, std::optional<std::uint64_t>& hash) {
    ResampledImage e;
    e.tile = Image::create(static_cast<int>(p.tw), static_cast<int>(p.th));
    if (e.tile.isNull()) return nullptr;
    cairo_t* tc = cairo_create(e.tile.cairoSurface());
    setStretchedSource(tc, AffineTransform::translation(-p.tx0, -p.ty0).concatenating(p.placement), rect, source,
                       filter);
    cairo_paint(tc);
    const bool ok = cairo_status(tc) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(tc);
    if (!ok) return nullptr;
    keepPixels(e, image, hash);
    e.placement = p.placement;
    e.rect = rect;
    e.style = style;
    ResampleCache& cache = resampleCache();
    cache.add(std::move(e));
    return &cache.entries.back().tile;
}

}  // namespace

void CairoBackend::forgetImagePlacements() { resampleCache().lastUntiled.clear(); }

std::uint64_t CairoBackend::resampledTiles() { return ResampleCache::made(); }

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
    const AffineTransform t = deviceMatrix(state.transform);
    const Rect dev = t.apply(rect);
    if (std::fabs(dev.x) > kCoordLimit || std::fabs(dev.y) > kCoordLimit || dev.width > kCoordLimit ||
        dev.height > kCoordLimit || !samplesWithinFixedPoint(t, rect, image))
        return;

    bool hidden = false;
    const ClipMask* clip = effectiveClip(state, dev, hidden);
    // A band of a picture puts every image through the caches below as the whole picture
    // would, hidden here or not, so that all bands (and the pictures after) find them the same.
    if (hidden && !banded_) return;

    // Tiles are placed as on the whole picture's surfaces; `shift` takes them to this band's.
    const AffineTransform whole = banded_ ? AffineTransform::translation(-s.x0, -s.wholeY0)
                                                .concatenating(AffineTransform::scale(scale_, scale_))
                                                .concatenating(state.transform)
                                          : t;
    const TilePlacement tile = placeTile(whole, rect, style, image);
    const double shift = s.y0 - s.wholeY0;
    // Paints through the clip what `setSource` makes the source.
    auto paint = [&](auto&& setSource) {
        if (hidden) return;
        cairo_save(cr);
        if (!clip || applyClips(cr, state)) {
            setSource();
            cairo_paint_with_alpha(cr, state.opacity);
        }
        cairo_restore(cr);
        check(s);
    };
    auto paintTile = [&](const Image& pixels) {
        paint([&] {
            cairo_identity_matrix(cr);
            cairo_set_source_surface(cr, pixels.cairoSurface(), tile.ox + tile.tx0, tile.oy + tile.ty0 - shift);
        });
    };

    std::optional<std::uint64_t> hash;
    if (const Image* kept = tile.tiled ? findKeptTile(image, rect, tile, style, hash) : nullptr)
        return paintTile(*kept);
    const bool moving = tile.tiled && resampleCache().noteUntiledDraw(image.contentId(), rect, tile.placement);
    // An image an animation is moving is drawn from a motion tile even where it has not been seen
    // before: a high-quality tile for a place it leaves on the next frame would cost the frame.
    if (tile.tiled && style.inMotion && drawInMotion(image, rect, style, state, clip, hidden)) return;

    const Image source = styledSource(image, style);
    if (source.isNull()) return;
    const cairo_filter_t filter = filterFor(style.interpolation, moving);
    if (tile.tiled && !moving)
        if (const Image* made = makeKeptTile(image, source, rect, tile, style, filter, hash)) return paintTile(*made);
    paint([&] { setStretchedSource(cr, t, rect, source, filter); });
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

}  // namespace quillmar::gfx
