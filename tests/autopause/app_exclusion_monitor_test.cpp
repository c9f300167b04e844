#include "autopause/app_exclusion_monitor.h"

#include <gtest/gtest.h>

#include "autopause/game_detection.h"
#include "platform/sim/sim_desktop.h"
#include "platform/workspace.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar {
namespace {

using platform::Rect;
using platform::sim::SimApp;
using platform::sim::SimDesktop;
using platform::sim::SimWindow;

SimApp app(const std::string& bundleID, const std::string& name) {
    SimApp a;
    a.bundleIdentifier = bundleID;
    a.localizedName = name;
    a.bundlePath = "/Applications/" + name + ".app";
    a.executablePath = "/Applications/" + name + ".app/Contents/MacOS/" + name;
    return a;
}

class AppExclusionMonitorTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        desktop = &SimDesktop::install();
        desktop->setScreens({platform::Screen{1, "Built-in", Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), 2}}, false);
        desktop->setOwnProcess(app("com.example.quillmar", "Quillmar")).activationPolicy =
            platform::ActivationPolicy::accessory;
    }
    // Puts an app in front and lets the monitor hear about it.
    std::int32_t front(SimApp a) {
        const auto pid = desktop->addApp(std::move(a)).pid;
        desktop->activate(pid, platform::activateIgnoringOtherApps);
        runUntilIdle();
        return pid;
    }
    AppExclusionMonitor& monitor() {
        auto& m = AppExclusionMonitor::shared();
        if (!watching_) {
            watching_ = true;
            sub_ = m.activePauseReason.publisher().dropFirst().sink([this](const auto&) { ++publications; });
        }
        return m;
    }
    std::optional<AutoPauseReason> reason() { return monitor().activePauseReason.get(); }
    bool gateSuppressed() { return TrackpadTouchMonitor::shared().gateFlags().isSuppressed; }
    SwitcherSettings& settings() { return SwitcherSettings::shared(); }

    SimDesktop* desktop = nullptr;
    int publications = 0;

private:
    bool watching_ = false;
    runtime::Subscription sub_;
};

TEST_F(AppExclusionMonitorTest, ExcludedAppsPauseWhateverTheGameSetting) {
    settings().ignoredBundleIDs = {"com.blizzard.diablo"};
    settings().pauseInGames = false;
    front(app("com.blizzard.diablo", "Diablo"));
    monitor();
    runUntilIdle();
    EXPECT_EQ(reason(), AutoPauseReason::excludedApp("Diablo", "com.blizzard.diablo"));
    EXPECT_TRUE(gateSuppressed());
    // A game on the list is an excluded app, never a game.
    settings().pauseInGames = true;
    runUntilIdle();
    EXPECT_TRUE(reason()->isExcludedApp());

    // Removing it from the list clears the pause on the next pass; with the game setting off
    // nothing else holds.
    settings().pauseInGames = false;
    settings().toggleIgnoredApp("com.blizzard.diablo");
    EXPECT_TRUE(reason().has_value());
    runUntilIdle();
    EXPECT_FALSE(reason().has_value());
    EXPECT_FALSE(gateSuppressed());
}

TEST_F(AppExclusionMonitorTest, TheReasonIsStoredOnlyWhenItChanges) {
    settings().ignoredBundleIDs = {"com.apple.Safari", "com.apple.Notes"};
    front(app("com.apple.Safari", "Safari"));
    auto& m = monitor();
    runUntilIdle();
    const int afterStart = publications;
    m.refreshFrontmostState();
    m.refreshFrontmostState();
    EXPECT_EQ(publications, afterStart);

    front(app("com.apple.Notes", "Notes"));  // another excluded app: a new reason
    EXPECT_EQ(reason(), AutoPauseReason::excludedApp("Notes", "com.apple.Notes"));
    EXPECT_EQ(publications, afterStart + 1);

    // Two games of the same name: nothing new is stored.
    front(app("com.epicgames.one", "Game"));
    const int afterGame = publications;
    front(app("com.epicgames.two", "Game"));
    EXPECT_EQ(publications, afterGame);
    EXPECT_EQ(reason(), AutoPauseReason::gameActive("Game"));
}

TEST_F(AppExclusionMonitorTest, OwnWindowsAndAccessoryAppsAreNotTheLastRegularApp) {
    front(app("com.apple.Safari", "Safari"));
    auto& m = monitor();
    desktop->activate(desktop->ownPid(), platform::activateIgnoringOtherApps);
    runUntilIdle();
    EXPECT_FALSE(reason().has_value());
    EXPECT_EQ(m.lastRegularAppName.get(), "Safari");
    EXPECT_EQ(m.lastRegularBundleID.get(), "com.apple.Safari");

    settings().ignoredBundleIDs = {"com.example.helper"};
    auto helper = app("com.example.helper", "Helper");
    helper.activationPolicy = platform::ActivationPolicy::accessory;
    front(helper);
    runUntilIdle();
    EXPECT_EQ(reason(), AutoPauseReason::excludedApp("Helper", "com.example.helper"));
    EXPECT_EQ(m.lastRegularAppName.get(), "Safari");

    // Nameless apps pause as "App".
    SimApp nameless = app("com.example.nameless", "x");
    nameless.localizedName.reset();
    settings().ignoredBundleIDs = {"com.example.nameless"};
    front(nameless);
    EXPECT_EQ(reason(), AutoPauseReason::excludedApp("App", "com.example.nameless"));
}

TEST_F(AppExclusionMonitorTest, GameApplicationsByPrefixPathAndInfoPlist) {
    auto& m = monitor();
    auto isGame = [&](const SimApp& a) {
        auto running = desktop->snapshot(desktop->addApp(a));
        return m.isGameApplication(running, running.bundleIdentifier.value_or(""));
    };
    EXPECT_TRUE(isGame(app("org.winehq.wine", "Wine")));
    EXPECT_FALSE(isGame(app("Org.winehq.wine2", "Wine2")));  // the game list is case-sensitive
    EXPECT_TRUE(isGame(app("net.minecraftlauncher", "Launcher")));

    auto steam = app("", "Portal");
    steam.bundleIdentifier.reset();
    steam.bundlePath = "/Users/me/Library/Application Support/Steam/SteamApps/Common/Portal/Portal.app";
    EXPECT_TRUE(isGame(steam));

    auto categorised = app("com.example.chess", "Chess");
    categorised.infoPlist["LSApplicationCategoryType"] = "public.app-category.board-GAMES";
    EXPECT_TRUE(isGame(categorised));
    auto controller = app("com.example.racer", "Racer");
    controller.infoPlist["GCSupportsControllerUserInteraction"] = true;
    EXPECT_TRUE(isGame(controller));
    auto notController = app("com.example.racer2", "Racer2");
    notController.infoPlist["GCSupportsControllerUserInteraction"] = "YES";  // a string, not a Boolean
    EXPECT_FALSE(isGame(notController));
    auto noBundle = app("com.example.tool", "Tool");
    noBundle.hasBundle = false;
    noBundle.infoPlist["LSApplicationCategoryType"] = "public.app-category.games";
    EXPECT_FALSE(isGame(noBundle));

    EXPECT_TRUE(isVirtualizationOrRemoteApp("com.apple.screensharing"));
    EXPECT_TRUE(isVirtualizationOrRemoteApp("COM.PARALLELS.desktop"));
    EXPECT_FALSE(isVirtualizationOrRemoteApp(""));
    EXPECT_FALSE(isVirtualizationOrRemoteApp("com.apple.Safari"));
}

TEST_F(AppExclusionMonitorTest, TheGameCacheAnswersOnceAndEmptiesAtItsLimit) {
    auto& m = monitor();
    auto chess = app("com.example.chess", "Chess");
    auto& added = desktop->addApp(chess);
    auto running = desktop->snapshot(added);
    EXPECT_FALSE(m.isGameApplication(running, "com.example.chess"));
    added.infoPlist["LSApplicationCategoryType"] = "public.app-category.games";
    EXPECT_FALSE(m.isGameApplication(running, "com.example.chess"));  // the first answer stands

    // Keys: bundle identifier, else executable path, else the process id.
    platform::RunningApplication bare;
    bare.processIdentifier = 77;
    EXPECT_EQ(AppExclusionMonitor::gameCacheKey(bare, ""), "pid:77");
    bare.executablePath = "/opt/tool";
    EXPECT_EQ(AppExclusionMonitor::gameCacheKey(bare, ""), "/opt/tool");

    while (m.gameCacheSize() < AppExclusionMonitor::kGameCacheLimit) {
        bare.processIdentifier++;
        bare.executablePath.reset();
        m.isGameApplication(bare, "");
    }
    bare.processIdentifier++;
    m.isGameApplication(bare, "");
    EXPECT_EQ(m.gameCacheSize(), 1u);
    // Now the Info.plist is read again.
    EXPECT_TRUE(m.isGameApplication(running, "com.example.chess"));
}

TEST_F(AppExclusionMonitorTest, TerminatedProcessesLeaveTheCache) {
    auto& m = monitor();
    auto unnamed = app("", "Anon");
    unnamed.bundleIdentifier.reset();
    unnamed.executablePath.reset();
    unnamed.bundlePath.reset();
    const auto pid = front(unnamed);
    EXPECT_EQ(m.gameCacheSize(), 1u);
    desktop->terminate(pid);
    runUntilIdle();
    EXPECT_EQ(m.gameCacheSize(), 0u);
}

TEST_F(AppExclusionMonitorTest, CoveringAndNearFullscreenWindows) {
    const auto pid = front(app("com.example.viewer", "Viewer"));
    auto& m = monitor();
    EXPECT_FALSE(reason().has_value());

    auto& covering = desktop->addWindow(SimWindow{0, pid, "Cover", Rect(10, 10, 1442, 898), 25});
    EXPECT_TRUE(hasShieldingOrCoveringWindow(pid));
    m.refreshFrontmostState();
    EXPECT_EQ(reason(), AutoPauseReason::gameActive("Viewer"));
    desktop->moveWindow(covering.number, Rect(10, 10, 1442.5, 898));
    EXPECT_FALSE(hasShieldingOrCoveringWindow(pid));
    desktop->moveWindow(covering.number, Rect(0, 0, 1440, 900));
    desktop->window(covering.number)->layer = 0;  // screen-sized but ordinary
    EXPECT_FALSE(hasShieldingOrCoveringWindow(pid));
    desktop->window(covering.number)->layer = 2147483628;  // the shielding level, any size
    desktop->moveWindow(covering.number, Rect(0, 0, 10, 10));
    EXPECT_TRUE(hasShieldingOrCoveringWindow(pid));
    desktop->closeWindow(covering.number);
    m.refreshFrontmostState();
    EXPECT_FALSE(reason().has_value());

    // A virtual machine filling 95% of a screen at the ordinary level.
    const auto vm = front(app("com.vmware.fusion", "Fusion"));
    auto& vmWindow = desktop->addWindow(SimWindow{0, vm, "Windows 11", Rect(0, 0, 1368, 855), 0});
    m.refreshFrontmostState();
    EXPECT_EQ(reason(), AutoPauseReason::gameActive("Fusion"));
    desktop->moveWindow(vmWindow.number, Rect(0, 0, 1366.5, 855));
    m.refreshFrontmostState();
    EXPECT_FALSE(reason().has_value());

    // Without screens only the shielding level can tell.
    desktop->moveWindow(vmWindow.number, Rect(0, 0, 1440, 900));
    desktop->setScreens({}, false);
    EXPECT_FALSE(hasNearFullscreenWindow(vm));
    desktop->window(vmWindow.number)->layer = 2147483628;
    EXPECT_TRUE(hasShieldingOrCoveringWindow(vm));
}

TEST_F(AppExclusionMonitorTest, TheGameSettingSwitchesThePauseAndTheRecogniserAsksFirst) {
    front(app("com.riotgames.league", "League"));
    auto& m = monitor();
    EXPECT_EQ(reason(), AutoPauseReason::gameActive("League"));
    settings().pauseInGames = false;
    runUntilIdle();
    EXPECT_FALSE(reason().has_value());
    settings().pauseInGames = true;
    runUntilIdle();
    EXPECT_TRUE(reason().has_value());

    // The trackpad's pause check is this monitor's, refreshed before a gesture may begin.
    auto& trackpad = TrackpadTouchMonitor::shared();
    ASSERT_TRUE(trackpad.isPauseActive);
    EXPECT_TRUE(trackpad.isPauseActive());
    front(app("com.apple.TextEdit", "TextEdit"));
    desktop->activate(desktop->appWithBundleIdentifier("com.riotgames.league")->pid, 0);
    // Not yet told about the switch back: the refresh finds it.
    ASSERT_TRUE(trackpad.refreshPauseState);
    trackpad.refreshPauseState();
    EXPECT_TRUE(trackpad.isPauseActive());
    EXPECT_EQ(m.lastRegularAppName.get(), "League");
}

}  // namespace
}  // namespace quillmar
