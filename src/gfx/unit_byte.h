#pragma once
// The one conversion of a computed colour channel to an integer pixel value. std::clamp passes
// NaN through and a NaN converted to an integer is undefined, so every conversion goes through
// here: NaN gives 0, anything else is clamped to 0...top and rounded.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillmar::gfx {

// v rounded to the nearest integer in 0...top (halves away from zero).
inline std::uint32_t roundedChannel(double v, double top) {
    return std::isnan(v) ? 0u : static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, top)));
}

// The same in single precision, rounding by adding one half (as the vector paths do).
inline std::uint32_t roundedChannel(float v, float top) {
    return std::isnan(v) ? 0u : static_cast<std::uint32_t>(std::clamp(v, 0.0f, top) + 0.5f);
}

// A level of 0...1 as a byte.
inline std::uint32_t unitByte(double v) { return roundedChannel(v * 255.0, 255.0); }

// Straight-alpha red, green, blue and alpha of 0...1 as one premultiplied ARGB32 pixel.
inline std::uint32_t premultipliedPixel(double r, double g, double b, double a) {
    return unitByte(a) << 24 | unitByte(r * a) << 16 | unitByte(g * a) << 8 | unitByte(b * a);
}

}  // namespace quillmar::gfx
