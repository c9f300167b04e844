// The span compositor blends many columns at a time (eight or four, by what the processor
// offers) and single columns at the ragged ends; every way must give the same pixels. Gentle
// gradients are dithered, so that a large glow shows no rings.

#include "gfx/span_compositor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/banded_png.h"
#include "gfx/render_target.h"
#include "support/temp_path.h"

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
    // Long full runs over a background that is clear, then even, then uneven: where eight columns
    // repeat the eight before them, a wide blend may reuse what those became.
    std::vector<std::uint8_t> fullRuns(w, 255);
    fullRuns[45] = 120;
    std::vector<std::uint32_t> evenRuns(w, 0);
    for (int x = 24; x < w; ++x) evenRuns[x] = x < 40 ? 0xCC283038u : background[x];
    Gradient g({{Color(1, 0, 0, 1), 0}, {Color(0, 0.8, 0.3, 0.5), 0.6}, {Color(0, 0, 1, 1), 1}});
    // Gentle enough to be dithered: translucent like a backdrop's tint, and opaque.
    Gradient tint({{Color(0.96, 0.96, 0.97, 0.8), 0}, {Color(0.90, 0.90, 0.92, 0.8), 1}});
    Gradient dusk({{Color(0.2, 0.3, 0.5, 1), 0}, {Color(0.25, 0.3, 0.45, 1), 1}});
    const Shading shadings[] = {
        Shading::color(Color(0.2, 0.6, 0.9, 1)),
        Shading::color(Color(0.9, 0.3, 0.1, 0.6)),
        Shading::linearGradient(g, {3, 0}, {50, 10}),
        Shading::linearGradient(g, {10, 0}, {40, 0}, GradientExtend::none),
        Shading::radialGradient(g, {30, 2}, 2, 25),
        Shading::radialGradient(g, {20, 1}, 0, 12, GradientExtend::none),
        Shading::linearGradient(tint, {0, 0}, {0, 300}),
        Shading::linearGradient(dusk, {0, -10}, {0, 200}),
        Shading::linearGradient(tint, {-20, 0}, {300, 200}),
        Shading::linearGradient(dusk, {10, 0}, {400, 30}, GradientExtend::none),
        Shading::radialGradient(tint, {30, 2}, 0, 300),
        Shading::radialGradient(dusk, {-5, 1}, 10, 330, GradientExtend::none),
    };
    for (std::size_t i = 0; i < std::size(shadings); ++i) {
        SpanCompositor c;
        ASSERT_TRUE(c.prepare(shadings[i], 0.9, AffineTransform::scale(1.5, 1.5), 3, 1));
        EXPECT_EQ(c.dithers(), i >= 6) << "shading " << i;
        for (const auto& [cov, beneath] : {std::pair{&coverage, &background}, std::pair{&fullRuns, &evenRuns}}) {
            for (int from : {0, 1, 3}) {
                for (int y : {2, 5}) {
                    std::vector<std::uint32_t> wide = *beneath, single = *beneath;
                    c.blendRow(wide.data(), cov->data(), y, from, w);
                    for (int x = from; x < w; ++x) c.blendRow(single.data(), cov->data(), y, x, x + 1);
                    EXPECT_EQ(wide, single) << "shading " << i << " from " << from << " row " << y;
                    for (int x = 0; x < from; ++x) EXPECT_EQ(wide[x], (*beneath)[x]);
                }
            }
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

// Along row y, from column x0 to x1, the longest run of equal sums of blue over the 4 × 4
// pixels to the lower right: a ring of one 8-bit level keeps the sum for as long as it is wide,
// while any dither (which mixes two levels within such a block) moves it every pixel or two.
int longestFlatRun(const Image& image, int y, int x0, int x1) {
    const int stride = image.stride() / 4;
    int longest = 0, run = 0, last = -1;
    for (int x = x0; x < x1; ++x) {
        int sum = 0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) sum += static_cast<int>(image.data()[(y + j) * stride + x + i] & 0xFFu);
        run = sum == last ? run + 1 : 1;
        last = sum;
        longest = std::max(longest, run);
    }
    return longest;
}

TEST(SpanCompositorTest, LargeGlowsAreDitheredSoTheirRowsShowNoBands) {
    // A room's warm glow, some thirty pixels to each 8-bit level of blue. Undithered, each level
    // is a ring that wide; dithered, neighbouring pixels mix the two levels around. Over a dark
    // room and over a light one: the result is dithered, not the glow alone.
    Color room(0.1, 0.08, 0.06, 1);
    auto glow = [&room](GraphicsContext& c) {
        c.fill(Path::rect({0, 0, 600, 120}), room);
        c.fill(Path::circle({0, 60}, 560),
               Shading::radialGradient(Gradient({{Color(1, 0.8, 0.5, 0.15), 0}, {Color(1, 0.8, 0.5, 0), 1}}), {0, 60}, 0, 560));
    };
    for (const Color& beneath : {Color(0.95, 0.94, 0.97, 1), room}) {
        room = beneath;
        const auto image = render({600, 120}, 1, glow)->image();
        for (int y : {20, 57, 60, 90}) EXPECT_LE(longestFlatRun(image, y, 20, 500), 8) << "row " << y;
    }
    const auto image = render({600, 120}, 1, glow)->image();
    // A small bulb's halo is steep: drawn as it always was, without a pattern.
    SpanCompositor halo;
    const Gradient fading({{Color(1, 0.2, 0.3, 0.6), 0}, {Color(1, 0.2, 0.3, 0), 1}});
    ASSERT_TRUE(halo.prepare(Shading::radialGradient(fading, {0, 0}, 0, 8), 1, AffineTransform::scale(2, 2)));
    EXPECT_FALSE(halo.dithers());
    ASSERT_TRUE(halo.prepare(Shading::radialGradient(fading, {0, 0}, 0, 400), 1, AffineTransform::scale(2, 2)));
    EXPECT_TRUE(halo.dithers());

    // The same every time, and the same drawn in bands of any height.
    const auto again = render({600, 120}, 1, glow)->image();
    EXPECT_TRUE(std::equal(image.data(), image.data() + 600 * 120, again.data()));
    const auto dir = quillmar::testing::snapshotDirectory("dither");
    ASSERT_TRUE(render({600, 120}, 1, glow)->writePng((dir / "whole.png").string()));
    ASSERT_TRUE(writePngInBands((dir / "bands.png").string(), {600, 120}, 1, glow, nullptr, 7));
    const auto whole = Image::readPng((dir / "whole.png").string()), bands = Image::readPng((dir / "bands.png").string());
    ASSERT_TRUE(whole && bands);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 600; x += 3) ASSERT_EQ(whole->pixel(x, y), bands->pixel(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace quillmar::gfx
