#pragma once
// An application's icon as a small pixel image: premultiplied ARGB, 32 bits a pixel, rows top to
// bottom (the layout of Cairo's ARGB32 image surfaces, so the drawing layer can wrap it without a
// conversion). Icons are shared and immutable once built.

#include <cstdint>
#include <memory>
#include <vector>

namespace quillmar::platform {

struct AppIcon {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height premultiplied ARGB values

    std::uint32_t pixel(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0u : pixels[static_cast<std::size_t>(y * width + x)];
    }

    // A rounded square filled with a vertical gradient from top to bottom (straight ARGB colours),
    // the look of a generic application icon. size is clamped to 1...1024.
    static std::shared_ptr<const AppIcon> roundedSquare(int size, std::uint32_t topArgb, std::uint32_t bottomArgb);
};

using AppIconRef = std::shared_ptr<const AppIcon>;

}  // namespace quillmar::platform
