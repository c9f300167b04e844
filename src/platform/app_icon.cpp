#include "platform/app_icon.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

namespace quillmar::platform {

namespace {
std::uint32_t channel(std::uint32_t argb, int shift) { return (argb >> shift) & 0xffu; }

// t and coverage are in 0...1, never NaN: the rounding below needs no guard (gfx/unit_byte.h, the
// drawing code's conversion, lies above this layer).
std::uint32_t mixPremultiplied(std::uint32_t top, std::uint32_t bottom, double t, double coverage) {
    auto lerp = [&](int shift) { return channel(top, shift) * (1 - t) + channel(bottom, shift) * t; };
    const double a = lerp(24) / 255.0 * coverage;
    auto premul = [&](int shift) { return static_cast<std::uint32_t>(std::lround(lerp(shift) * a)); };
    const auto alpha = static_cast<std::uint32_t>(std::lround(a * 255.0));
    return alpha << 24 | premul(16) << 16 | premul(8) << 8 | premul(0);
}

std::mutex representationsLock;

std::size_t area(int width, int height) {
    return static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
}
}  // namespace

// The pixels of an icon, or what draws them the first time they are read.
struct AppIcon::PixelSource::Store {
    Store(int w, int h) : width(w), height(h) {}
    const int width;
    const int height;
    std::once_flag once;
    std::atomic<bool> drawn{false};
    Painter painter;
    std::shared_ptr<std::vector<std::uint32_t>> pixels;

    const std::shared_ptr<std::vector<std::uint32_t>>& draw() {
        std::call_once(once, [this] {
            auto out = std::make_shared<std::vector<std::uint32_t>>(area(width, height), 0u);
            if (painter) painter(*out);
            out->resize(area(width, height), 0u);
            pixels = std::move(out);
            painter = nullptr;  // and whatever it held
            drawn.store(true, std::memory_order_release);
        });
        return pixels;
    }
};

AppIcon::AppIcon(int width, int height, std::vector<std::uint32_t> pixels)
    : width(std::max(width, 0)), height(std::max(height, 0)) {
    source_.store_ = std::make_shared<PixelSource::Store>(this->width, this->height);
    pixels.resize(area(width, height), 0u);
    source_.store_->pixels = std::make_shared<std::vector<std::uint32_t>>(std::move(pixels));
    std::call_once(source_.store_->once, [] {});  // nothing to draw
    source_.store_->drawn.store(true, std::memory_order_release);
}

AppIcon::AppIcon(int width, int height, Painter painter) : width(std::max(width, 0)), height(std::max(height, 0)) {
    source_.store_ = std::make_shared<PixelSource::Store>(this->width, this->height);
    source_.store_->painter = std::move(painter);
}

int AppIcon::PixelSource::width() const { return store_->width; }
int AppIcon::PixelSource::height() const { return store_->height; }
const std::vector<std::uint32_t>& AppIcon::PixelSource::pixels() const { return *store_->draw(); }

const std::vector<std::uint32_t>& AppIcon::pixels() const { return source_.pixels(); }

std::shared_ptr<const std::vector<std::uint32_t>> AppIcon::sharedPixels() const { return source_.store_->draw(); }

bool AppIcon::isDrawn() const { return source_.store_->drawn.load(std::memory_order_acquire); }

std::shared_ptr<const AppIcon> AppIcon::representation(int w, int h,
                                                       const std::function<std::shared_ptr<const AppIcon>()>& make) const {
    {
        std::lock_guard lock(representationsLock);
        for (const auto& r : representations_)
            if (r->width == w && r->height == h) return r;
    }
    // Made outside the lock: making one may read this icon's pixels, which may draw them.
    auto made = make ? make() : nullptr;
    if (!made || made.get() == this || made->width != w || made->height != h) return made;
    std::lock_guard lock(representationsLock);
    for (const auto& r : representations_)
        if (r->width == w && r->height == h) return r;  // another thread was first
    if (representations_.size() >= kMaxRepresentations) representations_.erase(representations_.begin());
    representations_.push_back(made);
    return made;
}

std::shared_ptr<const AppIcon> AppIcon::roundedSquare(int size, std::uint32_t topArgb, std::uint32_t bottomArgb) {
    size = std::clamp(size, 1, 1024);
    return std::make_shared<AppIcon>(size, size, [size, topArgb, bottomArgb](std::vector<std::uint32_t>& pixels) {
        // The tile fills 80% of the canvas, as icons leave a margin around their artwork.
        const double inset = size * 0.1;
        const double lo = inset, hi = size - inset;
        const double radius = (hi - lo) * 0.225;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double cx = std::clamp(px, lo + radius, hi - radius);
                const double cy = std::clamp(py, lo + radius, hi - radius);
                const double d = std::hypot(px - cx, py - cy);
                // One pixel of anti-aliasing along the edge.
                const double coverage = std::clamp(radius - d + 0.5, 0.0, 1.0);
                if (coverage <= 0) continue;
                const double t = std::clamp((py - lo) / std::max(hi - lo, 1.0), 0.0, 1.0);
                pixels[static_cast<std::size_t>(y * size + x)] = mixPremultiplied(topArgb, bottomArgb, t, coverage);
            }
        }
    });
}

}  // namespace quillmar::platform
