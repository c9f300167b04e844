// The live stage on screen: telemetry follows the tab, hover scrubs the miniature bar, fingers
// and Zen show on the drawn pad.

#include <gtest/gtest.h>

#include "gfx/image_compare.h"
#include "platform/sim/sim_preferred_languages.h"
#include "support/temp_path.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/hardware_stage_view.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_fixture.h"
#include "ui/ui.h"

namespace quillmar::testing {
namespace {

class HardwareStageViewTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        auto pids = addApps(4);
        SettingsUIState::shared().activeTab = SettingsTab::trackpad;
        SettingsUIState::shared().isWindowVisible = true;
        targets = WindowManager::shared().fetchTargets(SwitcherMode::allWindows);
    }
    std::unique_ptr<ui::HostingView> show(bool dark = false) {
        auto host = std::make_unique<ui::HostingView>(HardwareStageView{SettingsPalette(dark), targets, ui::Color::rgb(0.2, 0.78, 0.35), {}}, ui::Size{480, 164});
        auto env = host->environment();
        env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
        host->setEnvironment(env);
        host->layoutIfNeeded();
        advance(0.05);
        return host;
    }
    bool telemetryOn() { return TrackpadTouchMonitor::shared().gateFlags().liveTelemetryEnabled; }
    TrackpadStageTelemetry& telemetry() { return TrackpadTouchMonitor::shared().telemetry; }
    HardwareStageState& stage() { return HardwareStageState::shared(); }

    std::vector<SwitchTarget> targets;
};

TEST_F(HardwareStageViewTest, LiveTelemetryFollowsTheTabOneTurnLater) {
    SettingsUIState::shared().isWindowVisible = false;  // built for a window not on screen
    show();
    EXPECT_FALSE(telemetryOn());

    SettingsUIState::shared().isWindowVisible = true;
    auto host = show();
    EXPECT_TRUE(telemetryOn());

    std::vector<TouchDot> hand;
    for (int i = 0; i < 5; ++i) hand.push_back({i, 0.3 + 0.05 * i, 0.5, 1});
    telemetry().show(hand);
    EXPECT_TRUE(stage().isFiveFingerZen);

    // Between the two stage tabs telemetry stays on.
    SettingsUIState::shared().activeTab = SettingsTab::switching;
    host->setRootView(ui::EmptyView());
    host->layoutIfNeeded();
    advance(0.05);
    EXPECT_TRUE(telemetryOn());

    host->setRootView(HardwareStageView{SettingsPalette(false), targets, ui::Color::rgb(0.2, 0.78, 0.35), {}});
    host->layoutIfNeeded();
    SettingsUIState::shared().activeTab = SettingsTab::shortcuts;
    host->setRootView(ui::EmptyView());
    host->layoutIfNeeded();
    EXPECT_TRUE(telemetryOn());  // deferred by one turn
    advance(0.05);
    EXPECT_FALSE(telemetryOn());
    EXPECT_TRUE(telemetry().liveTouches->empty());
    EXPECT_FALSE(stage().isFiveFingerZen);
}

TEST_F(HardwareStageViewTest, HoverScrubMovesTheHighlightWithOneTickPerEntry) {
    auto host = show();
    const auto pad = host->frame("anodizedTrackpad");
    ASSERT_TRUE(pad);
    EXPECT_EQ(pad->width, 260);
    host->pointerMoved({pad->x + pad->width * 0.9, pad->y + pad->height * 0.5});
    advance(0.3);
    EXPECT_EQ(stage().simulatedIndex, 3);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 1);
    host->pointerMoved({pad->x + pad->width * 0.88, pad->y + pad->height * 0.5});
    advance(0.3);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 1);
    ASSERT_TRUE(host->frame("stageMiniTile.3") && host->frame("stageMiniHighlight"));
    EXPECT_EQ(host->frame("stageMiniHighlight")->x, host->frame("stageMiniTile.3")->x);
    EXPECT_TRUE(stage().hoverRatioX->has_value());

    host->pointerExited();
    advance(0.1);
    EXPECT_FALSE(stage().hoverRatioX->has_value());

    settings().hapticFeedback = false;
    host->pointerMoved({pad->x + 2, pad->y + pad->height * 0.5});
    advance(0.3);
    EXPECT_EQ(stage().simulatedIndex, 0);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 1);
}

TEST_F(HardwareStageViewTest, StripAndListMorphIntoEachOther) {
    auto host = show();
    stage().simulatedIndex = 2;
    advance(0.5);
    const auto tile = *host->presentedFrame("stageMiniHighlight");
    settings().switchBarStyle = SwitchBarStyle::vertical;
    host->layoutIfNeeded();
    const auto row = *host->frame("stageMiniHighlight");
    EXPECT_EQ(row.width, 204);
    advance(0.06);
    const auto mid = *host->presentedFrame("stageMiniHighlight");
    EXPECT_GT(mid.width, tile.width + 1);  // on its way from the 36 pt tile to the 204 pt row
    EXPECT_LT(mid.width, row.width - 1);
    advance(1.0);
    EXPECT_EQ(host->presentedFrame("stageMiniHighlight")->width, 204);
    EXPECT_FALSE(host->contains("stageCaption"));
}

TEST_F(HardwareStageViewTest, FingersAndZenAreDrawnOnThePad) {
    auto host = show();
    const auto pad = *host->frame("anodizedTrackpad");
    const ui::Point centre{pad.x + pad.width * 0.5, pad.y + pad.height * 0.5};
    auto image = host->renderImage(2.0);
    const auto bare = gfx::probe(image, centre);

    telemetry().show({{7, 0.5, 0.5, 1}});
    advance(0.3);
    image = host->renderImage(2.0);
    const auto finger = gfx::probe(image, centre);
    EXPECT_GT(finger.blue - finger.red, 0.3);  // the accent-blue dot on the pale pad
    EXPECT_LT(bare.blue - bare.red, 0.1);

    std::vector<TouchDot> hand;
    for (int i = 0; i < 5; ++i) hand.push_back({i, 0.3 + 0.1 * i, 0.5, 1});
    telemetry().show(hand);
    advance(0.3);
    EXPECT_TRUE(host->contains("stageZenSand"));
    image = host->renderImage(2.0);
    const auto sand = gfx::probe(image, centre);
    EXPECT_GT(sand.red - sand.blue, 0.2);  // gold fingers
    const auto tree = host->accessibilityTree();
    EXPECT_NE(tree.describe().find("5-Finger Zen"), std::string::npos);
}

TEST_F(HardwareStageViewTest, JapaneseTextsStayInsideTheCard) {
    platform::sim::SimPreferredLanguages::install({"ja-JP"});
    settings().triggerStyle = TriggerStyle::topEdgeTwoFinger;
    targets.clear();
    for (bool dark : {false, true}) {
        auto host = show(dark);
        telemetry().show({{1, 0.3, 0.5, 1}, {2, 0.4, 0.5, 1}});
        advance(0.3);
        const auto card = *host->frame("hardwareStage");
        for (const char* name : {"stageStatusBadge", "stageCaption", "stageTopEdgeZone"}) {
            const auto f = host->frame(name);
            ASSERT_TRUE(f) << name;
            EXPECT_GE(f->x, card.x) << name;
            EXPECT_LE(f->maxX(), card.maxX()) << name;
        }
        EXPECT_TRUE(host->writePng((snapshotDirectory("settings_ui") / (dark ? "stage_ja_dark.png" : "stage_ja_light.png")).string(), 2.0));
    }
}

}  // namespace
}  // namespace quillmar::testing
