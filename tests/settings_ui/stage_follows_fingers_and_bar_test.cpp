// How the live stage follows the hand and the real Switch Bar: where along the pad each entry of
// the miniature bar lights up, how raked sand adds up the fingers' travel frame by frame, and
// what the stage shows while the real bar is open.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/sim/sim_user_feedback.h"
#include "settings_ui/anodized_trackpad_surface.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/hardware_stage_view.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_fixture.h"
#include "ui/ui.h"

namespace quillmar::testing {
namespace {

std::vector<TouchDot> handAt(double x, int fingers = 1) {
    std::vector<TouchDot> dots;
    for (int i = 0; i < fingers; ++i) dots.push_back({i + 1, x + 0.01 * (i - (fingers - 1) / 2.0), 0.5, 1});
    return dots;
}

TEST(StageFingerSpanTest, EntriesShareTheMiddleOfThePadEvenlyForFingersAndPointer) {
    for (int n : {2, 5, 7}) {
        // Where entry k begins, as the pad's central span is shared out; the first entry holds
        // everything left of the span and the last everything right of it.
        auto edge = [n](int k) { return 0.12 + 0.76 * k / n; };
        for (int k = 1; k < n; ++k) {
            EXPECT_EQ(HardwareStageView::highlightedIndex(n, false, 0, handAt(edge(k) + 0.003, 3), 0), k) << n << " " << k;
            EXPECT_EQ(HardwareStageView::highlightedIndex(n, false, 0, handAt(edge(k) - 0.003, 3), 0), k - 1) << n << " " << k;
            EXPECT_EQ(HardwareStageView::hoverScrubIndex(edge(k) + 0.003, n), k) << n << " " << k;
            EXPECT_EQ(HardwareStageView::hoverScrubIndex(edge(k) - 0.003, n), k - 1) << n << " " << k;
        }
        EXPECT_EQ(HardwareStageView::highlightedIndex(n, false, 0, handAt(0.05), 0), 0);
        EXPECT_EQ(HardwareStageView::highlightedIndex(n, false, 0, handAt(0.97), 0), n - 1);
        EXPECT_EQ(HardwareStageView::hoverScrubIndex(0.05, n), 0);
        EXPECT_EQ(HardwareStageView::hoverScrubIndex(0.97, n), n - 1);
    }
}

TEST(StagePadTest, TopEdgeFingersRestAndHoverInsideTheTopEdgeZone) {
    AnodizedTrackpadSurface s;
    const ui::Size pad{260, 74};
    s.triggerStyle = TriggerStyle::topEdgeTwoFinger;
    s.hoverRatioY = ui::Binding<double>::constant(0.6);
    const double zoneBottom = pad.height * 0.3;  // the dashed line under the zone's label
    for (std::optional<double> hover : {std::optional<double>{}, std::optional<double>{0.5}}) {
        s.hoverRatioX = ui::Binding<std::optional<double>>::constant(hover);
        for (const auto& d : s.fingerDots(pad)) {
            EXPECT_GT(d.center.y - d.diameter / 2, 0) << hover.has_value();
            EXPECT_LT(d.center.y + d.diameter / 2, zoneBottom) << hover.has_value();
        }
    }
}

TEST(StagePadTest, APointerMoveOfAHundredthOfThePadMovesTheFingers) {
    const ui::Size pad{260, 74};
    const auto e = AnodizedTrackpadSurface::hoverEffect(ui::HoverPhase::at({0.51 * 260, 37}), pad, true, 0.5, 0.5);
    ASSERT_TRUE(e.newX);
    EXPECT_NEAR(*e.newX, 0.51, 1e-12);
}

class SandTravelTest : public FreshWorldTest {
protected:
    HardwareStageState& stage() { return HardwareStageState::shared(); }
    // Five fingers stroked from x0 to x1 in `frames` equal steps; returns the wave phase.
    double stroke(double x0, double x1, int frames) {
        stage().reset();
        stage().ingestTouches(handAt(x0, 5), false);  // enters Zen
        stage().zenSandWavePhase = 0;
        for (int f = 1; f <= frames; ++f) stage().ingestTouches(handAt(x0 + (x1 - x0) * f / frames, 5), false);
        return stage().zenSandWavePhase;
    }
};

TEST_F(SandTravelTest, TheSandAddsUpTravelFromFrameToFrame) {
    // The same stroke rakes the same sand whether the hand is sampled often or seldom.
    const double seldom = stroke(0.20, 0.23, 2);
    const double often = stroke(0.20, 0.23, 6);
    EXPECT_GT(seldom, 0);
    EXPECT_NEAR(often, seldom, 1e-9);
    // A hand that rests after its stroke rakes nothing more.
    stage().ingestTouches(handAt(0.23, 5), false);
    stage().ingestTouches(handAt(0.23, 5), false);
    EXPECT_NEAR(stage().zenSandWavePhase, often, 1e-9);
}

TEST_F(SandTravelTest, OfTheGrainTicksOnlyEveryEighthFeelsDifferent) {
    auto& haptics = platform::sim::SimHaptics::install();
    stage().ingestTouches(handAt(0.1, 5), true);
    advance(0.2);  // past the entry's taps
    const std::size_t before = haptics.patterns().size();
    double x = 0.1;
    for (int grain = 1; grain <= 16; ++grain) {
        advance(0.03);
        stage().ingestTouches(handAt(x += 0.009, 5), true);  // one grain's travel a frame
    }
    const auto& all = haptics.patterns();
    ASSERT_EQ(all.size(), before + 16);
    for (std::size_t k = 0; k < 16; ++k) {
        const bool eighth = (k + 1) % 8 == 0;
        EXPECT_EQ(all[before + k], eighth ? platform::HapticPattern::alignment : platform::HapticPattern::levelChange) << k + 1;
    }
}

class StageWithOpenBarTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        SettingsUIState::shared().activeTab = SettingsTab::switching;
        SettingsUIState::shared().isWindowVisible = true;
    }
};

TEST_F(StageWithOpenBarTest, WhileTheRealBarIsOpenTheStageShowsItsFirstFiveEntries) {
    addApps(8);
    const auto previews = WindowManager::shared().fetchTargets(SwitcherMode::allWindows);
    const std::vector<SwitchTarget> two(previews.begin(), previews.begin() + 2);
    ui::HostingView host(HardwareStageView{SettingsPalette(false), two, ui::Color::rgb(0.2, 0.78, 0.35), {}},
                         ui::Size{480, 164});
    host.layoutIfNeeded();
    EXPECT_TRUE(host.contains("stageMiniTile.1"));
    EXPECT_FALSE(host.contains("stageMiniTile.2"));

    controller().presentPreviewHUD(30);
    ASSERT_TRUE(controller().isVisible.get());
    ASSERT_EQ(controller().targets->size(), 8u);
    controller().selectedIndex = 6;
    advance(0.5);
    host.layoutIfNeeded();
    EXPECT_TRUE(host.contains("stageMiniTile.4"));
    EXPECT_FALSE(host.contains("stageMiniTile.5"));
    // The bar's selection beyond the five lights the last of them.
    EXPECT_NEAR(host.frame("stageMiniHighlight")->midX(), host.frame("stageMiniTile.4")->midX(), 0.5);
}

}  // namespace
}  // namespace quillmar::testing
