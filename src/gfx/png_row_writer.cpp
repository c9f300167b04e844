#include "gfx/png_row_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quillmar::gfx {

namespace {

// The row transforms Cairo installs, from its premultiplied native-endian ARGB32 pixels to
// PNG's byte order (colour un-premultiplied with rounding; a transparent pixel is all zero).
void unpremultiplyRow(png_structp, png_row_infop info, png_bytep data) {
    for (std::size_t i = 0; i < info->rowbytes; i += 4) {
        std::uint8_t* b = &data[i];
        std::uint32_t pixel;
        std::memcpy(&pixel, b, sizeof pixel);
        const std::uint8_t alpha = static_cast<std::uint8_t>(pixel >> 24);
        if (alpha == 0) {
            b[0] = b[1] = b[2] = b[3] = 0;
        } else {
            b[0] = static_cast<std::uint8_t>((((pixel & 0xff0000) >> 16) * 255 + alpha / 2) / alpha);
            b[1] = static_cast<std::uint8_t>((((pixel & 0x00ff00) >> 8) * 255 + alpha / 2) / alpha);
            b[2] = static_cast<std::uint8_t>(((pixel & 0x0000ff) * 255 + alpha / 2) / alpha);
            b[3] = alpha;
        }
    }
}

void opaqueRow(png_structp, png_row_infop info, png_bytep data) {
    for (std::size_t i = 0; i < info->rowbytes; i += 4) {
        std::uint8_t* b = &data[i];
        std::uint32_t pixel;
        std::memcpy(&pixel, b, sizeof pixel);
        b[0] = static_cast<std::uint8_t>((pixel & 0xff0000) >> 16);
        b[1] = static_cast<std::uint8_t>((pixel & 0x00ff00) >> 8);
        b[2] = static_cast<std::uint8_t>(pixel & 0x0000ff);
        b[3] = 0;
    }
}

// libpng reports errors by a long jump back to the setjmp of the call that failed; the calls
// below keep no objects with destructors alive across one.
void onError(png_structp png, png_const_charp message) {
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::snprintf(text, 256, "%s", message);
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// As libpng's own stdio writing, but a failed write says why.
void writeData(png_structp png, png_bytep data, png_size_t length) {
    if (std::fwrite(data, 1, length, static_cast<std::FILE*>(png_get_io_ptr(png))) != length)
        png_error(png, std::strerror(errno));
}
void flushData(png_structp png) { std::fflush(static_cast<std::FILE*>(png_get_io_ptr(png))); }

struct PngCall {
    char message[256] = {};
};

// The header, as Cairo writes it: 8 bits a channel, no interlace, a white background colour.
bool writeHeader(png_structp png, png_infop info, std::FILE* file, int width, int height, bool opaque) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, file, writeData, flushData);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_16 white{};
    white.gray = 0xff;
    white.red = white.blue = white.green = white.gray;
    png_set_bKGD(png, info, &white);
    png_write_info(png, info);
    if (opaque) {
        png_set_write_user_transform_fn(png, opaqueRow);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_write_user_transform_fn(png, unpremultiplyRow);
    }
    return true;
}

bool writeRowsOf(png_structp png, const unsigned char* data, int rows, int stride) {
    if (setjmp(png_jmpbuf(png))) return false;
    for (int y = 0; y < rows; ++y) png_write_row(png, data + std::ptrdiff_t(y) * stride);
    return true;
}

bool writeEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_end(png, info);
    return true;
}

}  // namespace

PngRowWriter::~PngRowWriter() { close(); }

void PngRowWriter::close() {
    if (png_) {
        auto* png = static_cast<png_structp>(png_);
        auto* info = static_cast<png_infop>(info_);
        delete static_cast<PngCall*>(png_get_error_ptr(png));
        png_destroy_write_struct(&png, info ? &info : nullptr);
    }
    png_ = info_ = nullptr;
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool PngRowWriter::fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    close();
    return false;
}

bool PngRowWriter::open(const std::string& path, int width, int height, bool opaque, std::string* error) {
    close();
    if (width <= 0 || height <= 0) return fail(error, "empty image");
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return fail(error, std::strerror(errno));
    auto* call = new PngCall;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, call, onError, onWarning);
    if (!png) {
        delete call;
        return fail(error, "out of memory");
    }
    png_ = png;
    png_infop info = png_create_info_struct(png);
    info_ = info;
    if (!info) return fail(error, "out of memory");
    if (!writeHeader(png, info, file_, width, height, opaque)) return fail(error, call->message);
    width_ = width;
    rowsLeft_ = height;
    return true;
}

bool PngRowWriter::writeRows(const unsigned char* data, int rows, int strideBytes, std::string* error) {
    if (!png_) return fail(error, "not open");
    if (rows < 0 || rows > rowsLeft_) return fail(error, "more rows than the image has");
    auto* png = static_cast<png_structp>(png_);
    if (!writeRowsOf(png, data, rows, strideBytes))
        return fail(error, static_cast<PngCall*>(png_get_error_ptr(png))->message);
    rowsLeft_ -= rows;
    return true;
}

bool PngRowWriter::finish(std::string* error) {
    if (!png_) return fail(error, "not open");
    if (rowsLeft_ != 0) return fail(error, "rows missing");
    auto* png = static_cast<png_structp>(png_);
    if (!writeEnd(png, static_cast<png_infop>(info_)))
        return fail(error, static_cast<PngCall*>(png_get_error_ptr(png))->message);
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    const int flushError = errno;
    close();
    if (!flushed) return fail(error, std::strerror(flushError));
    return true;
}

bool PngRowWriter::isOpaque(const unsigned char* data, int width, int rows, int strideBytes) {
    for (int y = 0; y < rows; ++y) {
        const unsigned char* row = data + std::ptrdiff_t(y) * strideBytes;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, row + std::size_t(x) * 4, sizeof pixel);
            if ((pixel >> 24) != 0xff) return false;
        }
    }
    return true;
}

}  // namespace quillmar::gfx
