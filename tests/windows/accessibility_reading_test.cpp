#include <gtest/gtest.h>

#include "runtime/main_loop.h"
#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

using platform::AXError;

class AccessibilityReadingTest : public WindowsTest {
protected:
    double now() { return runtime::mediaTime(); }
};

TEST_F(AccessibilityReadingTest, DeadlineAndBenchRules) {
    const auto app = addApp("Slow");
    addWindow(app, "w");
    auto& manager = wm();

    // A deadline already past: no element, no request.
    auto answer = manager.parseAXWindows(app, now());
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(ax->requestCount(app), 0);

    // Slower than the app timeout (capped at 0.1 s): the request waits 0.1 s and benches the app.
    ax->appBehaviour(app).latency = 0.3;
    double start = now();
    answer = manager.parseAXWindows(app, now() + 1.0);
    EXPECT_FALSE(answer.answered);
    EXPECT_NEAR(now() - start, 0.1, 1e-6);
    ASSERT_TRUE(manager.unresponsiveUntil(app));
    EXPECT_NEAR(*manager.unresponsiveUntil(app), now() + 2.5, 1e-6);

    // Benched: answered at once without asking, for 2.5 s.
    ax->appBehaviour(app).latency = 0;
    const int asked = ax->requestCount(app);
    advance(1.0);
    EXPECT_FALSE(manager.axApplicationElement(app, 0.1f));
    start = now();
    EXPECT_FALSE(manager.parseAXWindows(app, now() + 1.0).answered);
    EXPECT_EQ(now(), start);
    EXPECT_EQ(ax->requestCount(app), asked);
    advance(1.5);
    answer = manager.parseAXWindows(app, now() + 1.0);
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ(answer.windows.size(), 1u);
    EXPECT_FALSE(manager.unresponsiveUntil(app));

    // A quick failure, even one that cannot complete, benches nothing.
    ax->appBehaviour(app).latency = 0.01;
    ax->appBehaviour(app).failsWith = AXError::cannotComplete;
    EXPECT_FALSE(manager.parseAXWindows(app, now() + 1.0).answered);
    EXPECT_FALSE(manager.unresponsiveUntil(app));

    // The timeout never drops below its floor: a request started 5 ms before the deadline may
    // still wait 15 ms.
    ax->appBehaviour(app).failsWith.reset();
    ax->appBehaviour(app).hangs = true;
    start = now();
    EXPECT_FALSE(manager.parseAXWindows(app, now() + 0.005).answered);
    EXPECT_NEAR(now() - start, 0.015, 1e-6);
    EXPECT_FALSE(manager.unresponsiveUntil(app));  // below the slow threshold
}

TEST_F(AccessibilityReadingTest, TheDeadlinePassingAmongAnAppsWindowsDropsTheWholeApp) {
    const auto app = addApp("Many");
    for (int i = 0; i < 4; ++i) addWindow(app, "w" + std::to_string(i));
    auto& manager = wm();
    ax->appBehaviour(app).latency = 0.02;  // every request takes 20 ms
    auto answer = manager.parseAXWindows(app, now() + 1.0);
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(answer.windows.size(), 4u);

    // With 70 ms left the list and the first windows are read, then time runs out.
    const int before = ax->requestCount(app);
    answer = manager.parseAXWindows(app, now() + 0.07);
    EXPECT_GT(ax->requestCount(app), before + 1);
    EXPECT_FALSE(answer.answered);
    EXPECT_TRUE(answer.windows.empty());
    EXPECT_FALSE(manager.unresponsiveUntil(app));
}

TEST_F(AccessibilityReadingTest, WindowFactsSubrolesAndFallbackReads) {
    const auto app = addApp("Panels");
    const auto empty = addApp("Windowless");
    const auto standard = addWindow(app, "  Main  ", {10, 20, 640, 480});
    const auto floating = addWindow(app, "Palette");
    const auto minimizedPanel = addWindow(app, "Min palette", {0, 0, 300, 300}, true);
    const auto unknown = addWindow(app, "Unknown");
    ax->windowBehaviour(floating).subrole = platform::ax::kFloatingWindowSubrole;
    ax->windowBehaviour(minimizedPanel).subrole = platform::ax::kFloatingWindowSubrole;
    ax->windowBehaviour(unknown).subrole = "";
    auto& manager = wm();

    auto answer = manager.parseAXWindows(app, now() + 1);
    ASSERT_TRUE(answer.answered);
    ASSERT_EQ(answer.windows.size(), 3u);
    EXPECT_EQ(answer.windows[0].windowID, standard);
    EXPECT_EQ(answer.windows[0].title, "Main");
    EXPECT_EQ(answer.windows[0].position, (platform::Point{10, 20}));
    EXPECT_EQ(answer.windows[0].size, (platform::Size{640, 480}));
    EXPECT_EQ(answer.windows[1].windowID, minimizedPanel);
    EXPECT_FALSE(answer.windows[1].isStandardOrDialog);
    EXPECT_TRUE(answer.windows[1].isMinimized);
    EXPECT_EQ(answer.windows[2].windowID, unknown);
    EXPECT_TRUE(answer.windows[2].isStandardOrDialog);

    auto none = manager.parseAXWindows(empty, now() + 1);
    EXPECT_TRUE(none.answered);
    EXPECT_TRUE(none.windows.empty());

    // Batch reads refused: single reads give subrole and title; position and size stay default.
    ax->appBehaviour(app).batchReadsFail = true;
    answer = manager.parseAXWindows(app, now() + 1);
    ASSERT_EQ(answer.windows.size(), 3u);
    EXPECT_EQ(answer.windows[0].title, "Main");
    EXPECT_EQ(answer.windows[0].position, (platform::Point{0, 0}));
    EXPECT_EQ(answer.windows[0].size, (platform::Size{400, 300}));
    EXPECT_FALSE(manager.unresponsiveUntil(app));
}

TEST_F(AccessibilityReadingTest, WithoutTheNumberCallEveryWindowIsUnnumbered) {
    ax->setWindowNumberCallAvailable(false);
    const auto app = addApp("Plain");
    addWindow(app, "one");
    const auto minimized = addWindow(app, "two", {0, 0, 500, 400}, true);
    desktop->setFrontmost(app);
    auto& manager = wm();
    for (const auto& w : manager.parseAXWindows(app, now() + 1).windows) EXPECT_EQ(w.windowID, 0u);

    // A minimised window without a number gets an id from its index among the app's windows.
    const auto targets = manager.fetchTargets(SwitcherMode::allWindows);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[1].id, "axwin-" + std::to_string(app) + "-1");
    EXPECT_FALSE(targets[1].windowID);
    (void)minimized;
}

TEST_F(AccessibilityReadingTest, OneCatalogueCallStaysWithinItsBudget) {
    std::vector<std::int32_t> apps;
    for (int i = 0; i < 6; ++i) {
        const auto pid = addApp("Hung" + std::to_string(i));
        addWindow(pid, "w" + std::to_string(i));
        ax->appBehaviour(pid).hangs = true;
        apps.push_back(pid);
    }
    desktop->setFrontmost(apps[0]);
    auto& manager = wm();
    const double start = now();
    const auto targets = manager.fetchTargets(SwitcherMode::allWindows);
    const double spent = now() - start;
    EXPECT_LE(spent, WindowManager::kCatalogueBudget + 0.015 + 1e-9);
    // Unanswered apps keep their on-screen windows.
    EXPECT_EQ(targets.size(), apps.size());
    int asked = 0;
    for (auto pid : apps) asked += ax->requestCount(pid) > 0;
    EXPECT_EQ(asked, 2);  // 0.1 s for the first, the remaining 0.06 s for the second

    // Both are benched; the next call asks only the others and again stays in budget.
    const double again = now();
    manager.fetchTargets(SwitcherMode::allWindows);
    EXPECT_LE(now() - again, WindowManager::kCatalogueBudget + 0.015 + 1e-9);
    EXPECT_EQ(ax->requestCount(apps[0]), 1);
}

}  // namespace
}  // namespace quillmar::testing
