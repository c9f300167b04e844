#include "windows/app_icon_cache.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "gfx/unit_byte.h"
#include "platform/screens.h"
#include "platform/workspace.h"
#include "runtime/world.h"

namespace quillmar {

std::string AppIconCache::key(const platform::RunningApplication& app) {
    if (app.bundleIdentifier && !app.bundleIdentifier->empty()) return *app.bundleIdentifier;
    if (app.executablePath && !app.executablePath->empty()) return *app.executablePath;
    return "pid:" + std::to_string(app.processIdentifier);
}

int AppIconCache::iconPixels() {
    double scale = 1;
    if (auto* screens = runtime::World::find<platform::Screens>())
        for (const auto& screen : screens->screens())
            if (std::isfinite(screen.backingScaleFactor)) scale = std::max(scale, screen.backingScaleFactor);
    return static_cast<int>(std::lround(kIconPoints * std::min(scale, 4.0)));
}

platform::AppIconRef AppIconCache::icon(const platform::RunningApplication& app) {
    const int pixels = iconPixels();
    if (pixels != entryPixels_) {
        entries_.clear();
        entryPixels_ = pixels;
    }
    const std::string k = key(app);
    if (auto it = entries_.find(k); it != entries_.end()) return it->second;
    if (entries_.size() >= kCapacity) entries_.clear();
    platform::AppIconRef source = app.icon;
    if (!source) source = platform::Workspace::shared().iconForFile(app.bundlePath.value_or("/Applications"));
    // The scaled copy is the source's own: one made before the cache was last emptied comes back.
    platform::AppIconRef icon =
        source ? source->representation(pixels, pixels, [&] { return scaled(source, pixels); }) : source;
    entries_[k] = icon;
    return icon;
}

void AppIconCache::removeProcessEntry(std::int32_t pid) { entries_.erase("pid:" + std::to_string(pid)); }

platform::AppIconRef AppIconCache::scaled(const platform::AppIconRef& icon, int size) {
    if (!icon || icon->width <= 0 || icon->height <= 0) return icon;
    if (icon->width == size && icon->height == size) return icon;
    // Drawn when first shown, like the icon it is made from: a catalogue of thousands of apps
    // holds no pixels for the icons nobody looks at.
    return std::make_shared<platform::AppIcon>(size, size, [icon = icon->pixelSource(), size](std::vector<std::uint32_t>& out) {
        const std::vector<std::uint32_t>& in = icon.pixels();
        const int width = icon.width(), height = icon.height();
        if (size % width == 0 && size % height == 0) {
            // A whole-number enlargement: every pixel is one source pixel repeated, no averaging.
            const int fx = size / width, fy = size / height;
            for (int y = 0; y < size; ++y) {
                const std::uint32_t* src = in.data() + static_cast<std::size_t>(y / fy) * static_cast<std::size_t>(width);
                std::uint32_t* dst = out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size);
                for (int x = 0; x < size; ++x) dst[x] = src[x / fx];
            }
            return;
        }
        const double sx = static_cast<double>(width) / size;
        const double sy = static_cast<double>(height) / size;
        for (int y = 0; y < size; ++y) {
            const double y0 = y * sy, y1 = (y + 1) * sy;
            for (int x = 0; x < size; ++x) {
                const double x0 = x * sx, x1 = (x + 1) * sx;
                double acc[4] = {0, 0, 0, 0};
                double total = 0;
                for (int py = static_cast<int>(std::floor(y0)); py < static_cast<int>(std::ceil(y1)) && py < height; ++py) {
                    const double wy = std::min<double>(py + 1, y1) - std::max<double>(py, y0);
                    for (int px = static_cast<int>(std::floor(x0)); px < static_cast<int>(std::ceil(x1)) && px < width; ++px) {
                        const double w = wy * (std::min<double>(px + 1, x1) - std::max<double>(px, x0));
                        if (w <= 0) continue;
                        const std::uint32_t p = in[static_cast<std::size_t>(py) * static_cast<std::size_t>(width) + static_cast<std::size_t>(px)];
                        for (int c = 0; c < 4; ++c) acc[c] += w * ((p >> (8 * c)) & 0xffu);
                        total += w;
                    }
                }
                std::uint32_t value = 0;
                if (total > 0) {
                    for (int c = 0; c < 4; ++c) {
                        value |= gfx::roundedChannel(acc[c] / total, 255.0) << (8 * c);
                    }
                }
                out[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)] = value;
            }
        }
    });
}

}  // namespace quillmar
