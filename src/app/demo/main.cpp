// The demo binary: runs a scenario on the simulated desktop and writes the event log to standard
// output (see platform/sim/scenario_runner.h).

#include <iostream>

#include "app/demo/demo_app_starter.h"
#include "platform/sim/scenario_runner.h"

int main(int argc, char** argv) {
    quillmar::platform::sim::ScenarioRunner runner;
    quillmar::app::installDemoApp(runner);
    return runner.main(argc, argv, std::cout, std::cerr);
}
