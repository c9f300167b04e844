#include "gfx/pixel_effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/unit_byte.h"

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

// A true 2-D Gaussian of the alpha channel (double precision, transparent outside), for
// comparing the fast blur against.
std::vector<double> referenceBlur(const std::vector<std::uint32_t>& px, int w, int h, double sigma) {
    const int r = static_cast<int>(std::ceil(4 * sigma));
    std::vector<double> k(2 * r + 1);
    double norm = 0;
    for (int i = -r; i <= r; ++i) norm += k[i + r] = std::exp(-i * i / (2 * sigma * sigma));
    for (double& v : k) v /= norm;
    std::vector<double> tmp(std::size_t(w) * h, 0), out(std::size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int i = -r; i <= r; ++i)
                if (x + i >= 0 && x + i < w) tmp[y * w + x] += k[i + r] * double(px[y * w + x + i] >> 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int i = -r; i <= r; ++i)
                if (y + i >= 0 && y + i < h) out[y * w + x] += k[i + r] * tmp[(y + i) * w + x];
    return out;
}

TEST(PixelEffectsTest, BlurFollowsATrueGaussianAndKeepsItsEnergyAtEveryScale) {
    // Sigmas on each of the blur's routes: full resolution, and reduced by 2, 4 and 8.
    for (double sigma : {1.5, 4.0, 12.0, 36.0}) {
        const int w = 300, h = 260;  // not multiples of the reduction
        std::vector<std::uint32_t> px(std::size_t(w) * h, 0);
        auto put = [&](int x, int y, std::uint32_t a) {
            px[y * w + x] = (a << 24) | (a << 16) | (a / 2 << 8) | (a / 3);
        };
        // A block, a bar and a few dots, well inside so that no energy falls off the edges.
        for (int y = 110; y < 150; ++y)
            for (int x = 120; x < 180; ++x) put(x, y, 255);
        for (int x = 100; x < 200; ++x) put(x, 160, 180);
        put(150, 95, 255);
        put(151, 95, 200);
        std::vector<std::uint32_t> original = px;
        double before = 0;
        for (std::uint32_t p : px) before += p >> 24;
        std::vector<double> ref = referenceBlur(px, w, h, sigma);
        gaussianBlur(px.data(), w, h, w * 4, sigma);
        double after = 0, peak = 0, worst = 0;
        for (std::size_t i = 0; i < px.size(); ++i) {
            after += px[i] >> 24;
            peak = std::max(peak, ref[i]);
            worst = std::max(worst, std::fabs(double(px[i] >> 24) - ref[i]));
            // Premultiplied stays premultiplied: no colour channel above alpha.
            EXPECT_LE((px[i] >> 16) & 0xFF, px[i] >> 24);
        }
        EXPECT_NEAR(after, before, before * 0.01) << sigma;
        // Three box passes are not a Gaussian, but close: within a tenth of the peak (and a
        // level, for rounding) everywhere.
        EXPECT_LE(worst, 0.1 * peak + 1) << sigma << ": peak " << peak;
        EXPECT_NE(px, original);
    }
}

TEST(PixelEffectsTest, BlurStaysInsideItsRowsAndIgnoresBadSigmas) {
    // Rows longer than the image (stride padding) are not written; bad sigmas change nothing.
    const int w = 9, h = 7, strideWords = 12;
    std::vector<std::uint32_t> px(std::size_t(strideWords) * h, 0xDEADBEEFu);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[y * strideWords + x] = (x == 4 && y == 3) ? 0xFFFFFFFFu : 0;
    std::vector<std::uint32_t> before = px;
    for (double bad : {0.0, -3.0, 0.1, std::nan(""), HUGE_VAL}) {
        gaussianBlur(px.data(), w, h, strideWords * 4, bad);
        EXPECT_EQ(px, before) << bad;
        px = before;
    }
    gaussianBlur(px.data(), w, h, strideWords * 4, 1.2);
    for (int y = 0; y < h; ++y)
        for (int x = w; x < strideWords; ++x) EXPECT_EQ(px[y * strideWords + x], 0xDEADBEEFu);
    EXPECT_LT(px[3 * strideWords + 4] >> 24, 255u);
    EXPECT_GT(px[3 * strideWords + 5] >> 24, 0u);
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
    // Tripled saturation pushes red past its alpha and blue below zero: both stop at the bounds.
    px[0] = 0x80604020u;
    adjustSaturation(px.data(), 1, 1, 4, 3);
    EXPECT_EQ(px[0] & 0xFFFF00FFu, 0x80800000u);
}

TEST(PixelEffectsTest, ChannelsBecomeRoundedBytesAndNotANumberBecomesZero) {
    EXPECT_EQ(premultipliedPixel(NAN, 0.5, 1, 1), 0xFF0080FFu);
    EXPECT_EQ(roundedChannel(std::nanf(""), 255.0f), 0u);
    EXPECT_EQ(roundedChannel(127.5f, 255.0f), 128u);
}

}  // namespace
}  // namespace quillmar::gfx
