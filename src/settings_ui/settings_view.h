#pragma once
// The root view of the settings window: a layered background, the status row (dot and status
// line), the tab bar with the preview button and the master switch, a divider, and the content
// of the active tab. It is built from the shared objects and observes them, so whatever changes
// a setting (this window, the status menu, a URL command) shows at once.
//
//   ui::HostingView host(SettingsView{}, {SettingsView::windowWidth, SettingsView::windowHeight});
//   SettingsView::selectTab("hotkeys");   // Shortcuts
//
// Main thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/color.h"
#include "settings/settings_enums.h"
#include "settings_ui/settings_tab.h"
#include "settings_ui/settings_ui_state.h"
#include "ui/state.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

struct SettingsView {
    static constexpr double windowWidth = 480;
    static constexpr double windowHeight = 592;

    // Matched-geometry namespaces of the tab thumb and of the layout picker's thumb.
    ui::Namespace tabNamespace;
    ui::Namespace layoutStyleNamespace;

    ui::View body() const;

    // Selects a tab of the shared interface state by a free-form name (see selectSettingsTab).
    static void selectTab(std::string_view name) { selectSettingsTab(name); }

    // The header's status, decided from the shared settings, pause monitor and trackpad monitor:
    // disabled (orange, paused headline), paused in an app (yellow, paused-in headline), a
    // trackpad attached (green, the product name), else waiting for a trackpad (orange).
    static gfx::Color statusDotColor(bool isDark);
    static std::string statusText();

    // Refills the shared preview list (at most five entries) from the window catalogue while the
    // window is open and the active tab shows previews, and re-aims the live stage's selection.
    static void refreshPreviewTargets();
    // The tab bar's action: a different tab is selected inside the tab spring, then the previews
    // are refreshed; the selected tab does nothing.
    static void selectTabTapped(SettingsTab tab);

    // The sound feedback link opens in the user's mail application; nothing happens without one.
    static void sendFeedback();

    // Sections, each built for the light or dark appearance.
    ui::View statusRow(bool isDark) const;
    ui::View tabBarRow(bool isDark) const;
    ui::View tabSegment(bool isDark) const;
    ui::View headerControls(bool isDark) const;
    ui::View tabContent(bool isDark) const;

    // Trackpad tab.
    ui::View triggerGestureGroup(bool isDark) const;
    ui::View triggerStylePicker(bool isDark) const;
    ui::View calibrationGroup(bool isDark) const;
    ui::View calibrationSection(bool isDark) const;
    ui::View fingerCountPicker(bool isDark) const;
    ui::View sensitivitySlider(bool isDark) const;
    ui::View holdDelaySlider(bool isDark) const;
    static ui::View valueBadge(const std::string& text, double width, bool isDark);
    static void sliderTick();

    // Switching tab.
    ui::View cycleScopeSection(bool isDark) const;
    ui::View cycleScopeHeader(bool isDark) const;
    ui::View layoutPicker(bool isDark) const;
    ui::View cycleScopePicker(bool isDark) const;
    ui::View tactileGroup(bool isDark) const;
    ui::View tactileSection(bool isDark) const;
    ui::View accessibilityStatusRow(bool isDark) const;
    static void selectSwitchBarStyle(SwitchBarStyle style);

    // Shortcuts tab.
    ui::View shortcutPreviewCards(bool isDark) const;
    ui::View quickKeysSection(bool isDark) const;
    ui::View minimizedWindowsSection(bool isDark) const;
    static void setShortcutHover(ShortcutHoverKind kind, bool inside);

    // About tab.
    ui::View makerLetterCard(bool isDark) const;
    static ui::View actionButtonLabel(const std::string& title, const std::string& symbol, bool isDark);

    friend bool operator==(const SettingsView&, const SettingsView&) { return true; }
};

// Where the live stage's selection rests for a preview list: the second entry when there are
// two or more and it is an open, visible window (the window a switch would go to), else the
// first.
std::int64_t restingStageIndex(const std::vector<SwitchTarget>& targets);

// The stage's simulated selection after the preview list changed to `count` entries: while the
// pointer does not hover the stage it returns to the resting index; while it hovers, it is only
// pulled back inside the list. Nothing when it stays.
std::optional<std::int64_t> reaimedStageIndex(std::int64_t current, bool hovered, std::int64_t resting,
                                              std::size_t count);

}  // namespace quillmar
