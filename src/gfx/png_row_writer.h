#pragma once
// Writes a PNG row by row, byte for byte as Cairo writes an image surface (the same chunks,
// colour type and compression: an image with no transparent pixel goes out as RGB, others as
// RGBA, un-premultiplied as Cairo does), so that a picture drawn band after band never needs
// its whole surface in memory. Cairo itself only writes whole surfaces; libpng, underneath
// both, keeps one row.
//
//     PngRowWriter png;
//     if (!png.open(path, width, height, /*opaque=*/true, &error)) ...
//     for each band: png.writeRows(data, rows, stride, &error);
//     png.finish(&error);
// A failure sets `error` to why ("No space left on device"); the caller names the file.

#include <cstdio>
#include <string>

namespace quillmar::gfx {

class PngRowWriter {
public:
    PngRowWriter() = default;
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // Creates the file and writes the header; `opaque` leaves out the alpha channel.
    bool open(const std::string& path, int width, int height, bool opaque, std::string* error = nullptr);
    // Appends rows of premultiplied ARGB32 pixels (Cairo's image layout), `width` wide.
    bool writeRows(const unsigned char* data, int rows, int strideBytes, std::string* error = nullptr);
    // Ends the file once every row is written.
    bool finish(std::string* error = nullptr);

    // Whether rows of premultiplied ARGB32 pixels are all opaque (what decides the colour type).
    static bool isOpaque(const unsigned char* data, int width, int rows, int strideBytes);

private:
    void close();
    bool fail(std::string* error, const std::string& what);

    std::FILE* file_ = nullptr;
    void* png_ = nullptr;   // png_structp
    void* info_ = nullptr;  // png_infop
    int width_ = 0, rowsLeft_ = 0;
};

}  // namespace quillmar::gfx
