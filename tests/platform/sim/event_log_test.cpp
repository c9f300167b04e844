// The event log's output: a log that cannot be written is said once and fails the run.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/sim/scenario_runner.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform::sim {
namespace {

class EventLogTest : public testing::FreshWorldTest {};

TEST_F(EventLogTest, ALogThatCannotBeWrittenIsSaidOnceAndFailsTheRun) {
    quillmar::testing::ScratchFolder dir("log");
    const auto scenario = (dir / "s.json").string();
    std::ofstream(scenario) << R"({"apps": [], "steps": [{"do": "advance", "seconds": 1}]})";
    // A FIFO whose reader has gone: every write fails (with SIGPIPE ignored, as by the shell).
    const auto fifo = dir / "log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::ofstream out(fifo);
    ::close(reader);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);

    ScenarioRunner runner;
    std::ostringstream err;
    // Two scenarios: the second one's log, in a fresh world, does not say it again.
    EXPECT_EQ(runner.run(std::vector<std::string>{scenario, scenario}, {}, out, err), ScenarioRunner::kExitWriteFailed);
    EXPECT_EQ(err.str(), std::string("quillmar: the event log could not be written: ") + std::strerror(EPIPE) + "\n");
    out.close();  // the rest of its buffer fails too
    std::signal(SIGPIPE, previous);
}

}  // namespace
}  // namespace quillmar::platform::sim
