#pragma once
// The Switch Bar on the simulated desktop: scenario steps that snapshot the shown bar, open a
// preview, press quick keys and dismiss it, and the start-up that brings the controller up with
// its events (presented, selectionChanged, committed, dismissed) written to the run's log.

#include "platform/sim/scenario_registry.h"

namespace quillmar {

// Steps: {"do": "snapshotSwitchBar", "file": "bar.png", "scale": 2},
// {"do": "previewSwitchBar", "seconds": 2.5}, {"do": "dismissSwitchBar", "immediate": false},
// {"do": "pressQuickKey", "key": "escape" | "w" | "q", "modifiers": ["command", "shift", "capsLock"]},
// {"do": "snapshotScreen", "file": "screen.png", "caption": "...", "screen": 1, "scale": 1}: the whole
// screen (by index; without one, the screen under the pointer) with the bar where it is shown,
// {"do": "systemAppearance", "appearance": "light" | "dark"},
// {"do": "switchBarSettings", "switchBarStyle": "vertical", "hudAppearance": "lightGlass", "sensitivity": 3},
// {"do": "accessibilityDisplay", "reduceMotion": true, "reduceTransparency": false, "increaseContrast": true}.
void registerSwitcherSteps(platform::sim::ScenarioRegistry& registry);

// Puts the simulated panels, hot keys, haptics, screen reader, keyboard layout and system
// appearance in place (unless something else already did) and gives the desktop's apps their
// letter icons.
void installSwitcherServices();
// The services above, then the controller (created unless it exists) with its events logged.
void startSwitcherDemo(platform::sim::StepContext& context);

}  // namespace quillmar
