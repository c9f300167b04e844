#include "app/demo/window_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/pixel_effects.h"

namespace quillmar {

namespace {

double sigmaOf(const WindowShadow::Style& style, double scale) { return std::clamp(style.radius, 0.0, 256.0) * scale; }
bool usable(const WindowShadow::Style& style, double scale) {
    return std::isfinite(style.radius) && std::isfinite(style.offsetY) && std::isfinite(scale) && scale > 0 && scale <= 16;
}

}  // namespace

int WindowShadow::drop(const Style& style, double scale) {
    return usable(style, scale) ? static_cast<int>(std::lround(std::clamp(style.offsetY, -256.0, 256.0) * scale)) : 0;
}

int WindowShadow::reach(const Style& style, double scale) {
    return usable(style, scale) ? gfx::gaussianBlurReach(sigmaOf(style, scale)) + std::abs(drop(style, scale)) : 0;
}

WindowShadow WindowShadow::cast(const gfx::Image& window, double alpha, const Style& style) {
    const double opacity = std::min(style.opacity * alpha, 1.0);
    if (window.isNull() || !(opacity > 0) || !usable(style, window.scale())) return {};
    const double scale = window.scale();
    const int shift = drop(style, scale), margin = reach(style, scale);
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
    gfx::gaussianBlur(out, shadow.pixelWidth(), shadow.pixelHeight(), shadow.stride(), sigmaOf(style, scale));
    shadow.markDirty();
    return {shadow, {-margin / scale, -margin / scale, shadow.pixelWidth() / scale, shadow.pixelHeight() / scale}};
}

WindowShadow WindowShadow::of(const gfx::Image& window, double alpha, const Style& style) {
    WindowShadow shadow = cast(window, alpha, style);
    if (shadow.image.isNull()) return shadow;
    // Under the window itself the shadow is hidden.
    const int margin = reach(style, window.scale());
    const int w = window.pixelWidth(), h = window.pixelHeight();
    const int inStride = window.stride() / 4, outStride = shadow.image.stride() / 4;
    const std::uint32_t* in = window.data();
    std::uint32_t* out = shadow.image.data();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = in[std::ptrdiff_t(y) * inStride + x] >> 24;
            std::uint32_t& p = out[std::ptrdiff_t(y + margin) * outStride + x + margin];
            p = ((p >> 24) * (255 - a) + 127) / 255 << 24;
        }
    shadow.image.markDirty();
    return shadow;
}

}  // namespace quillmar
