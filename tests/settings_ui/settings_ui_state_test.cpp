// Tabs chosen by a free-form name (URL commands, the status menu, start-up) and the shared
// interface state of a fresh process.

#include <gtest/gtest.h>

#include "settings_ui/settings_ui_state.h"
#include "support/fresh_world.h"

namespace quillmar::testing {
namespace {

class SettingsUIStateTest : public FreshWorldTest {
protected:
    SettingsTab selectFrom(SettingsTab start, const std::string& name) {
        auto& ui = SettingsUIState::shared();
        ui.activeTab = start;
        selectSettingsTab(name);
        return ui.activeTab.get();
    }
};

TEST_F(SettingsUIStateTest, FreshProcessStartsOnSwitchingWithNothingPreviewedOrHovered) {
    auto& ui = SettingsUIState::shared();
    EXPECT_EQ(ui.activeTab.get(), SettingsTab::switching);
    EXPECT_TRUE(ui.previewTargets->empty());
    EXPECT_FALSE(ui.hoveredShortcut->has_value());
    EXPECT_EQ(&ui, &SettingsUIState::shared());
}

TEST_F(SettingsUIStateTest, NamesAndAliasesSelectTabsInAnyCase) {
    for (const char* name : {"hotkeys", "HotKeys", "KEYS", "shortcuts", "Shortcuts"})
        EXPECT_EQ(selectFrom(SettingsTab::switching, name), SettingsTab::shortcuts) << name;
    for (const char* name : {"about", "ABOUT", "Support", "support"})
        EXPECT_EQ(selectFrom(SettingsTab::switching, name), SettingsTab::about) << name;
    EXPECT_EQ(selectFrom(SettingsTab::about, "TrackPad"), SettingsTab::trackpad);
    EXPECT_EQ(selectFrom(SettingsTab::about, "switching"), SettingsTab::switching);
}

TEST_F(SettingsUIStateTest, UnknownNamesChangeNothing) {
    for (const char* name : {"", " trackpad", "trackpad ", "track", "settings", "trackpad\n", "\xff\xfe"})
        EXPECT_EQ(selectFrom(SettingsTab::shortcuts, name), SettingsTab::shortcuts) << name;
}

TEST_F(SettingsUIStateTest, TabOrderAndRawValuesRoundTrip) {
    const auto tabs = SettingsTab::allCases();
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(tabs.front(), SettingsTab::switching);
    EXPECT_EQ(tabs.back(), SettingsTab::about);
    for (SettingsTab t : tabs) {
        EXPECT_EQ(SettingsTab::fromRawValue(t.rawValue()), t);
        EXPECT_FALSE(t.title().empty());
    }
}

}  // namespace
}  // namespace quillmar::testing
