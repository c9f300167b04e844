// The status menu's actions and the setters they share with URL commands. Every change goes
// through the setting's published property, once: its observer persists it (and mirrors gesture
// settings into the trackpad gate), and its subscribers (auto-pause, the festive state) see it.

#include "app/app_delegate.h"
#include "autopause/app_exclusion_monitor.h"
#include "festive_hud/hud_festive_state.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_controller.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr double kPreviewSeconds = 2.5;
constexpr int kGrantPollTicks = 80;

void toggle(runtime::Published<bool>& setting) { setting = !setting.get(); }
}  // namespace

void AppDelegate::presentPreview() { SwitcherController::shared().presentPreviewHUD(kPreviewSeconds); }

void AppDelegate::toggleEnabled() { toggle(SwitcherSettings::shared().isEnabled); }
void AppDelegate::toggleQuickKeys() { toggle(SwitcherSettings::shared().allowQuickCloseQuit); }
void AppDelegate::toggleCurrentSpaceOnly() { toggle(SwitcherSettings::shared().currentSpaceOnly); }
void AppDelegate::togglePauseInGames() { toggle(SwitcherSettings::shared().pauseInGames); }

void AppDelegate::toggleLaunchAtLogin() {
    // The assignment itself registers or unregisters the login item (unless the settings object
    // is correcting the value from the system); applying it again would register twice.
    toggle(SwitcherSettings::shared().launchAtLogin);
}

void AppDelegate::toggleHolidaySparkle() {
    auto& sparkle = SwitcherSettings::shared().holidaySparkle;
    toggle(sparkle);
    if (!sparkle.get()) HUDFestiveState::shared().stopFestiveOverlay();
}

void AppDelegate::grantAccessibilityFromMenu() {
    auto& windows = WindowManager::shared();
    windows.openAccessibilitySettings();
    windows.startPermissionPollingIfNeeded(kGrantPollTicks);
}

void AppDelegate::unignoreBundleIDFromMenu(const platform::MenuItem& sender) {
    const auto bundleID = sender.representedString();
    if (!bundleID || bundleID->empty()) return;
    auto& list = SwitcherSettings::shared().ignoredBundleIDs;
    auto remaining = list.get();
    std::erase(remaining, *bundleID);
    list = std::move(remaining);
}

void AppDelegate::resumeAllPausedApps() { SwitcherSettings::shared().ignoredBundleIDs = std::vector<std::string>{}; }

void AppDelegate::selectHUDAppearanceFromMenu(const platform::MenuItem& sender) {
    const auto name = sender.representedString();
    if (!name) return;
    const auto style = fromRawValue<HUDAppearanceStyle>(*name);
    if (!style) return;
    SwitcherSettings::shared().hudAppearance = *style;
    presentPreview();
}

void AppDelegate::openAboutTab() {
    selectSettingsTab("about");
    openSettingsWindow();
}

void AppDelegate::toggleQAModeFromMenu() { SwitcherSettings::shared().setQAMode(false); }

void AppDelegate::cycleQAHUDAppearance() {
    cycleHUDAppearance();
    presentPreview();
}

void AppDelegate::toggleQAChristmasPerimeter() {
    auto& perimeter = HUDFestiveState::shared().qaShowChristmasPerimeter;
    toggle(perimeter);
    if (perimeter.get()) SwitcherSettings::shared().holidaySparkle = true;
    presentPreview();
}

// ---- Shared setters ---------------------------------------------------------------------------------

void AppDelegate::setFingerCount(int count) {
    auto& settings = SwitcherSettings::shared();
    if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger) settings.triggerStyle = TriggerStyle::holdAndSlide;
    settings.fingerCount = count;
}

void AppDelegate::cycleHUDAppearance() {
    static constexpr HUDAppearanceStyle order[] = {HUDAppearanceStyle::darkGlass, HUDAppearanceStyle::solidDark,
                                                   HUDAppearanceStyle::lightGlass, HUDAppearanceStyle::adaptive};
    auto& appearance = SwitcherSettings::shared().hudAppearance;
    std::size_t next = 0;
    for (std::size_t i = 0; i < std::size(order); ++i)
        if (order[i] == appearance.get()) next = (i + 1) % std::size(order);
    appearance = order[next];
}

void AppDelegate::toggleIgnoreFrontmostApp() {
    auto& pause = AppExclusionMonitor::shared();
    pause.refreshFrontmostState();
    const std::optional<std::string> bundleID = pause.lastRegularBundleID.get();
    if (bundleID && !bundleID->empty()) SwitcherSettings::shared().toggleIgnoredApp(*bundleID);
}

}  // namespace quillmar
