#pragma once
// The one conversion of a computed colour channel to an integer pixel value. std::clamp passes
// NaN through and a NaN converted to an integer is undefined, so every conversion of one value
// goes through here: NaN gives 0, anything else is clamped to 0...top and rounded. Two kinds
// stand apart: vector lanes (SSE, AVX2), clamped by min/max and converted by instructions whose
// result for NaN is defined; and the generic app icon of the platform layer (AppIcon::
// roundedSquare), which lies below the drawing code and mixes two byte colours by weights
// clamped to 0...1 from a size clamped to 1...1024, so that nothing it converts can be NaN.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillmar::gfx {

// v rounded to the nearest integer in 0...top (halves away from zero).
inline std::uint32_t roundedChannel(double v, double top) {
    return std::isnan(v) ? 0u : static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, top)));
}

// The same in single precision, rounded up where v's fraction reaches 1 - threshold (threshold
// in 0...1): with thresholds that vary from pixel to pixel, the ordered dither of a gradient.
inline std::uint32_t ditheredChannel(float v, float threshold, float top) {
    return std::isnan(v) ? 0u : static_cast<std::uint32_t>(std::clamp(v, 0.0f, top) + threshold);
}

// The same rounding at one half (as the vector paths do).
inline std::uint32_t roundedChannel(float v, float top) { return ditheredChannel(v, 0.5f, top); }

// A level of 0...1 as a byte.
inline std::uint32_t unitByte(double v) { return roundedChannel(v * 255.0, 255.0); }

// Straight-alpha red, green, blue and alpha of 0...1 as one premultiplied ARGB32 pixel.
inline std::uint32_t premultipliedPixel(double r, double g, double b, double a) {
    return unitByte(a) << 24 | unitByte(r * a) << 16 | unitByte(g * a) << 8 | unitByte(b * a);
}

}  // namespace quillmar::gfx
