// The status menu: its rows for each state and language, and what each of its actions changes
// and persists (one write per change).

#include "app_shell_fixture.h"
#include "festive_hud/festive_test_support.h"
#include "autopause/app_exclusion_monitor.h"
#include "festive_hud/hud_festive_state.h"
#include "localization/app_language.h"
#include "localization/l10n.h"
#include "platform/sim/sim_preferred_languages.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_controller.h"
#include "windows/window_manager.h"

namespace quillmar::testing {
namespace {

using Titles = std::vector<std::string>;

class StatusMenuTest : public AppShellTest {
protected:
    void SetUp() override {
        AppShellTest::SetUp();
        setToday(2025, 6, 2);  // a plain day without a festival
        inkwell = addApp("Inkwell", "com.example.inkwell");
        addWindow(inkwell, "notes.md");
        desktop->setFrontmost(inkwell);
    }

    std::int32_t inkwell = 0;
};

TEST_F(StatusMenuTest, RowsOfAnActiveQuillmar) {
    settings().fingerCount = 3;
    start();
    EXPECT_EQ(titles(openMenu()),
              (Titles{"Quillmar: Active (3-Finger Slide)", "Pause Quillmar", "Pause When Inkwell Is Active",
                      "Auto-Pause in Fullscreen Games & VMs", "---", "Switch Bar Appearance",
                      "Current Space Windows Only", "Quick Keys in Switch Bar (W / Q)", "Launch at Login", "---",
                      "Quillmar Settings\u2026", "About Quillmar", "---", "Quit Quillmar"}));
    auto& menu = openMenu();
    EXPECT_FALSE(menu.items()[0]->isSelectable());  // the status line
    EXPECT_EQ(menu.itemWithTitle("Pause Quillmar")->keyEquivalent, "e");
    EXPECT_EQ(menu.itemWithTitle("Quit Quillmar")->keyEquivalent, "q");
    EXPECT_EQ(menu.itemWithTitle("Quillmar Settings\u2026")->keyEquivalent, ",");
    EXPECT_EQ(menu.itemWithTitle("Auto-Pause in Fullscreen Games & VMs")->state, 1);
    EXPECT_EQ(menu.itemWithTitle("Current Space Windows Only")->state, 0);

    auto* appearance = menu.itemWithTitle("Switch Bar Appearance");
    ASSERT_TRUE(appearance && appearance->submenu);
    EXPECT_EQ(titles(*appearance->submenu), (Titles{"Dark Glass (Default)", "Solid Dark (High Opacity)",
                                                    "Light Glass (Daylight)", "System Adaptive (Auto)"}));
    EXPECT_EQ(appearance->submenu->items()[0]->state, 1);
    EXPECT_EQ(appearance->submenu->items()[2]->state, 0);
}

TEST_F(StatusMenuTest, StatusLineFollowsTheState) {
    start();
    settings().fingerCount = 0;
    EXPECT_EQ(openMenu().items()[0]->title, "Quillmar: Active (3 or 4-Finger Slide)");
    settings().triggerStyle = TriggerStyle::topEdgeTwoFinger;
    EXPECT_EQ(openMenu().items()[0]->title, "Quillmar: Active (2-Finger Top Edge)");

    // Excluded front app: auto-paused while still enabled.
    settings().toggleIgnoredApp("com.example.inkwell");
    auto& menu = openMenu();
    EXPECT_EQ(menu.items()[0]->title, "Quillmar: Auto-Paused (Inkwell)");
    EXPECT_EQ(menu.itemWithTitle("Pause When Inkwell Is Active")->state, 1);

    settings().isEnabled = false;
    EXPECT_EQ(openMenu().items()[0]->title, "Quillmar: Paused");
    EXPECT_TRUE(openMenu().itemWithTitle("Enable Quillmar"));
}

TEST_F(StatusMenuTest, PermissionRowOpensThePaneAndPolls) {
    setTrusted(false);
    start();
    const std::string row = "\u26A0\uFE0F Accessibility Needed for Window Raising \u2014 Grant Access\u2026";
    ASSERT_TRUE(item(row));
    EXPECT_TRUE(pick({row}));
    ASSERT_FALSE(urls->openedUrls().empty());
    EXPECT_EQ(urls->openedUrls().back(), "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
    EXPECT_TRUE(WindowManager::shared().isPermissionPolling());
    EXPECT_EQ(WindowManager::shared().permissionPollRemainingTicks(), 80);
    setTrusted(true);
    EXPECT_FALSE(item(row));  // re-checked on opening
}

TEST_F(StatusMenuTest, PausedAppsSortedByIdentifierWithDisplayNames) {
    platform::sim::SimApp installed;
    installed.bundleIdentifier = "com.a.ledger";
    installed.bundlePath = "/Applications/Ledger Pro.app";
    desktop->addInstalledApplication(installed, {});
    settings().ignoredBundleIDs = Titles{"org.unknown.tool", "com.example.inkwell", "com.a.ledger", "com.example.inkwell"};
    start();
    auto* paused = item("Paused Apps (4)");
    ASSERT_TRUE(paused && paused->submenu);
    EXPECT_EQ(titles(*paused->submenu),
              (Titles{"Ledger Pro", "Inkwell", "Inkwell", "org.unknown.tool", "---", "Resume All Paused Apps"}));
    EXPECT_EQ(paused->submenu->items()[0]->state, 1);

    // Resuming one app that stands twice removes both entries, once.
    const int writes = defaults().writeCount();
    EXPECT_TRUE(pick({"Paused Apps (4)", "Inkwell"}));
    EXPECT_EQ(settings().ignoredBundleIDs.get(), (Titles{"org.unknown.tool", "com.a.ledger"}));
    EXPECT_EQ(defaults().writeCount(), writes + 1);
    EXPECT_TRUE(pick({"Paused Apps (2)", "Resume All Paused Apps"}));
    EXPECT_TRUE(settings().ignoredBundleIDs.get().empty());
    EXPECT_FALSE(item("Paused Apps (0)"));
    EXPECT_EQ(titles(openMenu())[3], "Auto-Pause in Fullscreen Games & VMs");  // no submenu row left
}

TEST_F(StatusMenuTest, PausedAppsSkipEmptyIdentifiersAndNameAppsByTheirBundleFolder) {
    for (auto [id, path] : {std::pair{"com.b.slash", "/Applications/Slash Tool.app/"},
                            std::pair{"com.c.caps", "/Applications/Caps Lock.APP"}}) {
        platform::sim::SimApp installed;
        installed.bundleIdentifier = id;
        installed.bundlePath = path;
        desktop->addInstalledApplication(installed, {});
    }
    settings().ignoredBundleIDs = Titles{"", "com.c.caps", " ", "com.b.slash", "\t", ""};
    start();
    auto* paused = item("Paused Apps (2)");
    ASSERT_TRUE(paused && paused->submenu);
    EXPECT_EQ(titles(*paused->submenu), (Titles{"Slash Tool", "Caps Lock", "---", "Resume All Paused Apps"}));

    // A list of nothing but empty or blank identifiers shows no submenu at all.
    settings().ignoredBundleIDs = Titles{"", " \t"};
    for (const auto& row : titles(openMenu())) {
        EXPECT_FALSE(row.empty());
        EXPECT_EQ(row.rfind("Paused Apps", 0), std::string::npos) << row;
    }
}

TEST_F(StatusMenuTest, QABlockOnlyInQAModeWithTheRotatingFestival) {
    start();
    for (const auto& t : titles(openMenu())) EXPECT_EQ(t.rfind("QA", 0), std::string::npos) << t;
    settings().setQAMode(true);
    const auto rows = titles(openMenu());
    ASSERT_GE(rows.size(), 7u);
    EXPECT_NE(rows[0].find("Holiday Sparkle in Switch Bar"), std::string::npos);
    EXPECT_EQ(rows[1], "---");
    EXPECT_EQ(rows[2], "QA \u00B7 Turn Off QA Mode (Switch to User Version)");
    EXPECT_EQ(rows[3], "QA \u00B7 \U0001F384 Christmas HUD Perimeter (Dec 24\u201325)");
    EXPECT_EQ(rows[4], "QA \u00B7 HUD Appearance: Dark Glass (Default) (Click to Cycle & Preview)");
    EXPECT_EQ(rows[5], "---");

    EXPECT_TRUE(pick({"#3"}));
    EXPECT_FALSE(settings().qaModeEnabled.get());
}

TEST_F(StatusMenuTest, TheFestiveRowShowsOnAFestival) {
    setToday(2025, 12, 25);
    start();
    auto& menu = openMenu();
    EXPECT_EQ(menu.items()[0]->title, "\U0001F384 Holiday Sparkle in Switch Bar");
    EXPECT_EQ(menu.items()[0]->state, 1);
    EXPECT_TRUE(menu.items()[1]->isSeparator);
}

TEST_F(StatusMenuTest, EveryLanguage) {
    const char* codes[] = {"en", "ja", "zh-Hans", "zh-Hant", "de", "ko"};
    const char* abouts[] = {"About Quillmar", "Quillmar \u306B\u3064\u3044\u3066", "\u5173\u4E8E Quillmar",
                            "\u95DC\u65BC Quillmar", "\u00DCber Quillmar", "Quillmar \uC815\uBCF4"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(codes[i]);
        TearDown();
        SetUp();
        platform::sim::SimPreferredLanguages::install({codes[i]});
        start();
        ASSERT_EQ(AppLanguage::current().rawValue(), codes[i]);
        const auto rows = titles(openMenu());
        EXPECT_EQ(rows[0], L10n::menuStatusActive(L10n::menuFingerExact(4)));
        EXPECT_EQ(rows[rows.size() - 3], abouts[i]);
        EXPECT_EQ(rows.back(), L10n::menuQuit());
        EXPECT_TRUE(item(L10n::menuPauseInApp("Inkwell")));
    }
}

// ---- Actions --------------------------------------------------------------------------------------

class StatusMenuActionTest : public StatusMenuTest {
protected:
    void SetUp() override {
        StatusMenuTest::SetUp();
        start();
    }
    // Picks a row and returns how many writes it made.
    int writesOf(const std::vector<std::string>& path) {
        openMenu();
        const int before = defaults().writeCount();
        EXPECT_TRUE(pick(path));
        return defaults().writeCount() - before;
    }
};

TEST_F(StatusMenuActionTest, TogglesChangeAndPersistOnce) {
    EXPECT_EQ(writesOf({"Pause Quillmar"}), 1);
    EXPECT_FALSE(defaults().boolForKey("isEnabled"));
    EXPECT_EQ(writesOf({"Enable Quillmar"}), 1);
    EXPECT_TRUE(defaults().boolForKey("isEnabled"));
    EXPECT_EQ(writesOf({"Quick Keys in Switch Bar (W / Q)"}), 1);
    EXPECT_FALSE(defaults().boolForKey("allowQuickCloseQuit"));
    EXPECT_EQ(writesOf({"Current Space Windows Only"}), 1);
    EXPECT_TRUE(defaults().boolForKey("currentSpaceOnly"));
    EXPECT_EQ(item("Current Space Windows Only")->state, 1);
}

TEST_F(StatusMenuActionTest, PauseInGamesReachesItsObservers) {
    int seen = 0;
    auto sub = settings().pauseInGames.publisher().dropFirst().sink([&](const bool&) { ++seen; });
    EXPECT_EQ(writesOf({"Auto-Pause in Fullscreen Games & VMs"}), 1);
    EXPECT_FALSE(defaults().boolForKey("pauseInGames"));
    EXPECT_EQ(seen, 1);
}

TEST_F(StatusMenuActionTest, HolidaySparkleOffStopsTheOverlayAndIsPublished) {
    settings().setQAMode(true);  // the festive row shows every day in QA mode
    auto& festive = HUDFestiveState::shared();
    festive.armFestiveOverlay(0.5);
    int seen = 0;
    auto sub = settings().holidaySparkle.publisher().dropFirst().sink([&](const bool&) { ++seen; });
    const std::string row = openMenu().items()[0]->title;
    EXPECT_EQ(writesOf({row}), 1);
    EXPECT_FALSE(defaults().boolForKey("holidaySparkle"));
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(festive.isAnimating());
}

TEST_F(StatusMenuActionTest, LaunchAtLoginRegistersOnce) {
    EXPECT_TRUE(pick({"Launch at Login"}));
    EXPECT_EQ(loginItems->registerCount(), 1);
    EXPECT_TRUE(settings().launchAtLogin.get());
    EXPECT_EQ(item("Launch at Login")->state, 1);
    EXPECT_TRUE(pick({"Launch at Login"}));
    EXPECT_EQ(loginItems->unregisterCount(), 1);
    EXPECT_FALSE(settings().launchAtLogin.get());
}

TEST_F(StatusMenuActionTest, PauseInFrontAppTogglesItsExclusion) {
    EXPECT_EQ(writesOf({"Pause When Inkwell Is Active"}), 1);
    EXPECT_TRUE(settings().isAppIgnored("com.example.inkwell"));
    EXPECT_EQ(writesOf({"Pause When Inkwell Is Active"}), 1);
    EXPECT_FALSE(settings().isAppIgnored("com.example.inkwell"));
}

TEST_F(StatusMenuActionTest, AppearanceChoicesPreview) {
    EXPECT_EQ(writesOf({"Switch Bar Appearance", "Light Glass (Daylight)"}), 1);
    EXPECT_EQ(settings().hudAppearance.get(), HUDAppearanceStyle::lightGlass);
    EXPECT_TRUE(SwitcherController::shared().isVisible.get());
    advance(2.6);
    EXPECT_FALSE(SwitcherController::shared().isVisible.get());

    // A represented object that names no appearance does nothing.
    platform::MenuItem bogus;
    bogus.representedObject = std::string("purple");
    delegate().selectHUDAppearanceFromMenu(bogus);
    bogus.representedObject = 42;
    delegate().selectHUDAppearanceFromMenu(bogus);
    EXPECT_EQ(settings().hudAppearance.get(), HUDAppearanceStyle::lightGlass);
    EXPECT_FALSE(SwitcherController::shared().isVisible.get());
}

TEST_F(StatusMenuActionTest, QAAppearanceCyclesAndWraps) {
    settings().setQAMode(true);
    settings().hudAppearance = HUDAppearanceStyle::adaptive;
    EXPECT_EQ(writesOf({"QA \u00B7 HUD Appearance: System Adaptive (Auto) (Click to Cycle & Preview)"}), 1);
    EXPECT_EQ(settings().hudAppearance.get(), HUDAppearanceStyle::darkGlass);
    EXPECT_TRUE(SwitcherController::shared().isVisible.get());
}

TEST_F(StatusMenuActionTest, QAPerimeterTurnsSparkleOnButNotOff) {
    settings().setQAMode(true);
    settings().holidaySparkle = false;
    const std::string row = "QA \u00B7 \U0001F384 Christmas HUD Perimeter (Dec 24\u201325)";
    EXPECT_EQ(writesOf({row}), 1);
    EXPECT_TRUE(HUDFestiveState::shared().qaShowChristmasPerimeter.get());
    EXPECT_TRUE(settings().holidaySparkle.get());
    EXPECT_TRUE(defaults().boolForKey("holidaySparkle"));
    EXPECT_EQ(writesOf({row}), 0);
    EXPECT_FALSE(HUDFestiveState::shared().qaShowChristmasPerimeter.get());
    EXPECT_TRUE(settings().holidaySparkle.get());
}

TEST_F(StatusMenuActionTest, SettingsAboutAndQuit) {
    const int before = delegate().settingsWindowRequests();
    EXPECT_TRUE(pick({"About Quillmar"}));
    EXPECT_EQ(SettingsUIState::shared().activeTab.get(), SettingsTab::about);
    EXPECT_TRUE(pick({"Quillmar Settings\u2026"}));
    EXPECT_EQ(delegate().settingsWindowRequests(), before + 2);
    EXPECT_FALSE(pick({"Quillmar: Active (4-Finger Slide)"}));  // the status line cannot be picked
    EXPECT_TRUE(pick({"Quit Quillmar"}));
    EXPECT_FALSE(app->isRunning());
}

}  // namespace
}  // namespace quillmar::testing
