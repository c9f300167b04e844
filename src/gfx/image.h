#pragma once
// A raster image: premultiplied ARGB pixels (Cairo's ARGB32 layout, native-endian 32-bit words)
// with a scale factor from points to pixels. Copies share pixels; use `copy()` for a deep copy.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gfx/color.h"
#include "gfx/geometry.h"

typedef struct _cairo_surface cairo_surface_t;

namespace quillmar::gfx {

class Image {
public:
    Image() = default;
    // A transparent image of the given pixel size; sizes are clamped to 1...16384.
    static Image create(int pixelWidth, int pixelHeight, double scale = 1.0);
    // Takes a reference to an existing ARGB32 image surface.
    static Image fromSurface(cairo_surface_t* surface, double scale = 1.0);
    // An image over pixels held elsewhere (rows packed, width × height values), kept alive by
    // `owner` for as long as the image or a copy of it lives. The pixels are read, never written:
    // draw into a copy(). Null when the rows cannot be used as they are.
    static Image wrapping(const std::uint32_t* pixels, int pixelWidth, int pixelHeight,
                          std::shared_ptr<const void> owner, double scale = 1.0);
    static std::optional<Image> readPng(const std::string& path, double scale = 1.0);

    bool isNull() const { return surface_ == nullptr; }
    int pixelWidth() const;
    int pixelHeight() const;
    double scale() const { return scale_; }
    Size size() const;  // in points
    int stride() const;
    std::uint32_t* data();
    const std::uint32_t* data() const;
    // Un-premultiplied colour of one pixel; clear outside the image.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, const Color& c);
    Image copy() const;

    // Writes a PNG; false (and `error` set to why, "No space left on device": the caller names the
    // file) when it could not be written.
    bool writePng(const std::string& path, std::string* error = nullptr) const;

    cairo_surface_t* cairoSurface() const { return surface_.get(); }
    // Marks the pixels as changed after direct writes through data().
    void markDirty();
    // A number naming these pixels as they are now: no other image has it, and it changes when
    // the pixels may have been written (data() for writing, markDirty()). 0 for a null image.
    std::uint64_t contentId() const;

private:
    std::shared_ptr<cairo_surface_t> surface_;
    double scale_ = 1.0;
};

}  // namespace quillmar::gfx
