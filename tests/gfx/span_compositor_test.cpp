// The span compositor blends many columns at a time (eight or four, by what the processor
// offers) and single columns at the ragged ends; every way must give the same pixels.

#include "gfx/span_compositor.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillmar::gfx {
namespace {

TEST(SpanCompositorTest, WideAndSingleColumnBlendsGiveTheSamePixels) {
    const int w = 61;
    std::vector<std::uint8_t> coverage(w);
    std::vector<std::uint32_t> background(w);
    for (int x = 0; x < w; ++x) {
        // Runs of full, empty and partial coverage, and an uneven premultiplied background.
        coverage[x] = x % 13 < 5 ? 255 : (x % 13 < 7 ? 0 : std::uint8_t(x * 37 % 256));
        std::uint32_t a = 40 + x * 3;
        background[x] = (a << 24) | ((a * (x % 5) / 4) << 16) | ((a / 2) << 8) | (a * (x % 3) / 2);
    }
    Gradient g({{Color(1, 0, 0, 1), 0}, {Color(0, 0.8, 0.3, 0.5), 0.6}, {Color(0, 0, 1, 1), 1}});
    const Shading shadings[] = {
        Shading::color(Color(0.2, 0.6, 0.9, 1)),
        Shading::color(Color(0.9, 0.3, 0.1, 0.6)),
        Shading::linearGradient(g, {3, 0}, {50, 10}),
        Shading::linearGradient(g, {10, 0}, {40, 0}, GradientExtend::none),
        Shading::radialGradient(g, {30, 2}, 2, 25),
        Shading::radialGradient(g, {20, 1}, 0, 12, GradientExtend::none),
    };
    for (std::size_t i = 0; i < std::size(shadings); ++i) {
        SpanCompositor c;
        ASSERT_TRUE(c.prepare(shadings[i], 0.9, AffineTransform::scale(1.5, 1.5)));
        for (int from : {0, 1, 3}) {
            std::vector<std::uint32_t> wide = background, single = background;
            c.blendRow(wide.data(), coverage.data(), 2, from, w);
            for (int x = from; x < w; ++x) c.blendRow(single.data(), coverage.data(), 2, x, x + 1);
            EXPECT_EQ(wide, single) << "shading " << i << " from " << from;
            for (int x = 0; x < from; ++x) EXPECT_EQ(wide[x], background[x]);
        }
    }
    // An opaque colour under full coverage replaces the pixel; no coverage keeps it.
    SpanCompositor opaque;
    ASSERT_TRUE(opaque.prepare(Shading::color(Color(0.2, 0.6, 0.9, 1)), 1.0, AffineTransform{}));
    std::vector<std::uint32_t> row = background;
    opaque.blendRow(row.data(), coverage.data(), 0, 0, w);
    for (int x = 0; x < w; ++x) {
        if (coverage[x] == 255) {
            EXPECT_EQ(row[x], 0xFF3399E6u) << x;
        } else if (coverage[x] == 0) {
            EXPECT_EQ(row[x], background[x]) << x;
        }
    }
}

}  // namespace
}  // namespace quillmar::gfx
