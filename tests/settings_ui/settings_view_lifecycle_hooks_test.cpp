// What the settings view does as it appears, as the scope changes while it shows, and as it goes:
// the login item is read again, the previews follow the scope, and the easter egg stops.

#include "platform/sim/sim_login_items.h"
#include "seasonal/artisan_craft_state.h"
#include "settings_fixture.h"

namespace quillmar::testing {
namespace {

class SettingsLifecycleTest : public SettingsViewTest {};

TEST_F(SettingsLifecycleTest, AppearingReadsTheLoginItemAgain) {
    auto& login = platform::sim::SimLoginItems::install();
    ASSERT_FALSE(settings().launchAtLogin.get());
    login.setStatus(platform::LoginItemStatus::enabled);  // approved in the system settings meanwhile
    show();
    EXPECT_TRUE(settings().launchAtLogin.get());
    EXPECT_EQ(login.registerCount(), 0);  // read, not registered again
}

TEST_F(SettingsLifecycleTest, ChangingTheScopeWhileShownRefreshesThePreviews) {
    const auto pids = addApps(2);
    addWindow(pids[0], "Second window");
    show();
    ASSERT_EQ(ui().previewTargets->size(), 3u);
    settings().switcherMode = SwitcherMode::appsOnly;
    settle(0.3);
    EXPECT_EQ(ui().previewTargets->size(), 2u);
}

TEST_F(SettingsLifecycleTest, TheEasterEggStopsOnceTheViewHasGone) {
    show();
    auto& craft = ArtisanCraftState::shared();
    craft.startHint();
    ASSERT_TRUE(craft.isHintRunning());
    host->setRootView(ui::EmptyView());
    host->layoutIfNeeded();
    EXPECT_TRUE(craft.isHintRunning());  // not while the view is still being taken down
    advance(0.05);
    EXPECT_FALSE(craft.isHintRunning());
}

}  // namespace
}  // namespace quillmar::testing
