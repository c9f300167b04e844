#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "settings_ui/anodized_trackpad_surface.h"
#include "settings_ui/hardware_stage_view.h"
#include "settings_ui/stage_mini_hud_bar.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<TouchDot> fingersAt(std::vector<double> xs) {
    std::vector<TouchDot> dots;
    for (std::size_t i = 0; i < xs.size(); ++i) dots.push_back({static_cast<std::int32_t>(i), xs[i], 0.5, 1});
    return dots;
}

TEST(StageHighlightTest, FollowsOpenBarThenHoverThenFingers) {
    // The real bar wins, capped to the entries the stage shows.
    EXPECT_EQ(HardwareStageView::highlightedIndex(5, true, 7, fingersAt({0.9}), 0), 4);
    EXPECT_EQ(HardwareStageView::highlightedIndex(3, true, 1, {}, 2), 1);
    // No fingers: the hover scrub's entry, clamped into the list.
    EXPECT_EQ(HardwareStageView::highlightedIndex(4, false, 0, {}, 9), 3);
    EXPECT_EQ(HardwareStageView::highlightedIndex(4, false, 0, {}, -2), 0);
    // Fingers: the central 76 % of the pad spans the list.
    EXPECT_EQ(HardwareStageView::highlightedIndex(5, false, 0, fingersAt({0.5}), 0), 2);
    EXPECT_EQ(HardwareStageView::highlightedIndex(5, false, 0, fingersAt({0.10}), 4), 0);
    EXPECT_EQ(HardwareStageView::highlightedIndex(5, false, 0, fingersAt({0.95}), 0), 4);
    EXPECT_EQ(HardwareStageView::highlightedIndex(5, false, 0, fingersAt({0.4, 0.5, 0.6}), 0), 2);
    // Nothing to highlight, or nonsense coordinates: the first entry.
    EXPECT_EQ(HardwareStageView::highlightedIndex(0, true, 3, {}, 3), 0);
    EXPECT_EQ(HardwareStageView::highlightedIndex(5, false, 3, fingersAt({kNaN}), 3), 0);
}

TEST(StageHighlightTest, HoverScrubSpreadsTheListOverTheMiddleOfThePad) {
    EXPECT_FALSE(HardwareStageView::hoverScrubIndex(0.5, 0).has_value());
    EXPECT_EQ(HardwareStageView::hoverScrubIndex(0.9, 4), 3);
    EXPECT_EQ(HardwareStageView::hoverScrubIndex(0.14, 4), 0);
    EXPECT_EQ(HardwareStageView::hoverScrubIndex(0.5, 5), 2);
    EXPECT_EQ(HardwareStageView::hoverScrubIndex(kNaN, 5), 0);
}

// The texts come from the interface language, which the world picks.
class StageStatusTest : public testing::FreshWorldTest {};

TEST_F(StageStatusTest, StatusTextFollowsTheFirstRuleThatApplies) {
    EXPECT_EQ(HardwareStageView::statusText(false, true, 5, true), "Paused");
    EXPECT_EQ(HardwareStageView::statusText(true, true, 2, false), "App Paused");
    EXPECT_EQ(HardwareStageView::statusText(true, false, 6, false), "5-Finger Zen 🍵");
    EXPECT_EQ(HardwareStageView::statusText(true, false, 4, true), "4F Touch");
    EXPECT_EQ(HardwareStageView::statusText(true, false, 0, true), "Preview");
    EXPECT_EQ(HardwareStageView::statusText(true, false, 0, false), "Live");
}

TEST(StageMiniListTest, VisibleWindowKeepsTheHighlightInTheMiddleForEveryCountAndIndex) {
    for (int count = 0; count <= 8; ++count) {
        for (int h = -2; h <= count + 2; ++h) {
            const auto rows = StageMiniHUDBar::visibleListIndices(count, h);
            ASSERT_EQ(static_cast<int>(rows.size()), std::min(count, 3)) << count << " " << h;
            for (std::size_t k = 1; k < rows.size(); ++k) EXPECT_EQ(rows[k], rows[k - 1] + 1);
            if (rows.empty()) continue;
            EXPECT_GE(rows.front(), 0);
            EXPECT_LT(rows.back(), count);
            // A highlighted row inside the list is shown, in the middle unless at either end.
            if (h >= 0 && h < count) {
                EXPECT_TRUE(h >= rows.front() && h <= rows.back()) << count << " " << h;
                if (count > 3 && h > 0 && h < count - 1) {
                    EXPECT_EQ(rows[1], h);
                }
            }
        }
    }
    EXPECT_EQ(StageMiniHUDBar::visibleListIndices(5, 3), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(StageMiniHUDBar::visibleListIndices(5, INT_MIN), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(StageMiniHUDBar::visibleListIndices(5, INT_MAX), (std::vector<int>{2, 3, 4}));
}

TEST(TrackpadSurfaceTest, RulerTicksFollowSensitivityWithinFiveToFifteen) {
    EXPECT_EQ(AnodizedTrackpadSurface::tickCount(0.5), 5);
    EXPECT_EQ(AnodizedTrackpadSurface::tickCount(1.0), 7);
    EXPECT_EQ(AnodizedTrackpadSurface::tickCount(1.5), 11);  // 10.5 rounds away from zero
    EXPECT_EQ(AnodizedTrackpadSurface::tickCount(2.5), 15);
    EXPECT_EQ(AnodizedTrackpadSurface::tickCount(1e300), 15);
    EXPECT_EQ(AnodizedTrackpadSurface::tickCount(kNaN), 5);
}

TEST(TrackpadSurfaceTest, LiveDotsGrowWithPressureAndGhostRowsFollowTheGesture) {
    AnodizedTrackpadSurface s;
    const ui::Size pad{260, 74};
    s.liveTouches = {{1, 0.5, 1.0, 0}, {2, 0.25, 0.0, 1.6}, {3, 0.1, 0.5, 4}};
    auto dots = s.fingerDots(pad);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0].diameter, 11);
    EXPECT_EQ(dots[0].glowDiameter, 19);
    EXPECT_EQ(dots[0].center, (ui::Point{130, 0}));  // the far edge of the real pad is the top
    EXPECT_EQ(dots[1].diameter, 19);
    EXPECT_EQ(dots[1].center, (ui::Point{65, 74}));
    EXPECT_EQ(dots[2].glowDiameter, 27);

    // Resting ghosts: three fingers, the middle one higher; dimmer when switched off.
    s.liveTouches.clear();
    s.hoverRatioX = ui::Binding<std::optional<double>>::constant(std::nullopt);
    s.hoverRatioY = ui::Binding<double>::constant(0.6);
    dots = s.fingerDots(pad);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0].center.x, 113);
    EXPECT_EQ(dots[1].center.y, 74 * 0.48 - 2.5);
    EXPECT_EQ(dots[2].center.y, 74 * 0.48);
    EXPECT_EQ(dots[0].opacity, 0.55);
    s.isEnabled = false;
    EXPECT_EQ(s.fingerDots(pad)[0].opacity, 0.22);

    // Four fingers, following the pointer: the inner two higher, at the hover height.
    s.isEnabled = true;
    s.fingerCount = 4;
    s.hoverRatioX = ui::Binding<std::optional<double>>::constant(0.14);
    dots = s.fingerDots(pad);
    ASSERT_EQ(dots.size(), 4u);
    EXPECT_DOUBLE_EQ(dots[0].center.x, 0.14 * 260 - 25);
    EXPECT_DOUBLE_EQ(dots[1].center.y, 74 * 0.6 - 2.5);
    EXPECT_DOUBLE_EQ(dots[3].center.y, 74 * 0.6);
    EXPECT_EQ(dots[0].diameter, 12);
    EXPECT_EQ(dots[0].glowDiameter, 20);

    // The top-edge trigger: two level fingers near the top whatever the pointer's height.
    s.triggerStyle = TriggerStyle::topEdgeTwoFinger;
    dots = s.fingerDots(pad);
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_DOUBLE_EQ(dots[0].center.y, 74 * 0.16);
    EXPECT_DOUBLE_EQ(dots[1].center.x - dots[0].center.x, 26);
}

TEST(TrackpadSurfaceTest, HoverWritesOnlyPastDeadZonesButAlwaysScrubs) {
    const ui::Size pad{260, 74};
    auto e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::at({0, 0}), pad, true, std::nullopt, 0.52);
    ASSERT_TRUE(e.newX && e.newY && e.scrub);
    EXPECT_EQ(*e.newX, 0.14);
    EXPECT_EQ(*e.newY, 0.24);
    EXPECT_EQ(*e.scrub, 0.14);

    // Sub-pixel jitter: nothing written, the callback still runs.
    e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::at({130.5, 37.2}), pad, true, 0.5, 0.5);
    EXPECT_FALSE(e.newX);
    EXPECT_FALSE(e.newY);
    ASSERT_TRUE(e.scrub);
    EXPECT_NEAR(*e.scrub, 130.5 / 260, 1e-12);

    e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::at({140, 45}), pad, true, 0.5, 0.5);
    EXPECT_TRUE(e.newX && e.newY);

    // Leaving, or hovering while switched off, only clears the horizontal position.
    e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::ended(), pad, true, 0.5, 0.5);
    EXPECT_TRUE(e.clearsX);
    EXPECT_FALSE(e.scrub || e.newY);
    e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::at({100, 30}), pad, false, std::nullopt, 0.5);
    EXPECT_FALSE(e.clearsX || e.scrub || e.newX);

    // A pad less than a point wide divides by one; the clamp keeps the fraction in range.
    e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::at({0.5, kNaN}), {0, 0}, true, std::nullopt, 0.5);
    ASSERT_TRUE(e.scrub);
    EXPECT_EQ(*e.scrub, 0.5);
    EXPECT_EQ(*e.newY, 0.24);
}

}  // namespace
}  // namespace quillmar
