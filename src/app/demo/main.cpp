// The demo binary: runs a scenario on the simulated desktop and writes the event log to standard
// output (see platform/sim/scenario_runner.h).

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/demo/demo_app_starter.h"
#include "platform/sim/scenario_runner.h"
#include "runtime/world.h"

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // Pixel buffers (a frame, a layer, a picture of a whole screen) live for one drawing. With a
    // fixed threshold they are mapped apart and returned when freed; glibc's default would raise
    // the threshold after the first big one and keep later ones in the heap for good.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    int status = 0;
    {
        quillmar::platform::sim::ScenarioRunner runner;
        quillmar::app::installDemoApp(runner);
        status = runner.main(argc, argv, std::cout, std::cerr);
    }
    // The shared objects of the last scenario are kept until the world is reset: release them
    // here, so that whatever a leak checker reports at exit was really lost.
    quillmar::runtime::World::reset();
    return status;
}
