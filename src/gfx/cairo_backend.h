#pragma once
// The drawing backend that renders into a Cairo ARGB32 image surface.
//
// Antialiased fills and all strokes are rasterised here (CoverageRasterizer, outlineStroke) and
// blended straight into the pixels (SpanCompositor); Cairo's general scan converter costs
// several microseconds per shape, too much for frames of a thousand small sprites. A clip is
// rasterised once into a coverage mask that every shape drawn under it is multiplied by (Cairo
// would rebuild its own mask for every call). Images, text, layers and unclipped rectangles go
// through Cairo, without the clip when it covers their whole area. Images drawn at high quality
// are resampled once per size and sub-pixel position and kept (per thread) for later frames.
//
// Every call is validated before it reaches Cairo (non-invertible transforms, bad dashes, far-off
// or squeezed geometry), so Cairo never enters an error state from our input; if it does anyway,
// the error is remembered for error() and the Cairo context is replaced, so later drawing goes on.
//
// The parts, by concern: cairo_backend_shapes.cpp (fills and strokes), cairo_backend_clip_masks.cpp,
// cairo_backend_image_tiles.cpp (images and their caches), cairo_backend_layers.cpp (layers and
// filters) and cairo_backend_text.cpp; what they share is in cairo_backend_internal.h.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/coverage_rasterizer.h"
#include "gfx/drawing_backend.h"
#include "gfx/span_compositor.h"

typedef struct _cairo cairo_t;

namespace quillmar::gfx {

class CairoBackend : public DrawingBackend {
public:
    // Draws into `target` (an ARGB32 image surface, referenced) whose pixels cover `canvas`
    // points at `scale` pixels per point.
    CairoBackend(cairo_surface_t* target, Size canvas, double scale);
    // Draws only the device rows [bandTop, bandTop + the target's height) of a canvas
    // `canvasPixelHeight` rows high (as wide as the target), exactly as a whole target would
    // have them: a large picture can be drawn band after band without its whole surface.
    CairoBackend(cairo_surface_t* target, Size canvas, double scale, int bandTop, int canvasPixelHeight);
    ~CairoBackend() override;
    CairoBackend(const CairoBackend&) = delete;
    CairoBackend& operator=(const CairoBackend&) = delete;

    // Forgets where this thread last drew each image without a kept resampling, keeping the
    // resamplings themselves: a drawing made only to warm the caches then leaves no trace in
    // the pictures that follow (an image is judged moving only by what was really shown).
    static void forgetImagePlacements();
    // How many resampled tiles (kept for images at rest, or for images in motion) this thread has
    // made: the costly part of drawing an icon for the first time at a size.
    static std::uint64_t resampledTiles();
    // What this thread's image caches hold (kept resamplings, motion tiles, where each image was
    // last drawn), which decide how an image is sampled: every band of a picture starts from the
    // caches as they were before it, and the picture leaves them as one whole drawing would.
    struct ImageCaches;
    static std::shared_ptr<const ImageCaches> saveImageCaches();
    static void restoreImageCaches(const std::shared_ptr<const ImageCaches>& saved);
    // Gives back what this thread keeps only to make later frames faster (filtered layers and clip
    // masks as last drawn, working buffers), all of which a later drawing makes again exactly:
    // for before a one-off picture that needs the memory more than the next frame needs speed.
    static void releaseKeptBuffers();

    Size canvasSize() const override { return canvas_; }
    double deviceScale() const override { return scale_; }
    void fill(const Path& path, const Shading& shading, const FillStyle& style,
              const DrawState& state) override;
    void stroke(const Path& path, const Shading& shading, const StrokeStyle& style,
                const DrawState& state) override;
    void drawText(const TextLayout& layout, Point origin, const Shading& shading,
                  const DrawState& state) override;
    void drawImage(const Image& image, const Rect& rect, const ImageStyle& style,
                   const DrawState& state) override;
    void beginLayer(const DrawState& state, const std::optional<Rect>& contentBounds) override;
    void endLayer(const DrawState& state) override;

    // The first Cairo error seen, empty when none.
    const std::string& error() const { return error_; }
    cairo_surface_t* target() const { return target_; }

private:
    struct Surface {
        cairo_surface_t* surface = nullptr;
        cairo_t* cr = nullptr;
        int x0 = 0, y0 = 0;  // device pixel of the surface's top-left corner
        int wholeY0 = 0;     // y0 of the same surface when the whole canvas is drawn at once
        int width = 0, height = 0;
        bool culled = false;  // a layer that cannot reach the band drawn: never composited
    };

    // A clip's coverage in the pixels of one surface, made on first use and shared by every draw
    // call under the same clip.
    struct ClipMask {
        std::shared_ptr<const std::vector<ClipEntry>> clips;  // the key; held so its address stays unique
        int surfaceX0 = 0, surfaceY0 = 0, surfaceWidth = 0, surfaceHeight = 0;  // the surface it is for
        bool empty = true;                 // nothing shows through
        double bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;  // bounds of the clip shapes' intersection, surface pixels
        int x0 = 0, y0 = 0, w = 0, h = 0;  // bounds of the coverage, surface pixels
        // w × h; shared with the copy kept for later frames (never changed once made)
        std::shared_ptr<std::vector<std::uint8_t>> alpha;
        // Per row, the longest run of full coverage [solidBegin, solidEnd), in mask columns.
        std::vector<int> solidBegin, solidEnd;
    };

    Surface& top() { return layers_.empty() ? base_ : layers_.back(); }
    AffineTransform deviceMatrix(const AffineTransform& user) const;
    bool applyClips(cairo_t* cr, const DrawState& state);
    void appendVisiblePolygons(cairo_t* cr, const Path& path, const AffineTransform& toDevice);
    bool setSource(cairo_t* cr, const Shading& shading, double opacity, const AffineTransform& toDevice);
    void check(Surface& s);
    // Fills through our own rasteriser with Cairo compositing the coverage through the clip;
    // false when the path needs Cairo's own fill.
    bool fillWithCoverage(cairo_t* cr, const Path& path, const AffineTransform& toDevice, bool evenOdd);
    // Fills with plain source-over, unclipped or under `clip`: our rasteriser, blended straight
    // into the pixels. False when the path or shading needs the general route.
    bool fillDirect(const Path& path, const Shading& shading, double opacity, const AffineTransform& toDevice,
                    bool evenOdd, const ClipMask* clip = nullptr);
    // The clip of `state` (which has one) rasterised for the current surface.
    const ClipMask& clipMask(const DrawState& state);
    void buildClipMask(ClipMask& mask, const std::vector<ClipEntry>& clips);
    // The mask of `parent`'s clips and then `last`, made from `parent`'s coverage (for the
    // same surface); the same as building it from scratch.
    void deriveClipMask(ClipMask& mask, const ClipMask& parent, const ClipEntry& last);
    // One clip path flattened into surface pixels, with the bounds of what is left of it.
    struct FlatClip {
        std::vector<std::vector<Point>> polys;
        double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    };
    bool flattenClip(const ClipEntry& clip, FlatClip& out);  // false: the clip has no area
    // Sizes `mask` to the whole pixels of the given bounds with zero coverage; false when empty.
    bool placeClipMask(ClipMask& mask, double bx0, double by0, double bx1, double by1);
    // Multiplies the mask's coverage by the shape's.
    void intersectClipMask(ClipMask& mask, const FlatClip& shape, bool evenOdd);
    void findSolidRuns(ClipMask& mask);
    // The clip for a draw call whose pixels lie within `deviceBounds` (current surface pixels):
    // null when there is none or it leaves the whole area untouched. `hidden` is set when the
    // clip lets nothing through.
    const ClipMask* effectiveClip(const DrawState& state, const Rect& deviceBounds, bool& hidden);
    void flattenForFill(const Path& path, const AffineTransform& toDevice);
    Rect surfaceBounds() const;
    // Rasterises device-space polygons within `visible`; false when nothing can show.
    bool rasterize(const std::vector<std::vector<Point>>& polygons, const Rect& visible);
    // Paints the rasterised coverage with the prepared compositor, times the clip's when given.
    void blendCoverage(bool evenOdd, const ClipMask* clip = nullptr);
    void maskWithCoverage(cairo_t* cr, bool evenOdd);
    double maxSigma() const;
    // The device-pixel sigma of a blur or shadow of `radius` points (within maxSigma()).
    double blurSigma(double radius) const;
    // A layer's pixels through the state's filters, in order; gives back the result (which may be
    // another surface, `current` then released).
    cairo_surface_t* applyFilters(cairo_surface_t* current, const Surface& layer, const DrawState& state);
    // Paints a finished layer's pixels into the surface below it, placed, clipped and faded.
    void compositeLayer(cairo_surface_t* pixels, const Surface& layer, const DrawState& state);
    // Draws an image in motion from a tile resampled at about its current size; false when it
    // cannot (the caller then resamples it as usual).
    bool drawInMotion(const Image& image, const Rect& rect, const ImageStyle& style, const DrawState& state,
                      const ClipMask* clip, bool hidden);

    cairo_surface_t* target_;
    Size canvas_;
    double scale_;
    int canvasWidth_ = 0, canvasHeight_ = 0;  // device pixels of the whole canvas
    bool banded_ = false;                     // the target holds one band of the canvas
    Surface base_;
    std::vector<Surface> layers_;
    std::string error_;
    std::vector<ClipMask> clipMasks_;  // most recently made last
    SpanCompositor compositor_;
};

}  // namespace quillmar::gfx
