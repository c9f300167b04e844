#pragma once
// The drawing backend that renders into a Cairo ARGB32 image surface.
//
// Antialiased fills and all strokes are rasterised here (CoverageRasterizer, outlineStroke) and,
// when unclipped, blended straight into the pixels (SpanCompositor); Cairo's general scan
// converter costs several microseconds per shape, too much for frames of a thousand small
// sprites. Clips, layers, images, text and rectangles go through Cairo.
//
// Every call is validated before it reaches Cairo (non-invertible transforms, bad dashes, far-off
// or squeezed geometry), so Cairo never enters an error state from our input; if it does anyway,
// the error is remembered for error() and the Cairo context is replaced, so later drawing goes on.

#include <cstdint>
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
    ~CairoBackend() override;
    CairoBackend(const CairoBackend&) = delete;
    CairoBackend& operator=(const CairoBackend&) = delete;

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
        int width = 0, height = 0;
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
    // Fills with no clip and plain source-over: our rasteriser, blended straight into the pixels.
    // False when the path or shading needs the general route.
    bool fillDirect(const Path& path, const Shading& shading, double opacity, const AffineTransform& toDevice,
                    bool evenOdd);
    void flattenForFill(const Path& path, const AffineTransform& toDevice);
    Rect surfaceBounds() const;
    // Rasterises device-space polygons within `visible`; false when nothing can show.
    bool rasterize(const std::vector<std::vector<Point>>& polygons, const Rect& visible);
    // Paints the rasterised coverage with the prepared compositor, or with Cairo's source.
    void blendCoverage(bool evenOdd);
    void maskWithCoverage(cairo_t* cr, bool evenOdd);
    double maxSigma() const;

    cairo_surface_t* target_;
    Size canvas_;
    double scale_;
    Surface base_;
    std::vector<Surface> layers_;
    std::string error_;
    CoverageRasterizer rasterizer_;
    std::vector<std::uint8_t> mask_;
    std::vector<std::uint8_t> rowCoverage_;
    std::vector<std::vector<Point>> polygons_, pieces_;  // reused between calls
    SpanCompositor compositor_;
};

}  // namespace quillmar::gfx
