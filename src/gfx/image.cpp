#include "gfx/image.h"

#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "gfx/unit_byte.h"

namespace quillmar::gfx {
namespace {

constexpr int kMaxSide = 16384;

std::shared_ptr<cairo_surface_t> adopt(cairo_surface_t* s) {
    return std::shared_ptr<cairo_surface_t>(s, [](cairo_surface_t* p) { cairo_surface_destroy(p); });
}

double validScale(double s) { return std::isfinite(s) && s > 0 ? std::clamp(s, 0.01, 64.0) : 1.0; }

// The content id lives with the surface (so every copy of an image sees it), as its user data.
// Images may be drawn on several threads at once, and Cairo's user data is not guarded: one lock
// for every id read or written.
const cairo_user_data_key_t kContentIdKey{};
std::uint64_t lastContentId = 0;
std::mutex contentIdLock;

std::uint64_t storedContentId(cairo_surface_t* s) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(cairo_surface_get_user_data(s, &kContentIdKey)));
}

// Gives the surface a new id (the caller holds the lock).
std::uint64_t renewContentIdLocked(cairo_surface_t* s) {
    const std::uint64_t id = ++lastContentId;
    cairo_surface_set_user_data(s, &kContentIdKey, reinterpret_cast<void*>(static_cast<std::uintptr_t>(id)), nullptr);
    return id;
}

void renewContentId(cairo_surface_t* s) {
    std::lock_guard<std::mutex> hold(contentIdLock);
    renewContentIdLocked(s);
}

}  // namespace

Image Image::create(int w, int h, double scale) {
    Image img;
    w = std::clamp(w, 1, kMaxSide);
    h = std::clamp(h, 1, kMaxSide);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return img;
    }
    img.surface_ = adopt(s);
    img.scale_ = validScale(scale);
    return img;
}

Image Image::fromSurface(cairo_surface_t* surface, double scale) {
    Image img;
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32)
        return img;
    img.surface_ = adopt(cairo_surface_reference(surface));
    img.scale_ = validScale(scale);
    return img;
}

Image Image::wrapping(const std::uint32_t* pixels, int w, int h, std::shared_ptr<const void> owner, double scale) {
    Image img;
    if (!pixels || w < 1 || h < 1 || w > kMaxSide || h > kMaxSide ||
        cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w) != w * 4)
        return img;
    // Cairo takes a mutable pointer but only reads through it unless drawn into.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(pixels));
    cairo_surface_t* s = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, w, h, w * 4);
    static cairo_user_data_key_t ownerKey;
    auto* kept = new std::shared_ptr<const void>(std::move(owner));
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(s, &ownerKey, kept,
                                    [](void* p) { delete static_cast<std::shared_ptr<const void>*>(p); }) !=
            CAIRO_STATUS_SUCCESS) {
        delete kept;
        cairo_surface_destroy(s);
        return img;
    }
    img.surface_ = adopt(s);
    img.scale_ = validScale(scale);
    return img;
}

std::optional<Image> Image::readPng(const std::string& path, double scale) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return std::nullopt;
    }
    cairo_format_t format = cairo_image_surface_get_format(s);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    if (w > kMaxSide || h > kMaxSide || w < 1 || h < 1) {
        cairo_surface_destroy(s);
        return std::nullopt;
    }
    if (format != CAIRO_FORMAT_ARGB32) {
        // Normalise RGB24, A8 and the rest to ARGB32 by painting.
        Image img = create(w, h, scale);
        cairo_t* cr = cairo_create(img.cairoSurface());
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        return img;
    }
    Image img;
    img.surface_ = adopt(s);
    img.scale_ = validScale(scale);
    return img;
}

int Image::pixelWidth() const { return surface_ ? cairo_image_surface_get_width(surface_.get()) : 0; }
int Image::pixelHeight() const { return surface_ ? cairo_image_surface_get_height(surface_.get()) : 0; }
Size Image::size() const { return {pixelWidth() / scale_, pixelHeight() / scale_}; }
int Image::stride() const { return surface_ ? cairo_image_surface_get_stride(surface_.get()) : 0; }

std::uint32_t* Image::data() {
    if (!surface_) return nullptr;
    renewContentId(surface_.get());
    cairo_surface_flush(surface_.get());
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface_.get()));
}

const std::uint32_t* Image::data() const {
    if (!surface_) return nullptr;
    cairo_surface_flush(surface_.get());
    return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface_.get()));
}

void Image::markDirty() {
    if (!surface_) return;
    renewContentId(surface_.get());
    cairo_surface_mark_dirty(surface_.get());
}

std::uint64_t Image::contentId() const {
    if (!surface_) return 0;
    std::lock_guard<std::mutex> hold(contentIdLock);
    const std::uint64_t id = storedContentId(surface_.get());
    return id ? id : renewContentIdLocked(surface_.get());
}

Color Image::pixel(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return Color::clear();
    const auto* row = reinterpret_cast<const std::uint8_t*>(data()) + std::size_t(y) * stride();
    std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
    double a = ((p >> 24) & 0xFF) / 255.0;
    if (a <= 0) return Color::clear();
    return {((p >> 16) & 0xFF) / 255.0 / a, ((p >> 8) & 0xFF) / 255.0 / a, (p & 0xFF) / 255.0 / a, a};
}

void Image::setPixel(int x, int y, const Color& c) {
    if (!surface_ || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return;
    auto* row = reinterpret_cast<std::uint8_t*>(data()) + std::size_t(y) * stride();
    reinterpret_cast<std::uint32_t*>(row)[x] = premultipliedPixel(c.red, c.green, c.blue, c.alpha);
    markDirty();
}

Image Image::copy() const {
    if (!surface_) return {};
    Image out = create(pixelWidth(), pixelHeight(), scale_);
    if (out.isNull()) return out;
    const auto* src = reinterpret_cast<const std::uint8_t*>(data());
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data());
    for (int y = 0; y < pixelHeight(); ++y)
        std::memcpy(dst + std::size_t(y) * out.stride(), src + std::size_t(y) * stride(), std::size_t(pixelWidth()) * 4);
    out.markDirty();
    return out;
}

bool Image::writePng(const std::string& path, std::string* error) const {
    if (!surface_) {
        if (error) *error = "empty image";
        return false;
    }
    // Cairo's own file writing, but a failed open or write says why ("No space left on device").
    struct Sink {
        std::FILE* file = nullptr;
        int error = 0;
    } sink{std::fopen(path.c_str(), "wb"), 0};
    if (!sink.file) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    auto write = [](void* closure, const unsigned char* data, unsigned int length) {
        auto* s = static_cast<Sink*>(closure);
        if (std::fwrite(data, 1, length, s->file) == length) return CAIRO_STATUS_SUCCESS;
        s->error = errno;
        return CAIRO_STATUS_WRITE_ERROR;
    };
    cairo_status_t st = cairo_surface_write_to_png_stream(surface_.get(), write, &sink);
    if (std::fclose(sink.file) != 0 && st == CAIRO_STATUS_SUCCESS) {
        sink.error = errno;
        st = CAIRO_STATUS_WRITE_ERROR;
    }
    if (st != CAIRO_STATUS_SUCCESS) {
        if (error)
            *error = sink.error ? std::strerror(sink.error) : cairo_status_to_string(st);
        return false;
    }
    return true;
}

}  // namespace quillmar::gfx
