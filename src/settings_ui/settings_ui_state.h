#pragma once
// The settings window's transient interface state, one shared object for the process: the
// active tab, the few windows its live previews show, and the hovered shortcut row. Nothing
// here is persisted; the window reopens on the tab it was left on.
//
//   auto& ui = SettingsUIState::shared();
//   ui.activeTab = SettingsTab::trackpad;   // an open settings window follows
//   selectSettingsTab("Hotkeys");           // by a free-form name: Shortcuts
//
// Main thread only.

#include <optional>
#include <string_view>
#include <vector>

#include "runtime/published.h"
#include "settings_ui/settings_tab.h"
#include "windows/switch_target.h"

namespace quillmar {

class SettingsUIState : public runtime::ObservableObject {
public:
    // The most entries the live previews show.
    static constexpr std::size_t maxPreviewTargets = 5;

    // The one instance of the world, created on first use.
    static SettingsUIState& shared();

    runtime::Published<SettingsTab> activeTab{SettingsTab::switching, this};
    runtime::Published<std::vector<SwitchTarget>> previewTargets{{}, this};
    runtime::Published<std::optional<ShortcutHoverKind>> hoveredShortcut{std::nullopt, this};

    // Whether the settings window is open (set by the window host; not published). The previews
    // refresh only while it is.
    bool isWindowVisible = false;
};

// Selects a tab of the shared state by name, without animation: the name is lower-cased (full
// Unicode lower-casing), then "keys" and "hotkeys" mean Shortcuts, "support" and "about" mean
// About, and otherwise it must be a tab's raw value exactly (no trimming, no prefixes). Any other
// name changes nothing.
void selectSettingsTab(std::string_view name);

}  // namespace quillmar
