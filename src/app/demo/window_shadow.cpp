#include "app/demo/window_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/pixel_effects.h"

namespace quillmar {

WindowShadow WindowShadow::of(const gfx::Image& window, double alpha, const Style& style) {
    const double opacity = std::min(style.opacity * alpha, 1.0);
    const double radius = style.radius, offsetY = style.offsetY;
    if (window.isNull() || !(opacity > 0) || !std::isfinite(radius) || !std::isfinite(offsetY)) return {};
    const double scale = window.scale();
    const double sigma = std::clamp(radius, 0.0, 256.0) * scale;
    const int shift = static_cast<int>(std::lround(std::clamp(offsetY, -256.0, 256.0) * scale));
    const int margin = gfx::gaussianBlurReach(sigma) + std::abs(shift);
    const int w = window.pixelWidth(), h = window.pixelHeight();
    gfx::Image shadow = gfx::Image::create(w + 2 * margin, h + 2 * margin, scale);
    if (shadow.isNull()) return {};
    const int inStride = window.stride() / 4, outStride = shadow.stride() / 4;
    const std::uint32_t* in = window.data();
    std::uint32_t* out = shadow.data();
    // The outline in black, moved down, then blurred.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = in[std::ptrdiff_t(y) * inStride + x] >> 24;
            const auto alpha = static_cast<std::uint32_t>(std::lround(a * opacity));
            out[std::ptrdiff_t(y + margin + shift) * outStride + x + margin] = alpha << 24;
        }
    gfx::gaussianBlur(out, shadow.pixelWidth(), shadow.pixelHeight(), shadow.stride(), sigma);
    // Under the window itself the shadow is hidden.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = in[std::ptrdiff_t(y) * inStride + x] >> 24;
            std::uint32_t& p = out[std::ptrdiff_t(y + margin) * outStride + x + margin];
            p = ((p >> 24) * (255 - a) + 127) / 255 << 24;
        }
    shadow.markDirty();
    return {shadow, {-margin / scale, -margin / scale, shadow.pixelWidth() / scale, shadow.pixelHeight() / scale}};
}

}  // namespace quillmar
