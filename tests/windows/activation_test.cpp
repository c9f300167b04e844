#include <gtest/gtest.h>

#include "runtime/main_loop.h"
#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

using Strings = std::vector<std::string>;

class ActivationTest : public WindowsTest {
protected:
    SwitchTarget windowTarget(std::int32_t pid, std::optional<std::uint32_t> number, platform::Rect bounds) {
        return SwitchTarget({.id = number ? win(*number) : "axwin-x", .pid = pid, .windowID = number, .appName = "App",
                             .windowTitle = "t", .bounds = bounds});
    }
    SwitchTarget appTarget(std::int32_t pid, bool parked = false) {
        return SwitchTarget({.id = appEntry(pid), .pid = pid, .appName = "App", .windowTitle = "App",
                             .isAppOnly = true, .isMinimizedOrHidden = parked, .hasOpenWindow = false});
    }
    std::uint32_t frontWindow() const {
        for (const auto* w : desktop->windows())
            if (desktop->isOnScreen(*w)) return w->number;
        return 0;
    }
    std::string pidLine(const char* verb, std::int32_t pid) { return std::string(verb) + " pid " + std::to_string(pid); }
    std::string winLine(const std::string& verb, std::uint32_t n) { return verb + " window " + std::to_string(n); }
};

TEST_F(ActivationTest, AMinimisedWindowIsRestoredRaisedAndRaisedAgainLater) {
    const auto other = addApp("Other");
    const auto app = addApp("Docs");
    addWindow(other, "front");
    addWindow(app, "visible");
    const auto parked = addWindow(app, "parked", {40, 40, 700, 500}, true);
    desktop->setFrontmost(other);
    auto targets = wm().fetchTargets(SwitcherMode::allWindows);
    auto chosen = std::find_if(targets.begin(), targets.end(), [&](const SwitchTarget& t) { return t.windowID == parked; });
    ASSERT_NE(chosen, targets.end());
    ASSERT_TRUE(chosen->axWindow);

    desktop->clearCallLog();
    wm().activate(*chosen);
    EXPECT_TRUE(loggedInOrder({winLine("ax set AXMinimized=false", parked), winLine("ax set AXMain=true", parked),
                               winLine("ax set AXFocused=true", parked), winLine("ax raise", parked),
                               "ax set AXFrontmost=true pid " + std::to_string(app),
                               "setFrontProcess pid " + std::to_string(app) + " window " + std::to_string(parked) +
                                   " options 512",
                               pidLine("yieldActivation to", app), pidLine("activate", app), winLine("ax raise", parked),
                               winLine("ax set AXMain=true", parked)}));
    EXPECT_FALSE(desktop->window(parked)->isMinimized);
    EXPECT_EQ(frontWindow(), parked);
    EXPECT_EQ(desktop->frontmostPid(), app);
    EXPECT_EQ(wm().mruAppPIDs().front(), app);

    desktop->clearCallLog();
    advance(0.11);
    EXPECT_TRUE(desktop->callLog().empty());
    advance(0.01);
    EXPECT_TRUE(loggedInOrder({winLine("ax raise", parked), winLine("ax set AXMain=true", parked),
                               winLine("ax set AXFocused=true", parked)}));
}

TEST_F(ActivationTest, FindsTheWindowByNumberElseByFrameWithin24Points) {
    const auto app = addApp("Two");
    const auto first = addWindow(app, "first", {0, 0, 800, 600});
    const auto second = addWindow(app, "second", {300, 300, 500, 400});
    auto& manager = wm();

    // The number wins even though the frame moved away.
    desktop->clearCallLog();
    manager.activate(windowTarget(app, second, {0, 0, 800, 600}));
    EXPECT_TRUE(logged(winLine("ax raise", second)));
    EXPECT_FALSE(logged(winLine("ax raise", first)));
    runtime::World::reset();

    SetUp();
    ax->setWindowNumberCallAvailable(false);
    const auto app2 = addApp("Two");
    const auto a = addWindow(app2, "first", {0, 0, 800, 600});
    const auto b = addWindow(app2, "second", {300, 300, 500, 400});
    auto& manager2 = wm();
    manager2.activate(windowTarget(app2, std::nullopt, {316, 316, 516, 384}));
    EXPECT_TRUE(logged(winLine("ax raise", b)));
    EXPECT_EQ(frontWindow(), b);

    desktop->clearCallLog();
    manager2.activate(windowTarget(app2, std::nullopt, {0, 24, 800, 600}));
    EXPECT_FALSE(logged(winLine("ax raise", a)));
    EXPECT_TRUE(logged(pidLine("activate", app2)));

    desktop->clearCallLog();
    manager2.activate(windowTarget(app2, std::nullopt, {0, 0, 0, 600}));
    EXPECT_FALSE(logged(winLine("ax raise", a)));
    EXPECT_TRUE(logged(pidLine("activate", app2)));
}

TEST_F(ActivationTest, AppEntriesRestoreOrOpenTheApp) {
    const auto dozing = addApp("Dozing");
    const auto firstParked = addWindow(dozing, "one", {0, 0, 600, 400}, true);
    addWindow(dozing, "two", {0, 0, 600, 400}, true);
    const auto empty = addApp("Empty");
    auto& manager = wm();

    manager.activate(appTarget(dozing));
    EXPECT_TRUE(loggedInOrder({pidLine("activate", dozing) + " allWindows", winLine("ax set AXMinimized=false", firstParked),
                               winLine("ax raise", firstParked)}));
    EXPECT_FALSE(desktop->window(firstParked)->isMinimized);

    manager.activate(appTarget(empty));
    EXPECT_TRUE(logged("open /Applications/Empty.app activating"));

    // Without Accessibility, an app entry is reopened only when it is parked.
    ax->setTrusted(false);
    desktop->clearCallLog();
    manager.activate(appTarget(empty, false));
    EXPECT_FALSE(logged("open /Applications/Empty.app activating"));
    manager.activate(appTarget(empty, true));
    EXPECT_TRUE(logged("open /Applications/Empty.app activating"));
}

TEST_F(ActivationTest, HiddenAppsUnhideAndMissingPiecesAreSkipped) {
    const auto app = addApp("Shy", std::nullopt, true);
    const auto w = addWindow(app, "shy");
    const auto other = addApp("Other");
    addWindow(other, "o");
    desktop->setFrontmost(other);
    desktop->setFrontProcessCallAvailable(false);
    auto& manager = wm();

    manager.activate(windowTarget(app, w, {100, 100, 800, 600}));
    EXPECT_TRUE(loggedInOrder({pidLine("unhide", app), winLine("ax raise", w), pidLine("activate", app)}));
    EXPECT_FALSE(logged("setFrontProcess pid " + std::to_string(app) + " window " + std::to_string(w) + " options 512"));
    EXPECT_EQ(frontWindow(), w);
    EXPECT_EQ(desktop->frontmostPid(), app);

    // A process that has gone: nothing happens, the MRU order included.
    desktop->clearCallLog();
    const auto mru = manager.mruAppPIDs();
    manager.activate(windowTarget(4242, 1, {0, 0, 100, 100}));
    EXPECT_TRUE(desktop->callLog().empty());
    EXPECT_EQ(manager.mruAppPIDs(), mru);
}

TEST_F(ActivationTest, ABenchedAppIsActivatedWithoutAskingAccessibility) {
    const auto other = addApp("Other");
    const auto app = addApp("Stuck");
    addWindow(other, "o");
    const auto w = addWindow(app, "stuck", {100, 100, 800, 600}, true);
    desktop->setFrontmost(other);
    auto& manager = wm();
    ax->appBehaviour(app).latency = 0.3;  // one slow read benches the app for 2.5 s
    manager.parseAXWindows(app, runtime::mediaTime() + 1.0);
    ASSERT_TRUE(manager.unresponsiveUntil(app));
    ax->appBehaviour(app).latency = 0;

    // A window target: the window is not looked up, restored or raised, but the app comes forward.
    const int asked = ax->requestCount(app);
    desktop->clearCallLog();
    manager.activate(windowTarget(app, w, {100, 100, 800, 600}));
    EXPECT_EQ(ax->requestCount(app), asked);
    EXPECT_FALSE(logged(winLine("ax raise", w)));
    EXPECT_TRUE(desktop->window(w)->isMinimized);
    EXPECT_TRUE(logged(pidLine("activate", app)));
    EXPECT_EQ(desktop->frontmostPid(), app);

    // A parked app entry: its windows cannot be read, so the app is reopened instead.
    desktop->clearCallLog();
    manager.activate(appTarget(app, true));
    EXPECT_EQ(ax->requestCount(app), asked);
    EXPECT_TRUE(logged("open /Applications/Stuck.app activating"));
}

}  // namespace
}  // namespace quillmar::testing
