#include <gtest/gtest.h>

#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

using platform::sim::SimMenu;
using platform::sim::SimMenuAction;
using platform::sim::SimMenuItem;

class CloseQuitTest : public WindowsTest {
protected:
    SwitchTarget target(std::int32_t pid, std::optional<std::uint32_t> number, std::string appName = "Editor",
                        std::optional<std::string> bundle = std::string("com.example.Editor")) {
        platform::Rect bounds;
        if (number && desktop->window(*number)) bounds = desktop->window(*number)->bounds;
        return SwitchTarget({.id = number ? win(*number) : appEntry(pid), .pid = pid, .bundleIdentifier = bundle,
                             .windowID = number, .appName = appName, .windowTitle = appName, .bounds = bounds,
                             .isAppOnly = !number});
    }
    bool exists(std::uint32_t n) const { return desktop->window(n) != nullptr; }
};

TEST_F(CloseQuitTest, AWindowTargetClosesThatWindowOrNothing) {
    const auto app = addApp("Editor");
    const auto focused = addWindow(app, "Focused", {0, 0, 800, 600});
    const auto target1 = addWindow(app, "Target", {200, 200, 600, 400});
    const auto minimised = addWindow(app, "Parked", {0, 0, 600, 400}, true);
    desktop->setFrontmost(app);
    auto& manager = wm();

    // The captured element's close button: nothing else is read.
    auto listed = manager.fetchTargets(SwitcherMode::allWindows);
    ASSERT_TRUE(listed[1].axWindow);
    const int before = ax->requestCount(app);
    EXPECT_TRUE(manager.closeTargetWindow(listed[1]));
    EXPECT_EQ(ax->requestCount(app), before + 2);  // the close button read and its press
    EXPECT_FALSE(exists(target1));
    EXPECT_TRUE(exists(focused));

    // Without a captured element, the window is found by its number, even when it is behind.
    const auto target2 = addWindow(app, "Second target", {300, 300, 500, 400});
    EXPECT_TRUE(manager.closeTargetWindow(target(app, target2)));
    EXPECT_FALSE(exists(target2));
    EXPECT_TRUE(exists(focused));

    // A window without a close button that is not focused: nothing is closed, not even through
    // Command-W, which would close the focused window instead.
    const auto buttonless = addWindow(app, "No button", {400, 400, 500, 400});
    ax->windowBehaviour(buttonless).hasCloseButton = false;
    desktop->clearCallLog();
    EXPECT_FALSE(manager.closeTargetWindow(target(app, buttonless)));
    EXPECT_TRUE(exists(buttonless));
    EXPECT_TRUE(exists(focused));
    EXPECT_TRUE(exists(minimised));
    EXPECT_FALSE(logged("ax press menu \"Close Window\" pid " + std::to_string(app)));

    // A window that is gone is not replaced by another.
    EXPECT_FALSE(manager.closeTargetWindow(target(app, 99999)));
    EXPECT_TRUE(exists(focused));
    // Not even by a neighbour at the very same frame whose number cannot be read.
    {
        auto gone = target(app, target1);
        gone.bounds = {120, 120, 500, 300};
        const auto twin = addWindow(app, "Twin", gone.bounds);
        ax->windowBehaviour(twin).exposesWindowNumber = false;
        EXPECT_FALSE(manager.closeTargetWindow(gone));
        EXPECT_TRUE(exists(twin));
        // A target without a number is found by its frame.
        auto unnumbered = target(app, std::nullopt);
        unnumbered.isAppOnly = false;
        unnumbered.bounds = gone.bounds;
        EXPECT_TRUE(manager.closeTargetWindow(unnumbered));
        EXPECT_FALSE(exists(twin));
    }

    // The same window once it is the focused one: Command-W closes exactly it.
    desktop->raiseWindow(buttonless);
    EXPECT_TRUE(manager.closeTargetWindow(target(app, buttonless)));
    EXPECT_TRUE(logged("ax press menu \"Close Window\" pid " + std::to_string(app)));
    EXPECT_FALSE(exists(buttonless));
    EXPECT_TRUE(exists(focused));
}

TEST_F(CloseQuitTest, AppEntriesCloseTheFrontWindowThenMenusThenHide) {
    const auto app = addApp("Editor");
    const auto parked = addWindow(app, "Parked", {0, 0, 600, 400}, true);
    const auto front = addWindow(app, "Front");
    desktop->setFrontmost(app);
    auto& manager = wm();

    // Open windows go before minimised ones.
    EXPECT_TRUE(manager.closeTargetWindow(target(app, std::nullopt)));
    EXPECT_FALSE(exists(front));
    EXPECT_TRUE(exists(parked));
    EXPECT_TRUE(manager.closeTargetWindow(target(app, std::nullopt)));
    EXPECT_FALSE(exists(parked));

    // Nothing left to close: the app is hidden; an already hidden app stays as it is.
    EXPECT_TRUE(manager.closeTargetWindow(target(app, std::nullopt)));
    EXPECT_TRUE(desktop->app(app)->isHidden);
    desktop->clearCallLog();
    EXPECT_TRUE(manager.closeTargetWindow(target(app, std::nullopt)));
    EXPECT_FALSE(logged("hide pid " + std::to_string(app)));

    // Finder is never hidden.
    const auto finder = addApp("Finder", std::string("com.apple.finder"));
    EXPECT_TRUE(manager.closeTargetWindow(target(finder, std::nullopt, "Finder", std::string("com.apple.finder"))));
    EXPECT_FALSE(desktop->app(finder)->isHidden);
}

TEST_F(CloseQuitTest, TheMenuRouteLooksOnlyForAnEnabledPlainCommandW) {
    const auto app = addApp("Editor");
    const auto w = addWindow(app, "Only");
    ax->windowBehaviour(w).hasCloseButton = false;
    desktop->setFrontmost(app);
    auto menus = [](std::vector<SimMenuItem> fileItems, std::size_t fileIndex) {
        std::vector<SimMenu> bar{{"Apple", {}}};
        for (std::size_t i = 1; i < fileIndex; ++i) bar.push_back({"Menu" + std::to_string(i), {{"x", "X"}}});
        bar.push_back({"File", std::move(fileItems)});
        return bar;
    };
    SimMenuItem shiftW{"Close All", "W", 1, true, SimMenuAction::closeFocusedWindow};
    SimMenuItem disabledW{"Close", "W", 0, false, SimMenuAction::closeFocusedWindow};
    SimMenuItem plainW{"Close", "w", 0, true, SimMenuAction::closeFocusedWindow};
    auto& manager = wm();

    ax->appBehaviour(app).menuBar = menus({shiftW, disabledW}, 1);
    EXPECT_FALSE(manager.closeTargetWindow(target(app, w)));
    EXPECT_TRUE(exists(w));

    // The seventeenth item of a menu is not searched.
    std::vector<SimMenuItem> long_(16, SimMenuItem{"filler", ""});
    long_.push_back(plainW);
    ax->appBehaviour(app).menuBar = menus(long_, 1);
    EXPECT_FALSE(manager.closeTargetWindow(target(app, w)));

    // Nor is the seventh menu; the sixth is.
    ax->appBehaviour(app).menuBar = menus({plainW}, 6);
    EXPECT_FALSE(manager.closeTargetWindow(target(app, w)));
    ax->appBehaviour(app).menuBar = menus({plainW}, 5);
    EXPECT_TRUE(manager.closeTargetWindow(target(app, w)));
    EXPECT_FALSE(exists(w));
}

TEST_F(CloseQuitTest, ClosingNeedsTrustUnlessTheCapturedButtonWorks) {
    const auto app = addApp("Editor");
    const auto a = addWindow(app, "A");
    const auto b = addWindow(app, "B", {300, 300, 500, 400});
    desktop->setFrontmost(app);
    auto& manager = wm();
    auto listed = manager.fetchTargets(SwitcherMode::allWindows);
    ASSERT_EQ(listed.size(), 2u);
    ax->setTrusted(false);
    EXPECT_FALSE(manager.closeTargetWindow(target(app, b)));
    EXPECT_TRUE(exists(b));
    // The sim refuses every request while untrusted, captured elements included.
    EXPECT_FALSE(manager.closeTargetWindow(listed[0]));
    EXPECT_TRUE(exists(a));
}

TEST_F(CloseQuitTest, QuitAndCloseCheckThatThePidStillBelongsToTheApp) {
    const auto app = addApp("Editor");
    const auto w = addWindow(app, "A");
    desktop->setFrontmost(app);
    auto& manager = wm();

    // Another bundle identifier under the pid: nothing is closed or quit.
    EXPECT_FALSE(manager.quitTargetApp(target(app, std::nullopt, "Editor", std::string("com.example.Old"))));
    EXPECT_FALSE(manager.closeTargetWindow(target(app, w, "Editor", std::string("com.example.Old"))));
    EXPECT_TRUE(desktop->app(app));
    EXPECT_TRUE(exists(w));

    // Without a bundle identifier the name must still match.
    platform::sim::SimApp bare;
    bare.localizedName = "Tool";
    const auto tool = desktop->addApp(bare).pid;
    const auto tw = addWindow(tool, "T");
    EXPECT_FALSE(manager.quitTargetApp(target(tool, std::nullopt, "Other tool", std::nullopt)));
    EXPECT_FALSE(manager.closeTargetWindow(target(tool, tw, "Other tool", std::nullopt)));
    EXPECT_FALSE(manager.quitTargetApp(target(app, std::nullopt, "Editor", std::nullopt)));
    EXPECT_TRUE(desktop->app(tool));
    EXPECT_TRUE(manager.quitTargetApp(target(tool, std::nullopt, "Tool", std::nullopt)));
    EXPECT_FALSE(desktop->app(tool));

    // A polite request the app refuses is still delivered; the app keeps running.
    desktop->app(app)->refusesPoliteTerminate = true;
    EXPECT_TRUE(manager.quitTargetApp(target(app, std::nullopt)));
    EXPECT_TRUE(desktop->app(app));
    EXPECT_FALSE(manager.quitTargetApp(target(4242, std::nullopt)));

    // Quitting needs no trust.
    ax->setTrusted(false);
    desktop->app(app)->refusesPoliteTerminate = false;
    EXPECT_TRUE(manager.quitTargetApp(target(app, std::nullopt)));
    EXPECT_FALSE(desktop->app(app));
}

}  // namespace
}  // namespace quillmar::testing
