#pragma once
// Reference pictures kept beside the tests (tests/**/golden/*.png), found from any working folder
// through the source folder the build names. Set QUILLMAR_UPDATE_GOLDENS=1 to rewrite them, and
// look at every rewritten picture before committing it. On a mismatch the picture drawn now is
// left in the test's temporary folder for a look.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/font.h"
#include "gfx/path.h"
#include "gfx/image.h"
#include "gfx/render_target.h"
#include "gfx/text_layout.h"
#include "support/image_compare.h"

namespace quillmar::testing {

inline std::filesystem::path sourcePath(const std::string& relative) {
    return std::filesystem::path(QUILLMAR_SOURCE_DIR) / relative;
}

// The picture with its colour channels cut to 6 bits: the dither of smooth gradients is then
// mostly flat, so the file stays small, while every sprite keeps its edges.
inline gfx::Image sixBitsPerChannel(const gfx::Image& source) {
    gfx::Image image = source.copy();
    const int stride = image.stride() / 4;
    std::uint32_t* data = image.data();
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) data[y * stride + x] &= 0xFFFCFCFCu;
    image.markDirty();
    return image;
}

// Copies the pixels of `from` inside the pixel rectangle (x, y, width, height) to `to` at (left, top).
inline void copyPixels(const gfx::Image& from, int x, int y, int width, int height, gfx::Image& to, int left, int top) {
    const int fromStride = from.stride() / 4, toStride = to.stride() / 4;
    for (int row = 0; row < height; ++row)
        std::copy_n(from.data() + (y + row) * fromStride + x, width, to.data() + (top + row) * toStride + left);
    to.markDirty();
}

// The part of `picture` inside `frame` (points), kept to the picture.
inline gfx::Image croppedTo(const gfx::Image& picture, const gfx::Rect& frame) {
    const double s = picture.scale();
    const int x = std::clamp(static_cast<int>(frame.x * s), 0, picture.pixelWidth());
    const int y = std::clamp(static_cast<int>(frame.y * s), 0, picture.pixelHeight());
    const int w = std::clamp(static_cast<int>(frame.width * s), 1, picture.pixelWidth() - x);
    const int h = std::clamp(static_cast<int>(frame.height * s), 1, picture.pixelHeight() - y);
    gfx::Image part = gfx::Image::create(w, h, s);
    copyPixels(picture, x, y, w, h, part, 0, 0);
    return part;
}

// The picture over a white band naming what it shows, so that a reference sheet says which case
// each of its cells is.
inline gfx::Image captioned(const gfx::Image& picture, const std::string& caption) {
    constexpr double kBand = 16;
    const gfx::Size size{std::max(picture.size().width, 60.0), kBand};
    gfx::RenderTarget band(size, picture.scale());
    auto ctx = band.context();
    ctx.fill(gfx::Path::rect({0, 0, size.width, size.height}), gfx::Color::white(1));
    const gfx::TextLayout text(caption, gfx::Font::system(10), {.maxWidth = size.width - 8, .lineLimit = 1});
    ctx.draw(text, gfx::Point{4, kBand / 2}, gfx::Color::white(0.1), gfx::UnitPoint::leading());
    const gfx::Image label = band.takeImage();
    gfx::Image cell = gfx::Image::create(std::max(picture.pixelWidth(), label.pixelWidth()),
                                         picture.pixelHeight() + label.pixelHeight(), picture.scale());
    copyPixels(picture, 0, 0, picture.pixelWidth(), picture.pixelHeight(), cell, 0, 0);
    copyPixels(label, 0, 0, label.pixelWidth(), label.pixelHeight(), cell, 0, picture.pixelHeight());
    return cell;
}

// Pictures of one scale laid out in rows of `columns`, each in the top left corner of a cell as
// large as the largest, on a clear ground: one reference picture for a family of small ones.
inline gfx::Image sheetOf(const std::vector<gfx::Image>& pictures, int columns) {
    int cellWidth = 1, cellHeight = 1;
    for (const auto& p : pictures) {
        cellWidth = std::max(cellWidth, p.pixelWidth());
        cellHeight = std::max(cellHeight, p.pixelHeight());
    }
    const int count = static_cast<int>(pictures.size());
    const int rows = std::max(1, (count + columns - 1) / columns);
    gfx::Image sheet = gfx::Image::create(cellWidth * std::min(columns, std::max(count, 1)), cellHeight * rows,
                                          pictures.empty() ? 1.0 : pictures.front().scale());
    for (int i = 0; i < count; ++i) {
        const gfx::Image& p = pictures[static_cast<std::size_t>(i)];
        copyPixels(p, 0, 0, p.pixelWidth(), p.pixelHeight(), sheet, (i % columns) * cellWidth, (i / columns) * cellHeight);
    }
    return sheet;
}

// The picture must match the golden within 3/255 on every channel (both cut to 6 bits), but for
// at most `allowedPixels` pixels: a sprite of a point or two moved by a few points fails.
inline void expectMatchesGolden(const std::string& relative, const gfx::Image& drawn, int allowedPixels = 4) {
    const gfx::Image image = sixBitsPerChannel(drawn);
    const auto path = sourcePath(relative);
    if (std::getenv("QUILLMAR_UPDATE_GOLDENS")) {
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(image.writePng(path.string())) << path;
        return;
    }
    const auto golden = gfx::Image::readPng(path.string(), image.scale());
    ASSERT_TRUE(golden.has_value()) << path << " is missing";
    const gfx::ImageDifference diff = gfx::compareImages(image, *golden, 3.0 / 255.0);
    EXPECT_TRUE(diff.sameSize) << relative;
    if (diff.sameSize && diff.differingPixels <= allowedPixels) return;
    const auto actual = std::filesystem::path(::testing::TempDir()) / path.filename();
    image.writePng(actual.string());
    ADD_FAILURE() << relative << ": " << diff.differingPixels << " of " << diff.totalPixels
                  << " pixels differ (largest channel difference " << diff.maxChannelDelta << "); drawn now: "
                  << actual;
}

}  // namespace quillmar::testing
