// The card in the settings window's About tab: the hint starts when the window shows the tab,
// the card records its place in the window, and leaving the tab stops the animations.

#include <gtest/gtest.h>

#include "seasonal/artisan_craft_state.h"
#include "settings_ui/settings_fixture.h"

namespace quillmar::testing {
namespace {

class AboutTabTest : public SettingsViewTest {};

TEST_F(AboutTabTest, TheAboutTabStartsTheHintAndLeavingItStopsEverything) {
    auto& craft = ArtisanCraftState::shared();
    ui().activeTab = SettingsTab::about;
    auto& h = show();
    runUntilIdle();
    EXPECT_TRUE(craft.hintProgress.get());
    const auto card = h.frame("aboutIdentityCard");
    ASSERT_TRUE(card);
    EXPECT_EQ(craft.aboutCardOriginInWindow(), (Point{card->x, card->y}));

    h.click(h.frame("aboutCardIcon")->center());
    EXPECT_EQ(craft.tapBurstLevel.get(), 1);
    ui().activeTab = SettingsTab::trackpad;
    settle(0.05);
    EXPECT_FALSE(craft.hintProgress.get());
    EXPECT_FALSE(craft.tapBurstProgress.get());
}

}  // namespace
}  // namespace quillmar::testing
