#include "localization/l10n.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "localization/app_language.h"
#include "platform/sim/sim_preferred_languages.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

class L10nTest : public testing::FreshWorldTest {
protected:
    // Starts a world whose interface language is `language`.
    void speak(AppLanguage language) {
        runtime::World::reset();
        platform::sim::SimPreferredLanguages::install({std::string(language.rawValue())});
        ASSERT_EQ(AppLanguage::current(), language);
    }
};

using Entry = std::pair<const char*, std::function<std::string()>>;

std::vector<Entry> everyEntry() {
#define Q_ENTRY(call) Entry{#call, [] { return L10n::call; }}
    return {
        Q_ENTRY(tabTrackpad()), Q_ENTRY(tabSwitching()), Q_ENTRY(tabShortcuts()), Q_ENTRY(tabAbout()),
        Q_ENTRY(previewButton()), Q_ENTRY(previewTooltip()), Q_ENTRY(statusActiveTooltip()),
        Q_ENTRY(statusPausedTooltip()), Q_ENTRY(headlinePaused()), Q_ENTRY(headlineAutoPaused("")),
        Q_ENTRY(headlineWaitingTrackpad()), Q_ENTRY(telemetryPaused()), Q_ENTRY(telemetryGamePaused()),
        Q_ENTRY(telemetryLive()), Q_ENTRY(telemetryTouchCount(2)), Q_ENTRY(telemetryFiveFingerZen()),
        Q_ENTRY(stageEmptyPrompt()), Q_ENTRY(stageTopEdgeZone()), Q_ENTRY(sectionTriggerGesture()),
        Q_ENTRY(tileHoldAndSlide()), Q_ENTRY(tileHoldSubtitle(75)), Q_ENTRY(tileInstantSlide()),
        Q_ENTRY(tileInstantSubtitle()), Q_ENTRY(tileTopEdge()), Q_ENTRY(tileTopEdgeSubtitle()),
        Q_ENTRY(sectionCalibration()), Q_ENTRY(rowRecognizedFingers()), Q_ENTRY(fingers3or4()),
        Q_ENTRY(fingers3Only()), Q_ENTRY(fingers4Only()), Q_ENTRY(rowScrubSpeed()), Q_ENTRY(rowHoldDwell()),
        Q_ENTRY(sectionCycleScope()), Q_ENTRY(styleHorizontalShort()), Q_ENTRY(styleVerticalShort()),
        Q_ENTRY(modeAllWindowsShort()), Q_ENTRY(modeAllWindowsSub()), Q_ENTRY(modeAppsOnlyShort()),
        Q_ENTRY(modeAppsOnlySub()), Q_ENTRY(modeActiveAppShort()), Q_ENTRY(modeActiveAppSub()),
        Q_ENTRY(sectionTactileAndPermissions()), Q_ENTRY(toggleHaptics()), Q_ENTRY(toggleSingleFinger()),
        Q_ENTRY(toggleSuppressScroll()), Q_ENTRY(togglePauseInGames()), Q_ENTRY(toggleLaunchAtLogin()),
        Q_ENTRY(menuLaunchAtLogin()), Q_ENTRY(menuQuickKeys()), Q_ENTRY(shortcutWTitle()), Q_ENTRY(shortcutWBody()),
        Q_ENTRY(shortcutQTitle()), Q_ENTRY(shortcutQBody()), Q_ENTRY(sectionSwitchBarKeys()),
        Q_ENTRY(toggleQuickKeysShort()), Q_ENTRY(shortcutAccessibilityHint()), Q_ENTRY(navEscapeTitle()),
        Q_ENTRY(navEscapeRightNote()), Q_ENTRY(sectionMinimizedWindows()), Q_ENTRY(minimizedCardTitle()),
        Q_ENTRY(minimizedCardBody()), Q_ENTRY(accessibilityGranted()), Q_ENTRY(accessibilityNeeded()),
        Q_ENTRY(verifiedBadge()), Q_ENTRY(grantAccessButton()), Q_ENTRY(aboutAppSummary()),
        Q_ENTRY(sectionIndependentCraft()), Q_ENTRY(independentCraftBody()), Q_ENTRY(sendFeedbackButton()),
        Q_ENTRY(menuFingerTopEdge()), Q_ENTRY(menuFingerAuto()), Q_ENTRY(menuFingerExact(3)),
        Q_ENTRY(menuStatusActive("")), Q_ENTRY(menuStatusPaused()), Q_ENTRY(menuStatusAutoPaused("")),
        Q_ENTRY(menuPauseQuillmar()), Q_ENTRY(menuEnableQuillmar()), Q_ENTRY(menuPauseInApp("")),
        Q_ENTRY(menuAutoPauseGames()), Q_ENTRY(menuPausedAppsSubmenu(0)), Q_ENTRY(menuResumeAllPausedApps()),
        Q_ENTRY(menuCurrentSpaceOnly()), Q_ENTRY(menuHUDAppearance()), Q_ENTRY(menuAppearanceDarkGlass()),
        Q_ENTRY(menuAppearanceSolidDark()), Q_ENTRY(menuAppearanceLightGlass()), Q_ENTRY(menuAppearanceAdaptive()),
        Q_ENTRY(menuHolidaySparkle()), Q_ENTRY(menuSettings()), Q_ENTRY(menuAboutQuillmar()), Q_ENTRY(menuQuit()),
    };
#undef Q_ENTRY
}

TEST_F(L10nTest, EveryEntryHasTextInEveryLanguage) {
    const auto entries = everyEntry();
    ASSERT_EQ(entries.size(), 91u);
    std::vector<std::string> english;
    for (AppLanguage language : AppLanguage::allCases()) {
        speak(language);
        std::size_t sameAsEnglish = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string text = entries[i].second();
            EXPECT_FALSE(text.empty()) << entries[i].first << " in " << language.rawValue();
            if (language == AppLanguage::en)
                english.push_back(text);
            else if (text == english[i])
                ++sameAsEnglish;
        }
        // A translation shares a text with English only now and then ("Trackpad" in German).
        EXPECT_LT(sameAsEnglish, 6u) << language.rawValue();
    }
}

TEST_F(L10nTest, ArgumentsAreInsertedVerbatimAndIntegersUngrouped) {
    speak(AppLanguage::en);
    EXPECT_EQ(L10n::menuPausedAppsSubmenu(0), "Paused Apps (0)");
    EXPECT_EQ(L10n::menuPausedAppsSubmenu(1000), "Paused Apps (1000)");
    EXPECT_EQ(L10n::menuPausedAppsSubmenu(-12), "Paused Apps (-12)");
    EXPECT_EQ(L10n::telemetryTouchCount(2), "2F Touch");
    EXPECT_EQ(L10n::headlineAutoPaused(""), "Quillmar — Paused in ");
    EXPECT_EQ(L10n::menuStatusActive(L10n::menuFingerExact(3)), "Quillmar: Active (3-Finger Slide)");
    EXPECT_EQ(L10n::menuPauseInApp(" \"A\" "), "Pause When  \"A\"  Is Active");

    speak(AppLanguage::ja);
    EXPECT_EQ(L10n::headlineAutoPaused(""), "Quillmar — " + std::string(" で自動停止中"));
    speak(AppLanguage::de);
    EXPECT_EQ(L10n::tabTrackpad(), "Trackpad");
    EXPECT_EQ(L10n::tileHoldSubtitle(-35), "-35 ms Halten");
    EXPECT_EQ(L10n::menuPauseInApp("Safari"), "Pausieren wenn Safari aktiv ist");
    speak(AppLanguage::zhHans);
    EXPECT_EQ(L10n::menuStatusAutoPaused("Xcode"), "Quillmar：已在 Xcode 中自动暂停");
    EXPECT_EQ(L10n::tileHoldSubtitle(123456789012), "停留 123456789012 ms");
}

}  // namespace
}  // namespace quillmar
