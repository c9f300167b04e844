// The live stage on screen: telemetry follows the tab, hover scrubs the miniature bar, fingers
// and Zen show on the drawn pad.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/image_compare.h"
#include "platform/sim/sim_multitouch.h"
#include "platform/sim/sim_preferred_languages.h"
#include "support/temp_path.h"
#include "settings_ui/anodized_trackpad_surface.h"
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

// Scrubbing the list one row at a time: the rows of the three-row window slide by one row as a
// whole, so on no frame of the step do two labels lie on each other (a row fading out where the
// next one fades in would).
TEST_F(HardwareStageViewTest, ListRowsSlideWithoutLabelsOverlappingOnAnyFrame) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    auto host = show();
    const auto labelsDrawn = [&] {
        const auto window = *host->presentedFrame("stageMiniHUDBar");
        std::vector<ui::Rect> seen;
        for (const auto& v : host->presentedViews("stageMiniRowLabel"))
            if (v.opacity > 0.01 && v.frame.intersection(window).height > 0.5) seen.push_back(v.frame);
        return seen;
    };
    // With four entries the window moves on the steps from 1 to 2 and from 2 back to 1.
    const std::pair<int, bool> steps[] = {{1, false}, {2, true}, {3, false}, {2, false}, {1, true}, {0, false}};
    for (const auto& [index, windowMoves] : steps) {
        const double before = host->presentedFrame("stageMiniRow.2")->y;
        stage().simulatedIndex = index;
        std::vector<double> path;
        for (int frame = 0; frame < 40; ++frame) {
            advance(1.0 / 60);
            const auto labels = labelsDrawn();
            ASSERT_FALSE(labels.empty());
            for (std::size_t a = 0; a < labels.size(); ++a)
                for (std::size_t b = a + 1; b < labels.size(); ++b)
                    EXPECT_LT(labels[a].intersection(labels[b]).height, 0.5)
                        << "step to " << index << ", frame " << frame;
            path.push_back(host->presentedFrame("stageMiniRow.2")->y);
        }
        const double after = path.back();
        EXPECT_NEAR(std::abs(after - before), windowMoves ? 18.5 : 0, 1e-6) << index;
        if (windowMoves) {
            // The row glides through the places between instead of jumping.
            EXPECT_TRUE(std::any_of(path.begin(), path.end(), [&](double y) {
                return std::abs(y - before) > 3 && std::abs(y - after) > 3;
            })) << index;
        }
        EXPECT_EQ(labelsDrawn().size(), 3u) << index;
    }
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

TEST_F(HardwareStageViewTest, UnpluggingTheTrackpadUnderRestingFingersClearsTheStage) {
    auto& mt = platform::sim::SimMultitouchFramework::install();
    auto pad = mt.addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    auto& monitor = TrackpadTouchMonitor::shared();
    monitor.start();
    auto host = show();
    std::vector<platform::sim::SimFinger> hand;
    for (int i = 0; i < 5; ++i) hand.push_back({i + 1, 0.3f + 0.1f * static_cast<float>(i), 0.5f});
    mt.deliverFrame(pad.get(), platform::sim::simTouches(hand, 1.0), 1.0);
    advance(0.05);
    ASSERT_EQ(telemetry().liveTouches->size(), 5u);
    ASSERT_TRUE(stage().isFiveFingerZen);

    // The pad goes with the hand still on it: no lift will ever come from it.
    mt.removeDevice(pad.get());
    pad.reset();
    advance(0.35);
    EXPECT_FALSE(monitor.isHardwareConnected);
    EXPECT_TRUE(telemetry().liveTouches->empty());
    EXPECT_FALSE(stage().isFiveFingerZen);
    EXPECT_FALSE(host->contains("stageZenSand"));
    const auto badge = host->accessibilityTree().describe();
    EXPECT_EQ(badge.find("5-Finger Zen"), std::string::npos);
    EXPECT_EQ(badge.find("F Touch"), std::string::npos);

    // A trackpad attached again shows nothing until its own first frame.
    auto again = mt.addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    advance(0.35);
    EXPECT_TRUE(monitor.isHardwareConnected);
    EXPECT_TRUE(telemetry().liveTouches->empty());
    EXPECT_FALSE(stage().isFiveFingerZen);
    mt.deliverFrame(again.get(), platform::sim::simTouches({{9, 0.5f, 0.5f}}, 2.0), 2.0);
    advance(0.05);
    EXPECT_EQ(telemetry().liveTouches->size(), 1u);
}

// The resting fingers of the top-edge trigger lie in the zone's band; its label stands clear of
// them (struck through it would not read), inside the pad, in every language's length.
TEST_F(HardwareStageViewTest, TopEdgeLabelStandsClearOfTheRestingFingers) {
    settings().triggerStyle = TriggerStyle::topEdgeTwoFinger;
    for (const char* language : {"en-US", "de-DE", "ja-JP"}) {
        SCOPED_TRACE(language);
        platform::sim::SimPreferredLanguages::install({language});
        auto host = show();
        const auto label = host->presentedFrame("stageTopEdgeLabel");
        const auto pad = host->frame("anodizedTrackpad");
        ASSERT_TRUE(label && pad);
        EXPECT_GE(label->x, pad->x + 10);  // past the corner's curve
        AnodizedTrackpadSurface surface;
        surface.triggerStyle = TriggerStyle::topEdgeTwoFinger;
        const auto dots = surface.fingerDots({pad->width, pad->height});
        ASSERT_EQ(dots.size(), 2u);
        for (const auto& dot : dots) {
            EXPECT_LT(pad->y + dot.center.y, label->maxY());                        // in the label's band...
            EXPECT_LE(label->maxX(), pad->x + dot.center.x - dot.diameter / 2);  // ...beside it
        }
    }
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
