#include "support/image_compare.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {

Color probe(const Image& image, Point p) {
    if (image.isNull() || !p.isFinite()) return Color::clear();
    return image.pixel(static_cast<int>(std::floor(p.x * image.scale())), static_cast<int>(std::floor(p.y * image.scale())));
}

bool colorsClose(const Color& a, const Color& b, double tol) {
    if (a.alpha <= tol && b.alpha <= tol) return true;  // both invisible: colour is meaningless
    return std::fabs(a.red - b.red) <= tol && std::fabs(a.green - b.green) <= tol &&
           std::fabs(a.blue - b.blue) <= tol && std::fabs(a.alpha - b.alpha) <= tol;
}

bool ImageDifference::matches(double maxFraction) const {
    return sameSize && differingPixels <= maxFraction * totalPixels;
}

ImageDifference compareImages(const Image& a, const Image& b, double tolerance) {
    ImageDifference d;
    if (a.isNull() || b.isNull() || a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight()) return d;
    d.sameSize = true;
    int w = a.pixelWidth(), h = a.pixelHeight();
    d.totalPixels = w * h;
    double sum = 0;
    const auto* pa = reinterpret_cast<const std::uint8_t*>(a.data());
    const auto* pb = reinterpret_cast<const std::uint8_t*>(b.data());
    for (int y = 0; y < h; ++y) {
        const auto* ra = reinterpret_cast<const std::uint32_t*>(pa + std::size_t(y) * a.stride());
        const auto* rb = reinterpret_cast<const std::uint32_t*>(pb + std::size_t(y) * b.stride());
        for (int x = 0; x < w; ++x) {
            double worst = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                double da = std::abs(int((ra[x] >> shift) & 0xFF) - int((rb[x] >> shift) & 0xFF)) / 255.0;
                worst = std::max(worst, da);
                sum += da;
            }
            d.maxChannelDelta = std::max(d.maxChannelDelta, worst);
            if (worst > tolerance) ++d.differingPixels;
        }
    }
    d.meanChannelDelta = d.totalPixels ? sum / (4.0 * d.totalPixels) : 0;
    return d;
}

Rect opaqueBounds(const Image& image, double alphaThreshold) {
    if (image.isNull()) return {};
    int w = image.pixelWidth(), h = image.pixelHeight();
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    const auto* base = reinterpret_cast<const std::uint8_t*>(image.data());
    auto limit = static_cast<std::uint32_t>(std::clamp(std::isnan(alphaThreshold) ? 0.0 : alphaThreshold, 0.0, 1.0) * 255.0);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(base + std::size_t(y) * image.stride());
        for (int x = 0; x < w; ++x) {
            if ((row[x] >> 24) > limit) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0) return {};
    return {double(x0), double(y0), double(x1 - x0 + 1), double(y1 - y0 + 1)};
}

}  // namespace quillmar::gfx
