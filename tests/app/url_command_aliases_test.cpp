// The spare words of the URL commands do what their main words do: "hotkeys" opens the Keys tab
// for any sender, and "fingers/2" picks the two-finger top-edge trigger. Of several tab= items
// the first decides, even a bare one that names no tab.

#include "app_shell_fixture.h"
#include "settings_ui/settings_ui_state.h"

namespace quillmar::testing {
namespace {

class UrlAliasTest : public AppShellTest {
protected:
    void SetUp() override {
        AppShellTest::SetUp();
        start();
    }
};

TEST_F(UrlAliasTest, HotkeysOpensTheKeysTabForAnySender) {
    SettingsUIState::shared().activeTab = SettingsTab::about;
    const int before = delegate().settingsWindowRequests();
    delegate().handleURLCommand("quillmar://HotKeys", false);
    EXPECT_EQ(SettingsUIState::shared().activeTab.get(), SettingsTab::shortcuts);
    EXPECT_EQ(delegate().settingsWindowRequests(), before + 1);
}

TEST_F(UrlAliasTest, TheFirstTabItemDecidesEvenWhenBare) {
    SettingsUIState::shared().activeTab = SettingsTab::trackpad;
    delegate().handleURLCommand("quillmar://settings?tab&tab=about", false);
    EXPECT_EQ(SettingsUIState::shared().activeTab.get(), SettingsTab::trackpad);
    delegate().handleURLCommand("quillmar://settings?tab=keys&tab=about", false);
    EXPECT_EQ(SettingsUIState::shared().activeTab.get(), SettingsTab::shortcuts);
}

TEST_F(UrlAliasTest, TwoFingersMeansTheTopEdgeTrigger) {
    delegate().handleURLCommand("quillmar://fingers/2", true);
    EXPECT_EQ(settings().triggerStyle.get(), TriggerStyle::topEdgeTwoFinger);
    delegate().handleURLCommand("quillmar://gesture/3", true);
    EXPECT_EQ(settings().triggerStyle.get(), TriggerStyle::holdAndSlide);
    delegate().handleURLCommand("quillmar://gesture/2", true);
    EXPECT_EQ(settings().triggerStyle.get(), TriggerStyle::topEdgeTwoFinger);
}

}  // namespace
}  // namespace quillmar::testing
