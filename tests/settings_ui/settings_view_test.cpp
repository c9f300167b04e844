// The settings view's header, tab bar, previews and controls, driven through the hosting view as
// a user would drive them.

#include <cmath>
#include <limits>

#include "support/image_compare.h"
#include "settings_ui/checked_number.h"
#include "settings_fixture.h"

namespace quillmar::testing {
namespace {

TEST_F(SettingsViewTest, StatusDotAndTextFollowEnabledPauseAndTrackpad) {
    auto& pause = AppExclusionMonitor::shared();
    auto& monitor = TrackpadTouchMonitor::shared();
    const auto orange = gfx::systemColor(gfx::SystemColor::orange, gfx::Appearance::light);
    const auto yellow = gfx::systemColor(gfx::SystemColor::yellow, gfx::Appearance::light);
    const auto green = gfx::systemColor(gfx::SystemColor::green, gfx::Appearance::light);

    settings().isEnabled = false;
    pause.activePauseReason = AutoPauseReason::gameActive("Starfall");
    EXPECT_EQ(SettingsView::statusDotColor(false), orange);  // disabled wins over a pause
    EXPECT_EQ(SettingsView::statusText(), "Quillmar — Paused");

    settings().isEnabled = true;
    EXPECT_EQ(SettingsView::statusDotColor(false), yellow);
    EXPECT_EQ(SettingsView::statusText(), "Quillmar — Paused in Starfall");
    pause.activePauseReason = AutoPauseReason::excludedApp("Ledger", "com.example.ledger");
    EXPECT_EQ(SettingsView::statusText(), "Quillmar — Paused in Ledger");

    pause.activePauseReason = std::nullopt;
    monitor.isHardwareConnected = false;
    EXPECT_EQ(SettingsView::statusDotColor(false), orange);
    EXPECT_EQ(SettingsView::statusText(), "Waiting for Trackpad…");
    monitor.isHardwareConnected = true;
    EXPECT_EQ(SettingsView::statusDotColor(false), green);
    EXPECT_EQ(SettingsView::statusText(), "Quillmar");

    // The header draws the dot in that colour.
    auto& host = show();
    auto dot = host.frame("statusDot");
    ASSERT_TRUE(dot);
    EXPECT_TRUE(gfx::colorsClose(gfx::probe(host.renderImage(2.0), dot->center()), green, 0.06));
}

TEST_F(SettingsViewTest, TabTapSelectsAndTheThumbGlidesToIt) {
    auto& host = show();
    const auto trackpadTab = *host.frame("tab.trackpad");
    clickOn("tab.trackpad");
    EXPECT_EQ(ui().activeTab.get(), SettingsTab::trackpad);
    ASSERT_TRUE(host.contains("tabContent.trackpad"));

    clickOn("tab.about");
    host.layoutIfNeeded();
    const auto aboutTab = *host.frame("tab.about");
    // Mid-glide the thumb is between the two tabs; settled, it sits on the selected one.
    host.click(trackpadTab.center());
    advance(0.05);
    const auto mid = host.presentedFrame("tabThumb");
    ASSERT_TRUE(mid);
    EXPECT_GT(mid->midX(), trackpadTab.midX() + 1);
    EXPECT_LT(mid->midX(), aboutTab.midX() - 1);
    settle(1.0);
    // The selected title's heavier weight may widen its tab a little: compare with it as it is now.
    EXPECT_NEAR(host.presentedFrame("tabThumb")->midX(), host.frame("tab.trackpad")->midX(), 0.5);

    // Tapping the selected tab changes nothing; selecting by name follows too.
    clickOn("tab.trackpad");
    EXPECT_EQ(ui().activeTab.get(), SettingsTab::trackpad);
    SettingsView::selectTab("Hotkeys");
    settle(0.5);
    EXPECT_TRUE(host.contains("tabContent.shortcuts"));
}

TEST_F(SettingsViewTest, PreviewTargetsAreCappedKeptWhenUnchangedAndSkippedOnAbout) {
    addApps(9);
    SettingsView::refreshPreviewTargets();
    ASSERT_EQ(ui().previewTargets->size(), 5u);

    int writes = 0;
    auto sub = ui().previewTargets.publisher().dropFirst().sink([&](const auto&) { ++writes; });
    SettingsView::refreshPreviewTargets();
    EXPECT_EQ(writes, 0);  // same list: observers are not woken

    // Neither the About tab nor a closed window refreshes; an open window on another tab does.
    ui().previewTargets = std::vector<SwitchTarget>{};
    writes = 0;
    ui().activeTab = SettingsTab::about;
    SettingsView::refreshPreviewTargets();
    EXPECT_TRUE(ui().previewTargets->empty());
    ui().isWindowVisible = false;
    ui().activeTab = SettingsTab::trackpad;
    SettingsView::refreshPreviewTargets();
    EXPECT_TRUE(ui().previewTargets->empty());
    ui().isWindowVisible = true;
    SettingsView::refreshPreviewTargets();
    EXPECT_EQ(ui().previewTargets->size(), 5u);
    EXPECT_EQ(writes, 1);
}

TEST_F(SettingsViewTest, ExactlyFiveTargetsAllShow) {
    addApps(5);
    SettingsView::refreshPreviewTargets();
    EXPECT_EQ(ui().previewTargets->size(), 5u);
}

TEST(StageReaim, RestingIndexAndHoverClamp) {
    auto target = [](const std::string& id, bool parked) {
        return SwitchTarget({.id = id, .appName = id, .isMinimizedOrHidden = parked});
    };
    EXPECT_EQ(restingStageIndex({}), 0);
    EXPECT_EQ(restingStageIndex({target("a", false)}), 0);
    EXPECT_EQ(restingStageIndex({target("a", false), target("b", true)}), 0);
    EXPECT_EQ(restingStageIndex({target("a", false), target("b", false)}), 1);

    // Not hovered: back to the resting index, only when it differs.
    EXPECT_EQ(reaimedStageIndex(3, false, 1, 4), 1);
    EXPECT_EQ(reaimedStageIndex(1, false, 1, 4), std::nullopt);
    // Hovered: only pulled back inside the list (0 for an empty one); negative indices stay.
    EXPECT_EQ(reaimedStageIndex(3, true, 1, 4), std::nullopt);
    EXPECT_EQ(reaimedStageIndex(7, true, 1, 4), 3);
    EXPECT_EQ(reaimedStageIndex(2, true, 0, 0), 0);
    EXPECT_EQ(reaimedStageIndex(-1, true, 0, 0), std::nullopt);
    EXPECT_EQ(reaimedStageIndex(-1, false, 0, 0), 0);
}

TEST_F(SettingsViewTest, TriggerStyleEnablesAndDimsTheCalibrationRows) {
    ui().activeTab = SettingsTab::trackpad;
    auto& host = show();
    EXPECT_NEAR(*host.presentedOpacity("fingerCountRow"), 1.0, 1e-6);
    EXPECT_NEAR(*host.presentedOpacity("holdRow"), 1.0, 1e-6);

    clickOn("triggerTile.topEdgeTwoFinger");
    EXPECT_EQ(settings().triggerStyle.get(), TriggerStyle::topEdgeTwoFinger);
    EXPECT_NEAR(*host.presentedOpacity("fingerCountRow"), 0.42, 1e-6);
    EXPECT_NEAR(*host.presentedOpacity("holdRow"), 0.42, 1e-6);
    // A dimmed row takes no clicks; its stored value stays.
    const auto before = settings().fingerCount.get();
    clickOn("fingers.4");
    EXPECT_EQ(settings().fingerCount.get(), before);

    clickOn("triggerTile.immediateHorizontalSlide");
    EXPECT_NEAR(*host.presentedOpacity("fingerCountRow"), 1.0, 1e-6);
    EXPECT_NEAR(*host.presentedOpacity("holdRow"), 0.42, 1e-6);
    clickOn("fingers.4");
    EXPECT_EQ(settings().fingerCount.get(), 4);
}

TEST_F(SettingsViewTest, SelectionsTickOnEveryTapOnlyWithHapticsOn) {
    ui().activeTab = SettingsTab::trackpad;
    show();
    const int start = haptics->count(platform::HapticPattern::alignment);
    clickOn("triggerTile.holdAndSlide");  // already selected: still a tick
    clickOn("fingers.3");
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), start + 2);

    // Any change of a slider's value while its row shows ticks, whatever made it.
    settings().sensitivity = 1.7;
    settle(0.2);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), start + 3);

    settings().hapticFeedback = false;
    settle(0.2);
    settings().sensitivity = 1.2;
    settle(0.2);
    clickOn("triggerTile.topEdgeTwoFinger");
    EXPECT_EQ(settings().triggerStyle.get(), TriggerStyle::topEdgeTwoFinger);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), start + 3);
}

TEST_F(SettingsViewTest, SlidersShowStoredValuesAndWriteOnlySnappedInRangeValues) {
    settings().holdDurationMs = 300;  // accepted by the settings, outside the slider
    settings().sensitivity = 3.0;
    ui().activeTab = SettingsTab::trackpad;
    auto& host = show();
    auto texts = [&] {
        std::vector<std::string> all;
        std::function<void(const ui::AccessibilityElement&)> walk = [&](const ui::AccessibilityElement& e) {
            all.push_back(e.label);
            for (const auto& c : e.children) walk(c);
        };
        walk(host.accessibilityTree());
        return all;
    };
    auto has = [&](const std::string& s) {
        auto all = texts();
        return std::any_of(all.begin(), all.end(), [&](const std::string& l) { return l.find(s) != std::string::npos; });
    };
    EXPECT_TRUE(has("300 ms"));
    EXPECT_TRUE(has("300 ms dwell"));
    EXPECT_TRUE(has("3.0×"));
    settle(0.5);
    EXPECT_DOUBLE_EQ(settings().holdDurationMs.get(), 300);  // never written back

    const auto slider = *host.frame("holdSlider");
    host.drag({slider.x + slider.width * 0.3, slider.midY()}, {slider.x + slider.width * 0.55, slider.midY()});
    settle(0.3);
    const double hold = settings().holdDurationMs;
    EXPECT_GE(hold, 40);
    EXPECT_LE(hold, 220);
    EXPECT_DOUBLE_EQ(std::fmod(hold - 40, 5), 0);

    settings().holdDurationMs = 75.9;
    settle(0.2);
    EXPECT_TRUE(has("75 ms"));
}

TEST_F(SettingsViewTest, LayoutPickerAndScopeTilesWriteTheSettings) {
    auto& host = show();
    clickOn("layout.vertical");
    EXPECT_EQ(settings().switchBarStyle.get(), SwitchBarStyle::vertical);
    EXPECT_NEAR(host.presentedFrame("layoutThumb")->midX(), host.frame("layout.vertical")->midX(), 0.5);
    clickOn("scopeTile.activeAppWindows");
    EXPECT_EQ(settings().switcherMode.get(), SwitcherMode::activeAppWindows);
    // A change made elsewhere moves the picker too.
    settings().switchBarStyle = SwitchBarStyle::horizontal;
    settle(1.0);
    EXPECT_NEAR(host.presentedFrame("layoutThumb")->midX(), host.frame("layout.horizontal")->midX(), 0.5);
}

TEST_F(SettingsViewTest, AccessibilityRowAndQuickKeysNoteFollowTrust) {
    setTrusted(false);
    WindowManager::shared().refreshAccessibilityTrust();
    auto& host = show();
    EXPECT_TRUE(host.contains("grantAccess"));
    EXPECT_FALSE(host.contains("verifiedBadge"));

    ui().activeTab = SettingsTab::shortcuts;
    settle(0.5);
    EXPECT_TRUE(host.contains("quickKeysAccessibilityRow"));
    clickOn("quickKeysSwitch");
    EXPECT_FALSE(settings().allowQuickCloseQuit.get());
    EXPECT_FALSE(host.contains("quickKeysAccessibilityRow"));
    settle(0.5);
    EXPECT_NEAR(*host.presentedOpacity("shortcutPreviewCards"), 0.5, 1e-6);
    clickOn("quickKeysSwitch");

    setTrusted(true);
    WindowManager::shared().refreshAccessibilityTrust();
    settle(0.5);
    EXPECT_FALSE(host.contains("quickKeysAccessibilityRow"));
    ui().activeTab = SettingsTab::switching;
    settle(0.5);
    EXPECT_TRUE(host.contains("verifiedBadge"));
}

TEST_F(SettingsViewTest, HoverMovesBetweenCardsWhicheverReportComesFirst) {
    SettingsView::setShortcutHover(ShortcutHoverKind::closeWindow, true);
    SettingsView::setShortcutHover(ShortcutHoverKind::quitApp, true);
    SettingsView::setShortcutHover(ShortcutHoverKind::closeWindow, false);  // late exit of the old card
    EXPECT_EQ(ui().hoveredShortcut.get(), ShortcutHoverKind::quitApp);
    SettingsView::setShortcutHover(ShortcutHoverKind::quitApp, false);
    EXPECT_EQ(ui().hoveredShortcut.get(), std::nullopt);

    ui().activeTab = SettingsTab::shortcuts;
    auto& host = show();
    host.pointerMoved(host.frame("minimizedCard")->center());
    settle(0.3);
    EXPECT_EQ(ui().hoveredShortcut.get(), ShortcutHoverKind::minimizedBar);
    host.pointerMoved(host.frame("quitAppCard")->center());
    settle(0.3);
    EXPECT_EQ(ui().hoveredShortcut.get(), ShortcutHoverKind::quitApp);
}

}  // namespace
}  // namespace quillmar::testing

namespace quillmar::testing {
namespace {

TEST(CheckedNumber, NonFiniteAndOutOfRangeValuesLandInsideBeforeConversion) {
    EXPECT_EQ(checkedWhole(75.9, 0, 99999), 75);
    EXPECT_EQ(checkedWhole(-0.5, 0, 99999), 0);
    EXPECT_EQ(checkedWhole(std::nan(""), 40, 220), 40);
    EXPECT_EQ(checkedWhole(std::numeric_limits<double>::infinity(), 40, 220), 220);
    EXPECT_EQ(checkedWhole(-std::numeric_limits<double>::infinity(), 40, 220), 40);
    EXPECT_EQ(checkedWhole(1e300, 0, 4), 4);
    EXPECT_DOUBLE_EQ(checkedValue(std::nan(""), 0.3, 3.0), 0.3);
    EXPECT_DOUBLE_EQ(checkedValue(9, 3.0, 0.3), 3.0);  // bounds in either order
}

}  // namespace
}  // namespace quillmar::testing
