#pragma once
// The settings window on the simulated desktop: scenario steps that open and close it, pick a
// tab, click, hover and drag at a point or on a named control, press keys, switch the appearance
// or the interface language, and snapshot the window.
//
// Points are in the window's own coordinates (points, top-left origin). A named control is a
// view named in the settings view ("tab.trackpad", "sensitivitySlider", "triggerTile.topEdgeTwoFinger",
// "masterSwitch", ...); positions on it are unit points ([0.5, 0.5] is its centre).

#include "platform/sim/scenario_registry.h"

namespace quillmar {

// Steps:
// {"do": "openSettings"}, {"do": "closeSettings"},
// {"do": "selectSettingsTab", "tab": "trackpad", "tap": true},
// {"do": "settingsClick", "control": "tab.about"} or {"do": "settingsClick", "at": [240, 60]},
// {"do": "settingsHover", "control": "quitAppCard"}, {"do": "settingsHover", "exit": true},
// {"do": "settingsDrag", "control": "holdSlider", "from": [0.1, 0.5], "to": [0.9, 0.5]}
//   or {"do": "settingsDrag", "fromPoint": [x, y], "toPoint": [x, y]},
// {"do": "settingsKey", "characters": "w", "keyCode": 13, "modifiers": ["command"]},
// {"do": "settingsAppearance", "scheme": "dark"},
// {"do": "settingsLanguage", "languages": ["ja-JP"]},
// {"do": "snapshotSettings", "file": "settings.png", "caption": "...", "scale": 2}.
void registerSettingsWindowSteps(platform::sim::ScenarioRegistry& registry);

}  // namespace quillmar
