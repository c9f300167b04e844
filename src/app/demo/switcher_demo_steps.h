#pragma once
// The Switch Bar on the simulated desktop: scenario steps that snapshot the shown bar, open a
// preview, press quick keys and dismiss it, and the start-up that brings the controller up with
// its events (presented, selectionChanged, committed, dismissed) written to the run's log.

#include "platform/sim/scenario_registry.h"

namespace quillmar {

// Steps: {"do": "snapshotSwitchBar", "file": "bar.png", "scale": 2},
// {"do": "previewSwitchBar", "seconds": 2.5}, {"do": "dismissSwitchBar", "immediate": false},
// {"do": "pressQuickKey", "key": "escape" | "w" | "q", "modifiers": ["command", "shift", "capsLock"]}.
void registerSwitcherSteps(platform::sim::ScenarioRegistry& registry);

// Puts the simulated panels, hot keys, haptics, screen reader and keyboard layout in place
// (unless something else already did).
void installSwitcherServices();
// The services above, then the controller (created unless it exists) with its events logged.
void startSwitcherDemo(platform::sim::StepContext& context);

}  // namespace quillmar
