#pragma once
// Every interface text of the settings window, the About card and the status-bar menu, in the
// six interface languages. Each accessor returns its text in AppLanguage::current() (reading it
// fixes the language for the run); entries with an argument insert it unchanged (a String) or
// as plain decimal digits with a leading minus when negative (an Int, never grouped). There are
// no plural forms: a count uses the same words for every number.
//
// "Quillmar" is the product name wherever it stands in a text.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmar {

class L10n {
public:
    L10n() = delete;

    // Settings tabs and header.
    static std::string tabTrackpad();
    static std::string tabSwitching();
    static std::string tabShortcuts();
    static std::string tabAbout();
    static std::string previewButton();
    static std::string previewTooltip();
    static std::string statusActiveTooltip();
    static std::string statusPausedTooltip();
    static std::string headlinePaused();
    static std::string headlineAutoPaused(std::string_view appName);
    static std::string headlineWaitingTrackpad();

    // Live trackpad stage.
    static std::string telemetryPaused();
    static std::string telemetryGamePaused();
    static std::string telemetryLive();
    static std::string telemetryTouchCount(std::int64_t fingers);
    static std::string telemetryFiveFingerZen();
    static std::string stageEmptyPrompt();
    static std::string stageTopEdgeZone();

    // Trackpad tab.
    static std::string sectionTriggerGesture();
    static std::string tileHoldAndSlide();
    static std::string tileHoldSubtitle(std::int64_t milliseconds);
    static std::string tileInstantSlide();
    static std::string tileInstantSubtitle();
    static std::string tileTopEdge();
    static std::string tileTopEdgeSubtitle();
    static std::string sectionCalibration();
    static std::string rowRecognizedFingers();
    static std::string fingers3or4();
    static std::string fingers3Only();
    static std::string fingers4Only();
    static std::string rowScrubSpeed();
    static std::string rowHoldDwell();

    // Switching tab.
    static std::string sectionCycleScope();
    static std::string styleHorizontalShort();
    static std::string styleVerticalShort();
    static std::string modeAllWindowsShort();
    static std::string modeAllWindowsSub();
    static std::string modeAppsOnlyShort();
    static std::string modeAppsOnlySub();
    static std::string modeActiveAppShort();
    static std::string modeActiveAppSub();
    static std::string sectionTactileAndPermissions();
    static std::string toggleHaptics();
    static std::string toggleSingleFinger();
    static std::string toggleSuppressScroll();
    static std::string togglePauseInGames();
    static std::string toggleLaunchAtLogin();
    static std::string menuLaunchAtLogin();
    static std::string menuQuickKeys();

    // Shortcuts tab.
    static std::string shortcutWTitle();
    static std::string shortcutWBody();
    static std::string shortcutQTitle();
    static std::string shortcutQBody();
    static std::string sectionSwitchBarKeys();
    static std::string toggleQuickKeysShort();
    static std::string shortcutAccessibilityHint();
    static std::string navEscapeTitle();
    static std::string navEscapeRightNote();
    static std::string sectionMinimizedWindows();
    static std::string minimizedCardTitle();
    static std::string minimizedCardBody();

    // Permission and About.
    static std::string accessibilityGranted();
    static std::string accessibilityNeeded();
    static std::string verifiedBadge();
    static std::string grantAccessButton();
    static std::string aboutAppSummary();
    static std::string sectionIndependentCraft();
    static std::string independentCraftBody();
    static std::string sendFeedbackButton();

    // Status-bar menu. The gesture label of menuStatusActive is one of the three menuFinger texts.
    static std::string menuFingerTopEdge();
    static std::string menuFingerAuto();
    static std::string menuFingerExact(std::int64_t fingers);
    static std::string menuStatusActive(std::string_view gestureLabel);
    static std::string menuStatusPaused();
    static std::string menuStatusAutoPaused(std::string_view reason);
    static std::string menuPauseQuillmar();
    static std::string menuEnableQuillmar();
    static std::string menuPauseInApp(std::string_view appName);
    static std::string menuAutoPauseGames();
    static std::string menuPausedAppsSubmenu(std::int64_t count);
    static std::string menuResumeAllPausedApps();
    static std::string menuCurrentSpaceOnly();
    static std::string menuHUDAppearance();
    static std::string menuAppearanceDarkGlass();
    static std::string menuAppearanceSolidDark();
    static std::string menuAppearanceLightGlass();
    static std::string menuAppearanceAdaptive();
    static std::string menuHolidaySparkle();
    static std::string menuSettings();
    static std::string menuAboutQuillmar();
    static std::string menuQuit();
};

}  // namespace quillmar
