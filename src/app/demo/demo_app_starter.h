#pragma once
// Brings the application's subsystems up on the simulated desktop for the demo runner: the
// simulated services they read, the settings, the window manager, the auto-pause monitor,
// the Switch Bar and the trackpad monitor, with their events written to the run's event log.

#include "platform/sim/scenario_runner.h"

namespace quillmar::app {

// Registers the scenario sections and steps of every subsystem and sets the runner's app starter.
void installDemoApp(platform::sim::ScenarioRunner& runner);

}  // namespace quillmar::app
