// The settings window host: placement on the screen under the pointer, reuse, bringing to the
// front, the Command-W rule and the clean-up when the window closes.

#include "app/settings_window.h"
#include "platform/event_tap.h"
#include "platform/sim/sim_system_appearance.h"
#include "platform/sim/sim_titled_windows.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_fixture.h"

namespace quillmar::testing {
namespace {

using platform::Rect;
using platform::Screen;

class SettingsWindowTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        windows = &platform::sim::SimTitledWindows::install();
        desktop->setScreens({left, right}, false);
    }
    SettingsWindow& host() { return SettingsWindow::shared(); }
    Rect frame() { return host().window()->frame(); }

    // The primary screen with the menu bar and Dock, and a taller one to its right.
    const Screen left{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2};
    const Screen right{2, "Studio", {1440, -300, 2560, 1440}, {1440, -300, 2560, 1415}, 2};
    platform::sim::SimTitledWindows* windows = nullptr;
};

TEST_F(SettingsWindowTest, OpensOnTheScreenUnderThePointerAboveItsMiddle) {
    desktop->setPointer({2000, 400});
    host().open();
    ASSERT_TRUE(host().window());
    // Centred on the right screen's visible frame, 4 % of its height above the middle.
    EXPECT_EQ(frame().x, 1440 + 1280 - 240);
    EXPECT_EQ(frame().y, std::round(-300 + 707.5 - 296 + 1415 * 0.04));
    EXPECT_TRUE(host().window()->isKeyWindow());
    EXPECT_TRUE(host().window()->isVisible());
    EXPECT_GE(windows->activationCount(), 2);
    const int before = windows->activationCount();
    advance(0.01);  // the second bring-to-front once the opening event is done
    EXPECT_GT(windows->activationCount(), before);
}

TEST_F(SettingsWindowTest, PointerOnATopEdgeCountsAsOnThatScreen) {
    desktop->setPointer({700, 900});  // the top row of the primary screen
    host().open();
    EXPECT_EQ(frame().x, 720 - 240);
    EXPECT_GT(frame().y, 70);
    EXPECT_LT(frame().maxY(), 900);
}

TEST_F(SettingsWindowTest, ReopeningKeepsAnOnScreenWindowAndRescuesAnOffScreenOne) {
    desktop->setPointer({2000, 400});
    host().open();
    const auto placed = frame();
    desktop->setPointer({700, 400});
    host().open();
    EXPECT_EQ(frame(), placed);
    EXPECT_EQ(windows->windows().size(), 1u);

    desktop->setScreens({left}, true);  // the display that held it is gone
    host().open();
    EXPECT_LT(frame().maxX(), 1440);
    EXPECT_TRUE(frame().intersects(left.visibleFrame));
}

TEST_F(SettingsWindowTest, WithoutScreensTheSystemCentresIt) {
    desktop->setScreens({}, true);
    host().open();
    ASSERT_TRUE(host().window());
    EXPECT_EQ(frame().width, 480);
    EXPECT_EQ(frame().height, 592);
}

TEST_F(SettingsWindowTest, OnlyExactlyCommandWCloses) {
    namespace flags = platform::event_flags;
    auto key = [](std::string chars, std::int64_t code, std::uint64_t mods) {
        return platform::KeyPress{code, std::move(chars), mods};
    };
    EXPECT_TRUE(SettingsWindow::isCloseKeyEquivalent(key("w", 13, flags::command)));
    EXPECT_TRUE(SettingsWindow::isCloseKeyEquivalent(key("W", 99, flags::command)));
    EXPECT_TRUE(SettingsWindow::isCloseKeyEquivalent(key("ц", 13, flags::command)));  // another layout
    EXPECT_TRUE(SettingsWindow::isCloseKeyEquivalent(key("w", 13, flags::command | flags::alphaShift)));
    EXPECT_FALSE(SettingsWindow::isCloseKeyEquivalent(key("w", 13, flags::command | flags::shift)));
    EXPECT_FALSE(SettingsWindow::isCloseKeyEquivalent(key("w", 13, flags::command | flags::alternate)));
    EXPECT_FALSE(SettingsWindow::isCloseKeyEquivalent(key("w", 13, flags::control)));
    EXPECT_FALSE(SettingsWindow::isCloseKeyEquivalent(key("q", 12, flags::command)));

    host().open();
    EXPECT_FALSE(windows->pressKey(key("w", 13, flags::command | flags::shift)));
    EXPECT_TRUE(host().isVisible());
    EXPECT_TRUE(windows->pressKey(key("w", 13, flags::command)));
    EXPECT_FALSE(host().isVisible());
}

TEST_F(SettingsWindowTest, ClosingStopsTelemetryAndPollingAndEmptiesPreviewsButKeepsTheTab) {
    addApps(3);
    setTrusted(false);
    auto& monitor = TrackpadTouchMonitor::shared();
    auto& ui = SettingsUIState::shared();
    ui.activeTab = SettingsTab::trackpad;
    host().open();
    advance(0.1);
    host().contentView()->layoutIfNeeded();
    EXPECT_FALSE(ui.previewTargets->empty());  // fetched when the view appeared
    monitor.setLiveTelemetryEnabled(true);

    host().closeFromShortcut();
    EXPECT_FALSE(host().isVisible());
    EXPECT_TRUE(ui.previewTargets->empty());
    EXPECT_FALSE(monitor.gateFlags().liveTelemetryEnabled);
    EXPECT_EQ(host().window(), nullptr);
    advance(1.0);

    // Polling stopped: granting the permission now is not noticed until something asks.
    setTrusted(true);
    advance(5.0);
    EXPECT_FALSE(WindowManager::shared().isAccessibilityTrusted.get());

    host().open();
    EXPECT_EQ(ui.activeTab.get(), SettingsTab::trackpad);
    EXPECT_EQ(windows->windows().size(), 1u);
}

TEST_F(SettingsWindowTest, FollowsTheSystemAppearanceWhileOpen) {
    auto& appearance = platform::sim::SimSystemAppearance::install(true);
    host().open();
    ASSERT_TRUE(host().contentView());
    EXPECT_EQ(host().contentView()->environment().colorScheme, ui::ColorScheme::dark);
    appearance.setDark(false);
    runUntilIdle();
    EXPECT_EQ(host().contentView()->environment().colorScheme, ui::ColorScheme::light);
}

}  // namespace
}  // namespace quillmar::testing
