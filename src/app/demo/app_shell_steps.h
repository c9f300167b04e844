#pragma once
// The application shell on the simulated desktop. startAppShellDemo() puts the application
// object, the status bar and the URL opener in place, runs the application's entry point (its
// start-up brings every subsystem up in order) and writes to the run's log what the shell does:
// each URL command with its outcome, each settings-window request with the tab it asks for,
// and every change of a setting.
//
// Steps:
//   {"do": "openStatusMenu"}                                 logs "statusMenu" with its rows
//   {"do": "pickStatusMenuItem", "path": ["Switch Bar Appearance", "Light Glass (Daylight)"]}
//        opens the menu and picks the item (titles, or "#n" for the n-th row); logs
//        "statusMenuPicked"
//   {"do": "snapshotStatusMenu", "file": "menu.png", "caption": "...", "appearance": "dark",
//    "openSubmenu": "Paused Apps (2)", "scale": 2}             opens the menu and draws it
//   {"do": "deliverURLs", "urls": ["quillmar://toggle"], "senderPid": 880, "tokenPid": 880}
//        the URLs as sent by that process (token and pid attributes as given); logs
//        "urlDelivery" and one "urlCommand" per URL
//   {"do": "reopenApp"}, {"do": "quitApp"}
//   {"do": "pressMenuKey", "key": "w", "modifiers": ["command"]}   a key equivalent of the main menu

#include "platform/sim/scenario_registry.h"

namespace quillmar {

// The classification dump's name inside the output folder (the simulated system's temporary
// folder lies there); no picture may take it.
inline constexpr const char* kSimulatedDumpName = "tmp/quillmar-targets-dump.txt";

void registerAppShellSteps(platform::sim::ScenarioRegistry& registry);

// Installs the shell's simulated services, runs the entry point and connects the log.
void startAppShellDemo(platform::sim::StepContext& context);

}  // namespace quillmar
