#pragma once
// An image surface to draw into at a scale factor (1x, 2x), read back as an Image or a PNG.
// A Cairo error on the surface (which would silently stop all later drawing) is detected and
// reported by finish() and writePng().

#include <memory>
#include <string>

#include "gfx/graphics_context.h"
#include "gfx/image.h"

namespace quillmar::gfx {

class CairoBackend;

// The pixels a target of `size` points at `scale` has (each side rounded up, clamped to
// 1...16384, the scale to 0.1...16), and the size in points it then covers.
struct TargetGeometry {
    Size size;
    double scale = 1;
    int pixelWidth = 1, pixelHeight = 1;
    static TargetGeometry of(Size size, double scale);
};

class RenderTarget {
public:
    // `size` in points; the pixel size is size × scale, rounded up, clamped to 1...16384.
    RenderTarget(Size size, double scale = 1.0);
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    Size size() const { return size_; }
    double scale() const { return scale_; }
    // A fresh context on the target (identity transform, opacity 1, no clip).
    GraphicsContext context();

    // Empty when the drawing went well; otherwise Cairo's description of the error.
    std::string error() const;
    bool ok() const { return error().empty(); }
    // The pixels drawn so far (shares nothing with the target: later drawing does not change it).
    Image image() const;
    // The pixels drawn, handed over without a copy: for when the drawing is finished (anything
    // drawn through this target's contexts afterwards would show in the image).
    Image takeImage();
    // Writes the pixels as PNG; false with `error` set on a drawing error or a write failure.
    bool writePng(const std::string& path, std::string* error = nullptr) const;

private:
    Size size_;
    double scale_;
    std::shared_ptr<CairoBackend> backend_;
};

// Convenience: renders `draw` into a fresh target and returns it.
std::unique_ptr<RenderTarget> render(Size size, double scale,
                                     const std::function<void(GraphicsContext&)>& draw);

}  // namespace quillmar::gfx
