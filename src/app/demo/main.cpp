// The demo binary: runs a scenario on the simulated desktop and writes the event log to standard
// output (see platform/sim/scenario_runner.h).

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/demo/demo_app_starter.h"
#include "platform/sim/scenario_runner.h"
#include "runtime/world.h"

namespace {
// A standard descriptor closed at the start is held by /dev/null, so that no file the run opens
// becomes descriptor 0, 1 or 2. Standard output's is opened for reading only: writing the log
// then fails as it would on the closed descriptor, and is reported.
void holdStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor: fd itself, as those below it are open.
        const int held = ::open("/dev/null", fd == STDOUT_FILENO ? O_RDONLY : O_RDWR);
        if (held > fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}
}  // namespace

int main(int argc, char** argv) {
    holdStandardDescriptors();
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
    // The last check of standard output, for what went there besides the log (the help text); a
    // log that could not be written has been reported already, with exit status 1.
    errno = 0;
    if (!std::cout.flush() && status == quillmar::platform::sim::ScenarioRunner::kExitOk) {
        const int error = errno;
        std::cerr << "quillmar: standard output could not be written: "
                  << (error != 0 ? std::strerror(error) : "the stream failed") << "\n";
        status = quillmar::platform::sim::ScenarioRunner::kExitWriteFailed;
    }
    return status;
}
