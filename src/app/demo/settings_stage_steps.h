#pragma once
// The settings window's live hardware stage and shortcut illustrations on the simulated desktop,
// alongside the settings window steps (which open the window, pick tabs, hover and snapshot).
//
// Steps:
//   "stageSettings" {switchBarStyle, triggerStyle, fingerCount, sensitivity}: settings changed as
//     the tabs change them, with the stage watching;
//   "logHardwareStage": logs what the stage shows now (touches, Zen, wave phase, hover, simulated
//     entry) and whether live telemetry runs;
//   "snapshotShortcutStages" {file, caption, appearance, hovered: "none" | "closeWindow" |
//     "quitApp" | "minimizedBar", scale}: a close-up of the three mock stages and the keycaps.

#include "platform/sim/scenario_registry.h"

namespace quillmar {

void registerSettingsStageSteps(platform::sim::ScenarioRegistry& registry);

}  // namespace quillmar
