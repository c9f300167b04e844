#include "gfx/pixel_effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quillmar::gfx {
namespace {

TEST(PixelEffectsTest, BlurIsSymmetricKeepsMassAndMatchesItsSigma) {
    const int w = 101, h = 101;
    std::vector<std::uint32_t> px(w * h, 0);
    for (int y = 45; y <= 55; ++y)
        for (int x = 45; x <= 55; ++x) px[y * w + x] = 0xFF000000u;
    gaussianBlur(px.data(), w, h, w * 4, 6);
    auto a = [&](int x, int y) { return int(px[y * w + x] >> 24); };
    double mass = 0, spread = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            mass += a(x, y);
            spread += a(x, y) * (x - 50.0) * (x - 50.0);
        }
    EXPECT_NEAR(mass, 121 * 255, 121 * 255 * 0.03);
    for (int d = 1; d < 30; d += 3) {
        EXPECT_NEAR(a(50 - d, 50), a(50 + d, 50), 1);
        EXPECT_NEAR(a(50, 50 - d), a(50, 50 + d), 1);
    }
    // Variance along x: the square's own (10) plus the blur's sigma squared.
    EXPECT_NEAR(std::sqrt(spread / mass - 10.0), 6, 0.5);
}

TEST(PixelEffectsTest, SaturationAndTintKeepAlphaAndPremultiplication) {
    // A half-transparent pure red, premultiplied.
    std::vector<std::uint32_t> px{0x80800000u};
    adjustSaturation(px.data(), 1, 1, 4, 0);
    std::uint32_t p = px[0];
    EXPECT_EQ(p >> 24, 0x80u);
    EXPECT_EQ((p >> 16) & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
    tintAlpha(px.data(), 1, 1, 4, Color(0, 0, 1, 1));
    EXPECT_EQ(px[0], 0x80000080u);
}

}  // namespace
}  // namespace quillmar::gfx
