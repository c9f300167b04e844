#include "brand/logo_image.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/draw_recorder.h"

namespace quillmar {
namespace {

using gfx::DrawRecord;
using gfx::DrawRecorder;

TEST(LogoImageTest, CacheKeysCountHalfPointsRoundedAwayFromZero) {
    struct Case {
        double size;
        std::int64_t halfPoints;
    };
    for (const Case& c : std::vector<Case>{{16.0, 32}, {16.2, 32}, {16.25, 33}, {16.24, 32}, {-16.25, -33}, {0, 0},
                                           {512, 1024}, {0.2, 0}})
        EXPECT_EQ(LogoImage::cacheKey(c.size, true, false)->sizeHalfPt, c.halfPoints) << c.size;
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 5e18, -1e300})
        EXPECT_FALSE(LogoImage::cacheKey(bad, false, false)) << bad;
}

TEST(LogoImageTest, EachKeyYieldsOneSharedImage) {
    auto first = LogoImage::makeAppIcon(16.0, false);
    EXPECT_EQ(LogoImage::makeAppIcon(16.2, false), first);  // same half-point step
    EXPECT_EQ(LogoImage::makeAppIcon(16.2, false)->size().width, 16.0);
    EXPECT_NE(LogoImage::makeAppIcon(16.25, false), first);
    EXPECT_NE(LogoImage::makeAppIcon(16.0, true), first);

    auto glyph = LogoImage::makeMenuBarIcon(18);
    EXPECT_NE(glyph, LogoImage::makeAppIcon(18, false));
    EXPECT_NE(glyph, LogoImage::makeAppIcon(18, true));
    EXPECT_EQ(glyph, LogoImage::makeMenuBarIcon(18.1));
    EXPECT_TRUE(glyph->isTemplate());
    EXPECT_FALSE(first->isTemplate());

    // Sizes without a key still give an image (of no size), never a cached one.
    auto odd = LogoImage::makeAppIcon(std::numeric_limits<double>::quiet_NaN(), true);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->size().width, 0);
    EXPECT_NE(odd, LogoImage::makeAppIcon(std::numeric_limits<double>::quiet_NaN(), true));
}

// The records of the badge drawn `width` points wide.
std::vector<DrawRecord> drawBadge(double width, bool padding) {
    auto recorder = DrawRecorder::make({width, width});
    auto ctx = DrawRecorder::contextFor(recorder);
    EXPECT_TRUE(LogoImage::makeAppIcon(width, padding)->draw(ctx, {0, 0, width, width}));
    return recorder->records();
}

bool hasShadowOf(const std::vector<DrawRecord>& records, const gfx::Color& color) {
    for (const auto& r : records)
        for (const auto& f : r.filters)
            if (f.kind == gfx::Filter::Kind::shadow && f.color == color) return true;
    return false;
}

TEST(LogoImageTest, DropShadowOnlyWithPaddingFromThirtyTwoPoints) {
    const gfx::Color drop(0, 0.08, 0.25, 0.3), card(0, 0.16, 0.48, 0.36);
    EXPECT_FALSE(hasShadowOf(drawBadge(31, true), drop));
    EXPECT_TRUE(hasShadowOf(drawBadge(32, true), drop));
    EXPECT_FALSE(hasShadowOf(drawBadge(512, false), drop));
    for (bool padding : {true, false}) EXPECT_TRUE(hasShadowOf(drawBadge(16, padding), card));

    // The drop shadow falls downwards on the canvas (y down), scaled with the badge.
    for (const auto& r : drawBadge(100, true))
        for (const auto& f : r.filters)
            if (f.color == drop) {
                EXPECT_NEAR(f.y, 1.6, 1e-9);
                EXPECT_NEAR(f.radius, 3.6, 1e-9);
            }
}

TEST(LogoImageTest, GeometryFollowsTheDesignSquare) {
    // Without padding the outline fills 2...98 of a 100-point square.
    const auto records = drawBadge(100, false);
    bool sawRim = false;
    for (const auto& r : records) {
        if (r.op != DrawRecord::Op::stroke || r.shadingKind != gfx::Shading::Kind::linearGradient) continue;
        sawRim = true;
        EXPECT_NEAR(r.deviceBounds.minX(), 2, 1e-6);
        EXPECT_NEAR(r.deviceBounds.minY(), 2, 1e-6);  // the top middle, 98 above the bottom
        EXPECT_NEAR(r.deviceBounds.maxX(), 98, 1e-6);
        EXPECT_NEAR(r.deviceBounds.maxY(), 98, 1e-6);
        EXPECT_NEAR(r.strokeStyle.lineWidth * r.transform.maxScale(), 1.8 * 120.0 / 103.0, 1e-9);
    }
    EXPECT_TRUE(sawRim);

    // The panel's hairline never drops below half a point.
    for (auto [width, drawn] : std::vector<std::pair<double, double>>{{20, 0.5}, {100, 0.95}}) {
        bool sawPanel = false;
        for (const auto& r : drawBadge(width, true)) {
            if (r.op != DrawRecord::Op::stroke || r.colors.empty() || r.colors.front() != gfx::Color(1, 1, 1, 0.34))
                continue;
            sawPanel = true;
            EXPECT_NEAR(r.strokeStyle.lineWidth * r.transform.maxScale(), drawn, 1e-9) << width;
        }
        EXPECT_TRUE(sawPanel) << width;
    }
}

TEST(LogoImageTest, RasterisedImagesShowTheirShapes) {
    // Badge: opaque blue in the middle, clear in the padded corner.
    const auto badge = LogoImage::makeAppIcon(64, true)->rasterize(2.0);
    ASSERT_EQ(badge.pixelWidth(), 128);
    EXPECT_NEAR(badge.pixel(64, 40).alpha, 1.0, 0.01);   // centre card
    EXPECT_GT(badge.pixel(20, 110).blue, badge.pixel(20, 110).red);
    EXPECT_LT(badge.pixel(1, 1).alpha, 0.02);

    // Glyph: black frame, clear outside and inside the frame's gap.
    const auto glyph = LogoImage::makeMenuBarIcon(18)->rasterize(4.0);
    EXPECT_GT(glyph.pixel(36, 36).alpha, 0.9);  // centre card
    EXPECT_LT(glyph.pixel(36, 4).alpha, 0.05);  // above the frame
    EXPECT_LT(glyph.pixel(36 + 3 * 4, 36).alpha, 0.2);  // between card and side bar

    auto recorder = DrawRecorder::make();
    auto ctx = DrawRecorder::contextFor(recorder);
    EXPECT_FALSE(LogoImage::drawAppIcon(ctx, {0, 0, std::numeric_limits<double>::quiet_NaN(), 1}, true));
    EXPECT_FALSE(LogoImage::makeMenuBarIcon(18)->draw(ctx, {0, 0, 0, 0}));
    EXPECT_TRUE(recorder->records().empty());
}

}  // namespace
}  // namespace quillmar
