// The settings window host's rules that the placement tests leave open: which screen counts as
// under the pointer, how long an opening watches for the Accessibility permission, a minimised
// window coming back, and what closing leaves of the live stage.

#include "app/settings_window.h"
#include "platform/sim/sim_titled_windows.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_fixture.h"

namespace quillmar::testing {
namespace {

using platform::Screen;

class SettingsWindowRulesTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        platform::sim::SimTitledWindows::install();
        desktop->setScreens({left, right}, false);
    }
    SettingsWindow& host() { return SettingsWindow::shared(); }

    const Screen left{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2};
    // To the right, with a 25-point strip at its top outside its visible frame.
    const Screen right{2, "Studio", {1440, -300, 2560, 1440}, {1440, -300, 2560, 1415}, 2};
};

TEST_F(SettingsWindowRulesTest, APointerInAScreensMenuBarStripCountsAsOnThatScreen) {
    desktop->setPointer({2000, 1130});  // inside the right screen's frame, above its visible frame
    host().open();
    ASSERT_TRUE(host().window());
    EXPECT_GT(host().window()->frame().x, 1440);
}

TEST_F(SettingsWindowRulesTest, AnOpeningWatchesForThePermissionForFortyFivePolls) {
    setTrusted(false);
    WindowManager::shared().refreshAccessibilityTrust();
    host().open();
    advance(44 * 1.5);
    setTrusted(true);
    advance(1.5);
    EXPECT_TRUE(WindowManager::shared().isAccessibilityTrusted.get());  // the 45th poll sees it

    host().closeFromShortcut();
    advance(0.1);
    setTrusted(false);
    WindowManager::shared().refreshAccessibilityTrust();
    host().open();
    advance(45 * 1.5 + 0.5);
    setTrusted(true);
    advance(30);
    EXPECT_FALSE(WindowManager::shared().isAccessibilityTrusted.get());  // polling has ended
}

TEST_F(SettingsWindowRulesTest, OpeningBringsAMinimisedWindowBack) {
    host().open();
    host().window()->miniaturize();
    ASSERT_TRUE(host().window()->isMiniaturized());
    host().open();
    EXPECT_FALSE(host().window()->isMiniaturized());
    EXPECT_TRUE(host().window()->isKeyWindow());
}

TEST_F(SettingsWindowRulesTest, ClosingLeavesTheStageWithoutHoverOrZen) {
    host().open();
    auto& stage = HardwareStageState::shared();
    stage.hoverRatioX = 0.4;
    std::vector<TouchDot> five;
    for (int i = 0; i < 5; ++i) five.push_back(TouchDot{i, 0.2 + 0.1 * i, 0.5, 0.3});
    stage.ingestTouches(five, false);
    ASSERT_TRUE(stage.isFiveFingerZen.get());
    host().closeFromShortcut();
    EXPECT_FALSE(stage.hoverRatioX->has_value());
    EXPECT_FALSE(stage.isFiveFingerZen.get());
}

}  // namespace
}  // namespace quillmar::testing
