// Each check mark of the status menu follows its own setting: changing one setting moves exactly
// one mark; an appearance picked from the menu is previewed for its full time; a front app
// without an identifier offers no pause row; switching the holiday sparkle
// off from the menu stops a burst under way; and leaving QA mode from the menu drops what QA mode
// had switched on.

#include <map>

#include "app_shell_fixture.h"
#include "festive_hud/festive_test_support.h"
#include "festive_hud/hud_festive_state.h"
#include "switcher/switcher_controller.h"

namespace quillmar::testing {
namespace {

class StatusMenuMarksTest : public AppShellTest {
protected:
    std::map<std::string, int> marks() {
        std::map<std::string, int> out;
        for (const char* row : {"Auto-Pause in Fullscreen Games & VMs", "Current Space Windows Only",
                                "Quick Keys in Switch Bar (W / Q)", "Launch at Login"}) {
            auto* i = item(row);
            EXPECT_TRUE(i) << row;
            out[row] = i ? i->state : -1;
        }
        return out;
    }
};

TEST_F(StatusMenuMarksTest, ChangingOneSettingMovesExactlyItsOwnMark) {
    setToday(2025, 6, 2);
    start();
    const std::pair<const char*, runtime::Published<bool>*> rows[] = {
        {"Auto-Pause in Fullscreen Games & VMs", &settings().pauseInGames},
        {"Current Space Windows Only", &settings().currentSpaceOnly},
        {"Quick Keys in Switch Bar (W / Q)", &settings().allowQuickCloseQuit},
        {"Launch at Login", &settings().launchAtLogin},
    };
    for (const auto& [row, setting] : rows) {
        const auto before = marks();
        *setting = !setting->get();
        runUntilIdle();
        const auto after = marks();
        for (const auto& [name, state] : after) {
            if (name == row) EXPECT_NE(state, before.at(name)) << row;
            else EXPECT_EQ(state, before.at(name)) << row << " moved " << name;
        }
    }
}

TEST_F(StatusMenuMarksTest, AnAppearancePickedFromTheMenuIsPreviewedForTwoAndAHalfSeconds) {
    setToday(2025, 6, 2);
    addWindow(addApp("Inkwell", "com.example.inkwell"), "notes.md");
    start();
    ASSERT_TRUE(pick({"Switch Bar Appearance", "Solid Dark (High Opacity)"}));
    advance(2.4);
    EXPECT_TRUE(SwitcherController::shared().isVisible.get());
    advance(0.2);
    EXPECT_FALSE(SwitcherController::shared().isVisible.get());
}

TEST_F(StatusMenuMarksTest, AFrontAppWithoutAnIdentifierOffersNoPauseRow) {
    setToday(2025, 6, 2);
    for (const char* id : {"", "com.example.scratch"}) {
        platform::sim::SimApp a;
        a.localizedName = std::string("Scratch ") + (*id ? "B" : "A");
        if (*id) a.bundleIdentifier = id;
        a.executablePath = "/usr/bin/scratch";
        const auto pid = desktop->addApp(std::move(a)).pid;
        addWindow(pid, "scratch");
        desktop->setFrontmost(pid);
        if (!*id) start();
        runUntilIdle();
        EXPECT_EQ(item(std::string("Pause When Scratch ") + (*id ? "B" : "A") + " Is Active") != nullptr, *id != 0);
    }
}

TEST_F(StatusMenuMarksTest, SparkleOffFromTheMenuStopsABurstUnderWay) {
    setToday(2025, 7, 4);  // fireworks
    start();
    auto& festive = HUDFestiveState::shared();
    HUDFestiveGeometry g;
    g.size = {400, 100};
    g.floorY = 95;
    g.itemAnchors = {{40, 40}, {120, 40}, {200, 40}, {280, 40}};
    g.rowSpanX = {0, 400};
    festive.geometry = g;
    festive.armFestiveOverlay(0.5);
    for (int hop = 1; hop <= 3; ++hop) {
        advance(0.05);
        festive.noteFestiveHop(hop, 1.0);
    }
    ASSERT_TRUE(festive.isAnimating());
    ASSERT_TRUE(pick({openMenu().items()[0]->title}));
    EXPECT_FALSE(settings().holidaySparkle.get());
    EXPECT_FALSE(festive.isAnimating());
}

TEST_F(StatusMenuMarksTest, LeavingQAModeFromTheMenuDropsThePerimeterOverride) {
    setToday(2025, 6, 2);
    start();
    settings().setQAMode(true);
    ASSERT_TRUE(pick({"QA \u00B7 \U0001F384 Christmas HUD Perimeter (Dec 24\u201325)"}));
    ASSERT_TRUE(HUDFestiveState::shared().qaShowChristmasPerimeter.get());
    ASSERT_TRUE(pick({"QA \u00B7 Turn Off QA Mode (Switch to User Version)"}));
    EXPECT_FALSE(settings().qaModeEnabled.get());
    EXPECT_FALSE(HUDFestiveState::shared().qaShowChristmasPerimeter.get());
}

}  // namespace
}  // namespace quillmar::testing
