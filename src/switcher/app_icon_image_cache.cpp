#include "switcher/app_icon_image_cache.h"

#include <cstring>

namespace quillmar {

gfx::Image AppIconImageCache::image(const platform::AppIconRef& icon) {
    if (!icon || icon->width <= 0 || icon->height <= 0) return {};
    auto it = entries_.find(icon.get());
    if (it != entries_.end()) {
        if (it->second.icon.lock() == icon) return it->second.image;
        entries_.erase(it);  // a new icon at the address of one that is gone
    }
    // Forget icons that no longer exist before adding one.
    std::erase_if(entries_, [](const auto& e) { return e.second.icon.expired(); });

    // The image reads the icon's own pixels (rows of an icon are packed as Cairo wants them); a
    // copy only if they cannot be wrapped.
    const auto pixels = icon->sharedPixels();
    auto image = gfx::Image::wrapping(pixels->data(), icon->width, icon->height, pixels, 1.0);
    if (image.isNull()) {
        image = gfx::Image::create(icon->width, icon->height, 1.0);
        const int stride = image.stride() / 4;
        auto* dst = image.data();
        for (int y = 0; y < icon->height && y < image.pixelHeight(); ++y)
            std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * stride,
                        pixels->data() + static_cast<std::ptrdiff_t>(y) * icon->width,
                        sizeof(std::uint32_t) * static_cast<std::size_t>(std::min(icon->width, image.pixelWidth())));
        image.markDirty();
    }
    ++conversions_;
    entries_[icon.get()] = Entry{icon, image};
    return image;
}

}  // namespace quillmar
