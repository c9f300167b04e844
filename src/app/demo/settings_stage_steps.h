#pragma once
// The settings window's live hardware stage and shortcut illustrations on the simulated desktop.
//
// Steps:
//   "showHardwareStage" {tab: "trackpad" | "switching", appearance: "light" | "dark", width}: the
//     stage is put on screen the way the tab shows it (live telemetry follows), with the first
//     five targets of the current mode as its preview list;
//   "stageSettings" {switchBarStyle, triggerStyle, fingerCount, sensitivity}: settings changed as
//     the tabs change them, with the stage watching;
//   "hideHardwareStage" {tab: "shortcuts" | "about"}: the tab changes and the stage goes away;
//   "hoverHardwareStage" {at: [x, y]} (fractions of the drawn pad, y down) or {leave: true};
//   "snapshotHardwareStage" {file, caption, appearance, scale};
//   "snapshotShortcutStages" {file, caption, appearance, hovered: "none" | "closeWindow" |
//     "quitApp" | "minimizedBar", scale}: the three mock stages and the keycaps of the Shortcuts tab.
// Each snapshot is logged with what it shows (status text, Zen, highlighted entry).

#include "platform/sim/scenario_registry.h"

namespace quillmar {

void registerSettingsStageSteps(platform::sim::ScenarioRegistry& registry);

}  // namespace quillmar
