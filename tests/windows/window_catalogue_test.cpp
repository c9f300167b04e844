#include <gtest/gtest.h>

#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

using Strings = std::vector<std::string>;
using platform::Rect;

class CatalogueTest : public WindowsTest {};

TEST_F(CatalogueTest, AllWindowsGroupsVisibleThenAppOnlyThenParkedAndLabelsBySiblings) {
    const auto a = addApp("Writer"), b = addApp("Viewer"), h = addApp("Hider"), m = addApp("Minnie"),
               e = addApp("Empty");
    const auto report = addWindow(a, "Report \u2014 Writer");
    const auto notes = addWindow(a, "Notes");
    const auto doc = addWindow(b, "Doc");
    const auto secret = addWindow(h, "Secret");
    const auto minimised = addWindow(m, "Min", {50, 50, 600, 400}, true);
    desktop->hide(h);
    desktop->setFrontmost(a);

    const auto targets = wm().fetchTargets(SwitcherMode::allWindows);
    EXPECT_EQ(ids(targets), (Strings{win(report), win(notes), win(doc), appEntry(e), win(secret), win(minimised)}));
    EXPECT_EQ(labels(targets), (Strings{"Report", "Notes", "Viewer", "Empty", "Hider", "Minnie"}));
    EXPECT_TRUE(targets[0].axWindow.has_value());
    EXPECT_FALSE(targets[3].hasOpenWindow);
    EXPECT_FALSE(targets[3].isMinimizedOrHidden);
    EXPECT_TRUE(targets[4].isMinimizedOrHidden);
    EXPECT_TRUE(targets[5].isMinimizedOrHidden);
    EXPECT_EQ(targets[5].bounds, (Rect{50, 50, 600, 400}));
}

TEST_F(CatalogueTest, AnOpeningRelabelsOnlyRetitledWindowsAndKeepsLabelsOfListedOnesOnly) {
    const auto a = addApp("Writer");
    const auto report = addWindow(a, "Report \u2014 Writer");
    const auto notes = addWindow(a, "Notes \u2014 Writer");
    desktop->setFrontmost(a);
    auto cleaned = [&] {
        Strings out;
        for (const auto& t : wm().fetchTargets(SwitcherMode::allWindows)) out.push_back(t.cleanedWindowTitle);
        return out;
    };
    EXPECT_EQ(cleaned(), (Strings{"Report", "Notes"}));
    const std::size_t first = wm().labelsWorkedOut();
    EXPECT_EQ(cleaned(), (Strings{"Report", "Notes"}));
    EXPECT_EQ(wm().labelsWorkedOut(), first);  // unchanged titles: nothing worked out again
    desktop->setWindowTitle(notes, "Plan \u2014 Writer");
    EXPECT_EQ(cleaned(), (Strings{"Report", "Plan"}));
    EXPECT_EQ(wm().labelsWorkedOut(), first + 1);
    desktop->closeWindow(report);
    EXPECT_EQ(cleaned(), (Strings{"Plan"}));
    EXPECT_EQ(wm().keptLabelCount(), 1u);  // a closed window's label goes with it
}

TEST_F(CatalogueTest, AppsOnlyFollowsMRUAndDecidesOpenWindows) {
    const auto finder = addApp("Finder", std::string("com.apple.finder"));
    const auto plain = addApp("Plain");
    const auto shown = addApp("Shown");
    const auto parked = addApp("Parked");
    const auto hidden = addApp("Hidden", std::nullopt, true);
    addWindow(shown, "visible");
    addWindow(parked, "gone", {10, 10, 500, 400}, true);
    addWindow(hidden, "h");
    desktop->setFrontmost(shown);
    auto& manager = wm();
    desktop->activate(parked, 0);
    runUntilIdle();
    desktop->setFrontmost(shown);

    const auto targets = manager.fetchTargets(SwitcherMode::appsOnly);
    EXPECT_EQ(ids(targets), (Strings{appEntry(shown), appEntry(plain), appEntry(finder), appEntry(parked),
                                     appEntry(hidden)}));
    for (const auto& t : targets) {
        EXPECT_TRUE(t.isAppOnly);
        EXPECT_EQ(t.displayLabel, t.appName);
    }
    // Finder without a window has nothing open; another app without a qualifying window does.
    EXPECT_TRUE(targets[1].hasOpenWindow);
    EXPECT_FALSE(targets[2].hasOpenWindow);
    EXPECT_TRUE(targets[3].isMinimizedOrHidden);
}

TEST_F(CatalogueTest, AppsLaunchedSinceTheMRUListWasMadeComeLastInLaunchOrder) {
    const auto first = addApp("First");
    const auto second = addApp("Second");
    desktop->setFrontmost(second);
    auto& manager = wm();  // its MRU list: Second, First
    const auto late = addApp("Late");
    const auto later = addApp("Later");
    const auto latest = addApp("Latest");
    desktop->activate(later, 0);  // Later joins the MRU list at its front; Late and Latest are absent
    runUntilIdle();
    desktop->setFrontmost(first);
    const Strings order{appEntry(first), appEntry(later), appEntry(second), appEntry(late), appEntry(latest)};
    EXPECT_EQ(ids(manager.fetchTargets(SwitcherMode::appsOnly)), order);
    EXPECT_EQ(ids(manager.fetchTargets(SwitcherMode::allWindows)), order) << "app entries of apps without windows";
    EXPECT_EQ(manager.mruAppPIDs(), (std::vector<std::int32_t>{first, later, second}));
}

TEST_F(CatalogueTest, SizeFloorsPlaceholdersTransparencyAndDuplicates) {
    const auto narrow = addApp("Narrow");
    addWindow(narrow, "tiny", {0, 0, 159, 400});
    const auto other = addApp("Elsewhere");
    const auto elsewhere = addWindow(other, "On Space 2", {30, 30, 220, 160}, false, 2);
    const auto placeholder = addApp("Placeholder");
    addWindow(placeholder, "ph", {0, 0, 500, 500}, false, 2);
    const auto shifted = addApp("Shifted");
    const auto notPlaceholder = addWindow(shifted, "real", {1, 0, 500, 500}, false, 2);
    const auto ghost = addApp("Ghost");
    const auto faint = addWindow(ghost, "faint");
    desktop->window(faint)->alpha = 0.04;
    const auto opaque = addWindow(ghost, "no alpha");
    desktop->window(opaque)->infoOverrides["alpha"] = nullptr;
    const auto twin = addWindow(ghost, "twin");
    desktop->window(twin)->infoOverrides["windowNumber"] = opaque;
    desktop->setFrontmost(ghost);

    const auto targets = wm().fetchTargets(SwitcherMode::allWindows);
    EXPECT_EQ(ids(targets), (Strings{win(opaque), win(elsewhere), win(notPlaceholder), appEntry(narrow),
                                     appEntry(placeholder)}));
    EXPECT_TRUE(targets[1].hasOpenWindow);
    EXPECT_FALSE(targets[1].isMinimizedOrHidden);

    // Restricted to the current Space, only minimised windows of other Spaces would stay.
    SwitcherSettings::shared().currentSpaceOnly = true;
    EXPECT_EQ(ids(wm().fetchTargets(SwitcherMode::allWindows)),
              (Strings{win(opaque), appEntry(narrow), appEntry(other), appEntry(placeholder), appEntry(shifted)}));
}

TEST_F(CatalogueTest, ExactSizeFloorsOfTheVisibleAndTheAccessibilityOnlyPasses) {
    // Visible windows need 160 x 120; windows only Accessibility lists (here minimised) 120 x 80.
    const auto app = addApp("Floors");
    const auto exact = addWindow(app, "exact", {0, 0, 160, 120});
    addWindow(app, "short", {0, 0, 160, 119});
    addWindow(app, "thin", {0, 0, 159, 120});
    const auto small = addWindow(app, "small", {0, 0, 120, 80}, true);
    addWindow(app, "smaller", {0, 0, 120, 79}, true);
    addWindow(app, "narrower", {0, 0, 119, 80}, true);
    desktop->setFrontmost(app);
    EXPECT_EQ(ids(wm().fetchTargets(SwitcherMode::allWindows)), (Strings{win(exact), win(small)}));
}

TEST_F(CatalogueTest, OffScreenWindowsLargestFirstAndOneUnconfirmedPerApp) {
    auto of = [&](const std::vector<SwitchTarget>& targets, std::int32_t pid) {
        std::vector<SwitchTarget> out;
        for (const auto& t : targets)
            if (t.pid == pid) out.push_back(t);
        return out;
    };

    // Accessibility does not list windows on other Spaces: of those, only the largest is kept,
    // and without a title of its own it takes the app's name.
    const auto spaced = addApp("Spaced");
    const auto here = addWindow(spaced, "here");
    addWindow(spaced, "small", {0, 0, 300, 200}, false, 2);
    const auto big = addWindow(spaced, "", {10, 10, 900, 700}, false, 2);
    addWindow(spaced, "mid", {0, 0, 500, 400}, false, 2);
    desktop->setFrontmost(spaced);
    auto mine = of(wm().fetchTargets(SwitcherMode::allWindows), spaced);
    EXPECT_EQ(ids(mine), (Strings{win(here), win(big)}));
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[1].windowTitle, "Spaced");

    // An app that lists them, without window numbers: each is confirmed by its frame, all are
    // kept, largest first, and a window the window server reports untitled takes its
    // Accessibility title.
    const auto lister = addApp("Lister");
    ax->appBehaviour(lister).listsWindowsOnOtherSpaces = true;
    const auto visible = addWindow(lister, "visible");
    const auto alpha = addWindow(lister, "Alpha", {0, 0, 400, 300}, false, 2);
    const auto beta = addWindow(lister, "Beta", {20, 20, 700, 500}, false, 2);
    ax->windowBehaviour(alpha).exposesWindowNumber = false;
    ax->windowBehaviour(beta).exposesWindowNumber = false;
    desktop->window(beta)->infoOverrides["name"] = "";
    desktop->setFrontmost(lister);
    mine = of(wm().fetchTargets(SwitcherMode::allWindows), lister);
    EXPECT_EQ(ids(mine), (Strings{win(visible), win(beta), win(alpha)}));
    EXPECT_EQ(labels(mine), (Strings{"visible", "Beta", "Alpha"}));
}

TEST_F(CatalogueTest, WithoutAccessibilityTheLargestUntitledWindowStandsForTheApp) {
    ax->setTrusted(false);
    const auto app = addApp("Palette");
    addWindow(app, "", {0, 0, 300, 200});
    const auto large = addWindow(app, "", {0, 0, 900, 700});
    addWindow(app, "", {0, 0, 400, 300});
    desktop->setFrontmost(app);
    const auto targets = wm().fetchTargets(SwitcherMode::allWindows);
    ASSERT_EQ(ids(targets), (Strings{win(large)}));
    EXPECT_EQ(targets[0].windowTitle, "Palette");
    EXPECT_FALSE(targets[0].axWindow.has_value());
}

TEST_F(CatalogueTest, MinimisedOnlyAppsAreListedThroughAccessibility) {
    const auto app = addApp("Dozer");
    const auto first = addWindow(app, "One", {0, 0, 700, 500}, true);
    const auto second = addWindow(app, "Two", {0, 0, 700, 500}, true);
    const auto small = addApp("Smallish");
    addWindow(small, "tiny", {0, 0, 200, 100}, true);
    desktop->setFrontmost(app);

    const auto targets = wm().fetchTargets(SwitcherMode::allWindows);
    EXPECT_EQ(ids(targets), (Strings{appEntry(small), win(first), win(second)}));
    EXPECT_EQ(labels(targets), (Strings{"Smallish", "One", "Two"}));
    EXPECT_TRUE(targets[1].isMinimizedOrHidden);

    // Still listed with the current Space only.
    SwitcherSettings::shared().currentSpaceOnly = true;
    EXPECT_EQ(ids(wm().fetchTargets(SwitcherMode::allWindows)), (Strings{appEntry(small), win(first), win(second)}));
}

TEST_F(CatalogueTest, ActiveAppWindowsFallsBackToAllAppsWhenTheFrontAppHasNothing) {
    const auto front = addApp("Front"), back = addApp("Back");
    const auto f1 = addWindow(front, "f1");
    const auto b1 = addWindow(back, "b1");
    desktop->setFrontmost(front);
    EXPECT_EQ(ids(wm().fetchTargets(SwitcherMode::activeAppWindows)), (Strings{win(f1)}));

    desktop->moveWindow(f1, {0, 0, 100, 100});
    EXPECT_EQ(ids(wm().fetchTargets(SwitcherMode::activeAppWindows)), (Strings{win(b1)}));
}

TEST_F(CatalogueTest, WindowsMatchByNumberFirstThenByFrameWithin24Points) {
    const auto app = addApp("Framer");
    const auto w = addWindow(app, "Framed", {100, 100, 800, 600});
    desktop->setFrontmost(app);
    auto reportBounds = [&](Rect r) { desktop->window(w)->infoOverrides["bounds"] = platform::dictionaryFromRect(r); };

    // With the number call, the number decides even when the frames disagree.
    reportBounds({600, 400, 300, 200});
    auto targets = wm().fetchTargets(SwitcherMode::allWindows);
    ASSERT_EQ(ids(targets), (Strings{win(w)}));
    EXPECT_TRUE(targets[0].axWindow.has_value());
    runtime::World::reset();

    SetUp();
    const auto app2 = addApp("Framer");
    const auto w2 = addWindow(app2, "Framed", {100, 100, 800, 600});
    desktop->setFrontmost(app2);
    ax->setWindowNumberCallAvailable(false);
    desktop->window(w2)->infoOverrides["bounds"] = platform::dictionaryFromRect({123, 100, 800, 623});
    targets = wm().fetchTargets(SwitcherMode::allWindows);
    ASSERT_EQ(ids(targets), (Strings{win(w2)}));
    EXPECT_TRUE(targets[0].axWindow.has_value());

    // 24 points off is no match: Accessibility answered with windows, none of them this record.
    desktop->window(w2)->infoOverrides["bounds"] = platform::dictionaryFromRect({124, 100, 800, 600});
    EXPECT_EQ(ids(wm().fetchTargets(SwitcherMode::allWindows)), (Strings{appEntry(app2)}));
}

TEST_F(CatalogueTest, AnAppOfManyWindowsMatchesThemAsAnAppOfFew) {
    for (int count : {6, 40}) {
        SCOPED_TRACE(count);
        if (count != 6) {
            runtime::World::reset();
            SetUp();
        }
        const auto app = addApp("Many");
        desktop->setFrontmost(app);
        std::vector<std::uint32_t> windows;
        for (int i = 0; i < count; ++i)
            windows.push_back(addWindow(app, "W" + std::to_string(i), {40.0 * i, 100, 800, 600}));
        auto& state = desktop->extension<platform::sim::SimAccessibilityState>();
        auto reportBounds = [&](std::uint32_t w, Rect r) {
            desktop->window(w)->infoOverrides["bounds"] = platform::dictionaryFromRect(r);
        };
        state.windows[windows[1]].exposesWindowNumber = false;  // found by its frame
        state.windows[windows[2]].exposesWindowNumber = false;
        reportBounds(windows[2], {40.0 * 2 + 24, 100, 800, 600});  // its frame 24 points off: no match
        reportBounds(windows[3], {900, 700, 300, 200});            // its number still matches
        const auto targets = wm().fetchTargets(SwitcherMode::allWindows);
        Strings want;
        for (auto w : windows)
            if (w != windows[2]) want.push_back(win(w));
        Strings got = ids(targets);
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want);
        for (const auto& t : targets) EXPECT_TRUE(t.axWindow.has_value()) << t.id;
    }
}

}  // namespace
}  // namespace quillmar::testing
