// CairoBackend: clips, as coverage masks made once per clip and surface (and kept for later frames),
// and as Cairo's own clip where Cairo draws.

#include "gfx/cairo_backend.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/cairo_backend_internal.h"
#include "gfx/polygon_clip.h"

namespace quillmar::gfx {

using namespace cairo_internal;

namespace {

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

}  // namespace

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

}  // namespace quillmar::gfx
