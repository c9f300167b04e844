#pragma once
// An application's icon as a small pixel image: premultiplied ARGB, 32 bits a pixel, rows top to
// bottom (the layout of Cairo's ARGB32 image surfaces, so the drawing layer can wrap it without a
// conversion). Icons are shared and immutable once built.
//
// An icon may be given as a painter instead of pixels: it is then drawn the first time its pixels
// are read, so a desktop of thousands of apps holds a few bytes for each icon nobody has shown.
//
// An icon keeps the representations made from it at other sizes (a scaled copy for the screens'
// pixel density), as long as it lives itself: whoever asks for the same size again gets the same
// representation, drawn once.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
    bool isDrawn() const;

    // This icon's pixels, for a painter of a representation made from it: the source holds what
    // draws the pixels, not the icon, so a representation the icon keeps does not keep the icon.
    class PixelSource {
    public:
        int width() const;
        int height() const;
        // Draws the icon first if it has not been drawn yet.
        const std::vector<std::uint32_t>& pixels() const;

    private:
        friend class AppIcon;
        struct Store;
        std::shared_ptr<Store> store_;
    };
    PixelSource pixelSource() const { return source_; }

    // The representation of this icon at width × height pixels that it keeps, or, the first time,
    // the one `make` returns, kept from then on (at most kMaxRepresentations sizes, the one made
    // longest ago dropped first). `make` reads this icon through pixelSource(); an icon of another
    // size than asked for, or this icon itself, is returned without being kept.
    static constexpr std::size_t kMaxRepresentations = 4;
    std::shared_ptr<const AppIcon> representation(int width, int height,
                                                  const std::function<std::shared_ptr<const AppIcon>()>& make) const;

    // A rounded square filled with a vertical gradient from top to bottom (straight ARGB colours),
    // the look of a generic application icon, drawn when first read. size is clamped to 1...1024.
    static std::shared_ptr<const AppIcon> roundedSquare(int size, std::uint32_t topArgb, std::uint32_t bottomArgb);

private:
    PixelSource source_;
    // Made longest ago first; guarded by one lock for all icons (a desktop holds thousands of
    // icons, and representations are asked for rarely).
    mutable std::vector<std::shared_ptr<const AppIcon>> representations_;
};

using AppIconRef = std::shared_ptr<const AppIcon>;

}  // namespace quillmar::platform
