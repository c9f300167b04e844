#pragma once
// An application's icon as a small pixel image: premultiplied ARGB, 32 bits a pixel, rows top to
// bottom (the layout of Cairo's ARGB32 image surfaces, so the drawing layer can wrap it without a
// conversion). Icons are shared and immutable once built.
//
// An icon may be given as a painter instead of pixels: it is then drawn the first time its pixels
// are read, so a desktop of thousands of apps holds a few bytes for each icon nobody has shown.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace quillmar::platform {

class AppIcon {
public:
    // Fills `pixels` (width × height values, all zero) with the artwork.
    using Painter = std::function<void(std::vector<std::uint32_t>& pixels)>;

    // An icon of these pixels; missing ones are transparent, extra ones are dropped.
    AppIcon(int width, int height, std::vector<std::uint32_t> pixels);
    // An icon that `painter` draws when its pixels are first read.
    AppIcon(int width, int height, Painter painter);
    AppIcon(const AppIcon&) = delete;
    AppIcon& operator=(const AppIcon&) = delete;

    const int width;
    const int height;

    // width × height values; draws the icon first if it has not been drawn yet.
    const std::vector<std::uint32_t>& pixels() const;
    std::uint32_t pixel(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0u : pixels()[static_cast<std::size_t>(y * width + x)];
    }
    // The same pixels, shared: for a view of them (an image wrapping them) that may outlive the
    // icon.
    std::shared_ptr<const std::vector<std::uint32_t>> sharedPixels() const;
    // Whether the pixels exist yet (reading them would not draw).
    bool isDrawn() const { return drawn_.load(std::memory_order_acquire); }

    // A rounded square filled with a vertical gradient from top to bottom (straight ARGB colours),
    // the look of a generic application icon, drawn when first read. size is clamped to 1...1024.
    static std::shared_ptr<const AppIcon> roundedSquare(int size, std::uint32_t topArgb, std::uint32_t bottomArgb);

private:
    mutable std::once_flag once_;
    mutable std::atomic<bool> drawn_{false};
    mutable Painter painter_;
    mutable std::shared_ptr<std::vector<std::uint32_t>> pixels_;
};

using AppIconRef = std::shared_ptr<const AppIcon>;

}  // namespace quillmar::platform
