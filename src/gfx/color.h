#pragma once
// sRGB colour with straight (not premultiplied) alpha. Every component is clamped to 0...1 when
// the colour is made; a component that is not a number becomes 0.

#include <cstdint>

namespace quillmar::gfx {

struct Color {
    double red = 0, green = 0, blue = 0, alpha = 0;

    constexpr Color() = default;
    Color(double r, double g, double b, double a = 1.0);

    static Color rgb(double r, double g, double b, double a = 1.0) { return {r, g, b, a}; }
    // A grey of the given white level.
    static Color white(double level, double a = 1.0) { return {level, level, level, a}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color whiteColor() { return {1, 1, 1, 1}; }
    static Color clear() { return {0, 0, 0, 0}; }
    // 0xRRGGBB, opaque.
    static Color hex(std::uint32_t rgb);

    // This colour with its alpha multiplied by k (clamped).
    Color opacity(double k) const;
    // This colour with its alpha replaced.
    Color withAlpha(double a) const;
    // Each channel multiplied by k (alpha kept).
    Color scaled(double k) const;
    // Linear mix in sRGB: t = 0 gives this colour, t = 1 gives `other`.
    Color mix(const Color& other, double t) const;

    bool isClear() const { return alpha <= 0; }
    friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace quillmar::gfx
