// Start-up in its order, the first-run and lost-permission flow, reopen, the main menu's key
// equivalents and shutdown.

#include <algorithm>

#include "app_shell_fixture.h"
#include "autopause/app_exclusion_monitor.h"
#include "platform/sim/touch_steps.h"
#include "app/settings_window.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows/window_manager.h"

namespace quillmar::testing {
namespace {

class AppStartupTest : public AppShellTest {
protected:
    std::ptrdiff_t position(const std::string& line) {
        const auto& log = desktop->callLog();
        auto it = std::find(log.begin(), log.end(), line);
        EXPECT_NE(it, log.end()) << line;
        return it - log.begin();
    }
};

TEST_F(AppStartupTest, StartsAsAnAccessoryInTheDocumentedOrder) {
    auto& touch = platform::sim::installSimTouchHardware();
    touch.addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Built-in Trackpad"));
    start();

    EXPECT_EQ(app->activationPolicy(), platform::ActivationPolicy::accessory);
    ASSERT_TRUE(app->applicationIconImage());
    EXPECT_EQ(app->applicationIconImage()->width(), 512);
    EXPECT_LT(position("app policy accessory"), position("app finished launching"));
    EXPECT_LT(position("app finished launching"), position("app icon 512x512"));
    EXPECT_LT(position("app icon 512x512"), position("app main menu"));
    EXPECT_LT(position("app main menu"), position("status item square"));

    // Every shared object stands and the trackpad delivers.
    EXPECT_NE(runtime::World::find<WindowManager>(), nullptr);
    EXPECT_NE(runtime::World::find<SwitcherController>(), nullptr);
    EXPECT_NE(runtime::World::find<AppExclusionMonitor>(), nullptr);
    EXPECT_TRUE(TrackpadTouchMonitor::shared().isHardwareConnected.get());
    EXPECT_TRUE(TrackpadTouchMonitor::shared().isSystemOverviewActive);

    // The status item: a square button with the template logo.
    ASSERT_TRUE(delegate().statusItem());
    const auto& button = delegate().statusItem()->button;
    ASSERT_TRUE(button);
    EXPECT_EQ(button->toolTip, "Quillmar");
    EXPECT_EQ(button->accessibilityLabel, "Quillmar");
    EXPECT_EQ(button->imagePosition, platform::ImagePosition::imageOnly);
    ASSERT_TRUE(button->image);
    EXPECT_TRUE(button->image->isTemplate());
    EXPECT_EQ(delegate().statusItem()->length, platform::StatusItem::squareLength);
}

TEST_F(AppStartupTest, TheWindowCatalogueNoLongerBringsTheTrackpadWithIt) {
    WindowManager::shared();
    EXPECT_EQ(runtime::World::find<TrackpadTouchMonitor>(), nullptr);
}

TEST_F(AppStartupTest, AStatusBarWithoutButtonsStillGetsTheMenu) {
    statusBar->setShowsButtons(false);
    start();
    ASSERT_TRUE(delegate().statusItem());
    EXPECT_FALSE(delegate().statusItem()->button);
    ASSERT_TRUE(statusBar->openMenu());
    EXPECT_GT(statusBar->openMenu()->items().size(), 10u);
}

TEST_F(AppStartupTest, FirstRunOpensSettingsOnceWithTheFlagWrittenFirst) {
    defaults().removeObject("hasCompletedInitialOnboarding");
    bool flagSetWhenOpened = false;
    delegate().setSettingsWindowHost({[&] { flagSetWhenOpened = defaults().boolForKey("hasCompletedInitialOnboarding"); }, {}, {}});
    start();
    EXPECT_TRUE(flagSetWhenOpened);
}

TEST_F(AppStartupTest, ALaunchByURLSkipsTheFirstRunWindowAndKeepsTheFlagUnset) {
    defaults().removeObject("hasCompletedInitialOnboarding");
    app->launchWithURLs({"quillmar://preview"}, platform::AppleEvent::fromSender(std::nullopt, std::nullopt));
    start();
    EXPECT_EQ(delegate().settingsWindowRequests(), 0);
    EXPECT_FALSE(defaults().hasPersistedValue("hasCompletedInitialOnboarding"));
}

TEST_F(AppStartupTest, ASettingsURLThatLaunchesTheAppOpensTheWindowOnItsTab) {
    // quillmar://settings/about at launch, and quillmar://keys launching a first run (which skips
    // the first-run window): both arrive before start-up and open the window on the tab named.
    struct Case {
        const char* url;
        bool firstRun;
        SettingsTab tab;
    };
    for (const Case& c : {Case{"quillmar://settings/about", false, SettingsTab::about},
                          Case{"quillmar://keys", true, SettingsTab::shortcuts}}) {
        SCOPED_TRACE(c.url);
        SetUp();  // a fresh world each time
        if (c.firstRun) defaults().removeObject("hasCompletedInitialOnboarding");
        std::vector<AppDelegate::SettingsWindowOpening> outcomes;
        auto watch = delegate().settingsWindowOpened.connect(
            [&](const AppDelegate::SettingsWindowOpening& o) { outcomes.push_back(o); });
        app->launchWithURLs({c.url}, platform::AppleEvent::fromSender(std::nullopt, std::nullopt));
        start();
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_TRUE(outcomes[0].opened) << outcomes[0].reason;
        ASSERT_TRUE(SettingsWindow::shared().window());
        EXPECT_TRUE(SettingsWindow::shared().window()->isVisible());
        EXPECT_EQ(SettingsUIState::shared().activeTab.get(), c.tab);
        EXPECT_EQ(defaults().boolForKey("hasCompletedInitialOnboarding"), !c.firstRun);
    }
}

TEST_F(AppStartupTest, ARequestWithoutAWindowHostSaysWhyNothingOpened) {
    std::vector<AppDelegate::SettingsWindowOpening> outcomes;
    auto watch = delegate().settingsWindowOpened.connect(
        [&](const AppDelegate::SettingsWindowOpening& o) { outcomes.push_back(o); });
    delegate().setSettingsWindowHost({});
    start();
    delegate().openSettingsWindow();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_FALSE(outcomes[0].opened);
    EXPECT_EQ(outcomes[0].reason, "no settings window host is connected");
}

TEST_F(AppStartupTest, PermissionFlow) {
    // Never granted: nothing opens.
    setTrusted(false);
    start();
    EXPECT_EQ(delegate().settingsWindowRequests(), 0);
}

TEST_F(AppStartupTest, ARevokedPermissionOpensTheTrackpadTabAndAsksAgainLater) {
    setTrusted(false);
    defaults().set("hadAccessibilityTrust", true);
    runApplication();
    EXPECT_EQ(delegate().settingsWindowRequests(), 1);
    EXPECT_EQ(SettingsUIState::shared().activeTab.get(), SettingsTab::trackpad);
    advance(0.39);
    EXPECT_FALSE(WindowManager::shared().hasShownSystemAXPrompt());
    advance(0.02);
    EXPECT_TRUE(WindowManager::shared().hasShownSystemAXPrompt());
}

TEST_F(AppStartupTest, ReopenOpensTheSettingsWindow) {
    start();
    EXPECT_TRUE(app->reopen(true));
    EXPECT_TRUE(app->reopen(false));
    EXPECT_EQ(delegate().settingsWindowRequests(), 2);
}

TEST_F(AppStartupTest, MainMenuKeyEquivalents) {
    int closes = 0;
    delegate().setSettingsWindowHost({{}, [&] { ++closes; }, {}});
    start();
    EXPECT_TRUE(app->pressKeyEquivalent("w", platform::key_modifiers::command));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(app->pressKeyEquivalent("w", platform::key_modifiers::command | platform::key_modifiers::shift));
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(app->pressKeyEquivalent("z", platform::key_modifiers::command | platform::key_modifiers::shift));
    auto* redo = app->mainMenu()->itemForKeyEquivalent("Z", platform::key_modifiers::command);
    ASSERT_TRUE(redo);
    EXPECT_EQ(redo->title, "Redo");
    for (const char* key : {"z", "x", "c", "v", "a"})
        EXPECT_TRUE(app->mainMenu()->itemForKeyEquivalent(key, platform::key_modifiers::command)) << key;
}

TEST_F(AppStartupTest, QuitStopsTheBarTheTrackpadAndThePoll) {
    auto& touch = platform::sim::installSimTouchHardware();
    auto pad = touch.addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Built-in Trackpad"));
    setTrusted(false);
    start();
    SwitcherController::shared().presentPreviewHUD(10);
    WindowManager::shared().startPermissionPollingIfNeeded(45);
    ASSERT_TRUE(WindowManager::shared().isPermissionPolling());
    delegate().quitApp();
    EXPECT_FALSE(app->isRunning());
    EXPECT_FALSE(SwitcherController::shared().isVisible.get());
    EXPECT_FALSE(WindowManager::shared().isPermissionPolling());
    EXPECT_FALSE(platform::sim::SimMultitouchFramework::isRunning(pad.get()));
}

}  // namespace
}  // namespace quillmar::testing
