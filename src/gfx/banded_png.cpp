#include "gfx/banded_png.h"

#include <cairo.h>

#include <algorithm>
#include <memory>

#include "gfx/cairo_backend.h"
#include "gfx/png_row_writer.h"
#include "gfx/render_target.h"

namespace quillmar::gfx {

namespace {

enum class Pass { written, transparent, failed };

// The image caches before the picture and after its first band: the state every band starts
// from, and the one the picture leaves (as after one drawing of it).
struct CacheStates {
    std::shared_ptr<const CairoBackend::ImageCaches> before, after;
};

// One pass over the bands; with `opaque`, stops as soon as a band has a transparent pixel.
Pass writeBands(const std::string& path, const TargetGeometry& g, bool opaque,
                const std::function<void(GraphicsContext&)>& draw, int bandRows, CacheStates& caches,
                std::string* error) {
    PngRowWriter png;
    if (!png.open(path, g.pixelWidth, g.pixelHeight, opaque, error)) return Pass::failed;
    for (int top = 0; top < g.pixelHeight; top += bandRows) {
        const int rows = std::min(bandRows, g.pixelHeight - top);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, g.pixelWidth, rows);
        if (caches.after) CairoBackend::restoreImageCaches(caches.before);
        {
            GraphicsContext ctx(std::make_shared<CairoBackend>(surface, g.size, g.scale, top, g.pixelHeight));
            draw(ctx);
        }
        if (!caches.after) caches.after = CairoBackend::saveImageCaches();
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        Pass result = Pass::written;
        if (!data) {
            if (error) *error = "out of memory";
            result = Pass::failed;
        } else if (opaque && !PngRowWriter::isOpaque(data, g.pixelWidth, rows, stride)) {
            result = Pass::transparent;
        } else if (!png.writeRows(data, rows, stride, error)) {
            result = Pass::failed;
        }
        cairo_surface_destroy(surface);
        if (result != Pass::written) return result;
    }
    return png.finish(error) ? Pass::written : Pass::failed;
}

}  // namespace

bool writePngInBands(const std::string& path, Size size, double scale,
                     const std::function<void(GraphicsContext&)>& draw, std::string* error, int bandRows) {
    const TargetGeometry g = TargetGeometry::of(size, scale);
    bandRows = std::max(1, bandRows);
    // Most pictures are opaque (drawn over a background): written so at once; one with any
    // transparent pixel is drawn again, with alpha.
    // A picture this large is a one-off: what is kept for frames is made again after it.
    CairoBackend::releaseKeptBuffers();
    CacheStates caches;
    caches.before = CairoBackend::saveImageCaches();
    Pass pass = writeBands(path, g, true, draw, bandRows, caches, error);
    if (pass == Pass::transparent) pass = writeBands(path, g, false, draw, bandRows, caches, error);
    CairoBackend::restoreImageCaches(caches.after);
    return pass == Pass::written;
}

}  // namespace quillmar::gfx
