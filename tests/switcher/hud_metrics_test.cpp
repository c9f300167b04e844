// The strip's and the list's sizes from the entry count and the screen.

#include <gtest/gtest.h>

#include <limits>

#include "switcher/hud_metrics.h"
#include "switcher/hud_strip_viewport.h"
#include "switcher/vertical_hud_metrics.h"

namespace quillmar {
namespace {

TEST(HUDMetricsTest, FiveItemsOnAWideScreenUseTheFullBox) {
    const auto m = HUDMetrics::make(5, 1440);
    EXPECT_EQ(m, (HUDMetrics{110, 86, 18, 8, 24, 22, 14, 28, 13}));
    EXPECT_EQ(HUDMetrics::make(0, 1440), HUDMetrics::make(1, 1440));
    EXPECT_EQ(HUDMetrics::make(1, 1440).boxSize, 110);
}

TEST(HUDMetricsTest, ManyItemsShrinkTheBoxDownToItsFloor) {
    // 1392 available: 12 items give (1392 - 48 - 88) / 12 = 104.67.
    auto m = HUDMetrics::make(12, 1440);
    EXPECT_EQ(m.boxSize, 104);
    EXPECT_EQ(m.itemSpacing, 8);
    // 20 items: 61.4 is tight, so (1392 - 28 - 76) / 20 = 64.4.
    m = HUDMetrics::make(20, 1440);
    EXPECT_EQ(m.boxSize, 64);
    EXPECT_EQ(m.itemSpacing, 4);
    EXPECT_EQ(m.horizontalPadding, 14);
    EXPECT_EQ(m.fontSize, 11);  // round(12.5 * 0.84) = round(10.5)
    EXPECT_EQ(m.hudCornerRadius, 20);  // round(28 * 0.7) = 19.6
    m = HUDMetrics::make(200, 1440);
    EXPECT_EQ(m.boxSize, 36);
    EXPECT_EQ(m.hudCornerRadius, 20);
    EXPECT_GE(m.fontSize, 10.5);
}

TEST(HUDMetricsTest, TightnessStartsBelowSeventyTwo) {
    EXPECT_EQ(HUDMetrics::make(1, 300), HUDMetrics::make(1, 368));  // both use 320 available
    // Five items on 488 points: (440 - 48 - 32) / 5 = 72 exactly, not tight.
    EXPECT_EQ(HUDMetrics::make(5, 488).itemSpacing, 8);
    EXPECT_EQ(HUDMetrics::make(5, 488).boxSize, 72);
    // A hair narrower is tight: (439.95 - 28 - 16) / 5 = 79.19.
    EXPECT_EQ(HUDMetrics::make(5, 487.95).itemSpacing, 4);
    EXPECT_EQ(HUDMetrics::make(5, 487.95).boxSize, 79);
    EXPECT_EQ(HUDMetrics::make(5, std::numeric_limits<double>::quiet_NaN()), HUDMetrics::make(5, 0));
}

TEST(HUDStripViewportTest, BuiltEntriesHoldEveryBoxInSightOfEverySelectionInReach) {
    const auto m = HUDMetrics::make(1000, 1440);
    // A strip that fits builds all of it.
    const auto five = HUDMetrics::make(5, 1440);
    EXPECT_EQ(HUDStripViewport::builtEntries(five, 5, 1, 1, 1440), (HUDStripViewport::EntryRange{0, 4}));
    EXPECT_EQ(HUDStripViewport::builtEntries(m, 0, 0, 0, 1440).count(), 0);
    for (const auto& [low, high] : {std::pair{0, 0}, {1, 1}, {500, 500}, {999, 999}, {10, 700}, {700, 10}}) {
        const auto r = HUDStripViewport::builtEntries(m, 1000, low, high, 1440);
        for (int sel = std::min(low, high); sel <= std::max(low, high); sel += 7) {
            const auto v = HUDStripViewport::make(m, 1000, sel, 1440);
            for (int i = 0; i < 1000; ++i) {
                const double x = v.boxCenterX(i) - v.scrollOffset;
                const bool inSight = x + m.boxSize / 2 > 0 && x - m.boxSize / 2 < v.viewportWidth;
                if (inSight) {
                    ASSERT_TRUE(i >= r.first && i <= r.last) << i << " for " << sel;
                }
            }
        }
        // Far less than the whole row, unless the reach spans most of it.
        if (std::abs(high - low) < 10) {
            EXPECT_LT(r.count(), 100) << low;
        }
    }
}

TEST(VerticalHUDMetricsTest, TiersAndScreenBounds) {
    EXPECT_EQ(VerticalHUDMetrics::make(9, 1440, 900).rowHeight, 40);
    EXPECT_EQ(VerticalHUDMetrics::make(10, 1440, 900).rowHeight, 33);
    EXPECT_EQ(VerticalHUDMetrics::make(14, 1440, 900).rowHeight, 33);
    const auto big = VerticalHUDMetrics::make(15, 1440, 900);
    EXPECT_EQ(big.rowHeight, 30);
    EXPECT_TRUE(big.usesScrollViewport);
    EXPECT_FALSE(VerticalHUDMetrics::make(14, 1440, 900).usesScrollViewport);

    EXPECT_EQ(big.panelWidth, 418);          // 417.6
    EXPECT_EQ(big.maxViewportHeight, 504);   // 540 clamped
    const auto small = VerticalHUDMetrics::make(3, 1280, 800);
    EXPECT_EQ(small.panelWidth, 371);
    EXPECT_EQ(small.maxViewportHeight, 480);
    const auto tiny = VerticalHUDMetrics::make(3, std::numeric_limits<double>::infinity(), -5);
    EXPECT_EQ(tiny.panelWidth, 368);
    EXPECT_EQ(tiny.maxViewportHeight, 340);
}

}  // namespace
}  // namespace quillmar
