// Hostile scenarios and output names: every one is refused with the file and the reason before
// anything runs, and nothing is written outside the output folder.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_loader.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/scenario_runner.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform::sim {
namespace {

namespace fs = std::filesystem;

class HostileScenarioTest : public testing::FreshWorldTest {
protected:
    std::string problem(const std::string& text) {
        auto result = ScenarioLoader(runner.registry()).parse(text, "s.json");
        return result.scenario ? "" : result.error;
    }
    ScenarioRunner runner;
};

TEST_F(HostileScenarioTest, DeepNestingAndHugeNumbersAreRefusedNotFatal) {
    const std::string deep = std::string(70'000, '[') + std::string(70'000, ']');
    EXPECT_EQ(problem("{\"apps\": [], \"x\": " + deep + "}").rfind("s.json: nests deeper than 200 levels (line 1", 0), 0u);
    // A step's value nested past the limit is refused the same way, wherever it sits.
    const std::string deepValue = std::string(50'000, '{') + std::string(50'000, '}');
    EXPECT_NE(problem(R"({"apps": [], "steps": [{"do": "note", "text": )" + deepValue + "}]}").find("nests deeper"),
              std::string::npos);
    // Brackets inside strings do not count.
    EXPECT_EQ(problem(R"({"apps": [], "description": ")" + std::string(500, '[') + "\"}"), "");
    EXPECT_EQ(problem(R"({"apps": [], "steps": [{"do": "advance", "seconds": 1e400}]})").rfind("s.json: not usable JSON", 0),
              0u);
}

TEST_F(HostileScenarioTest, OutputNamesStayInsideTheOutputFolder) {
    for (const char* bad : {"../x.png", "/tmp/x.png", "a/../../x.png", "", "shots/.."}) {
        const std::string text = std::string(R"({"apps": [], "steps": [{"do": "snapshotSwitchBar", "file": ")") + bad +
                                 "\"}]}";
        // The Switch Bar's step is not registered in this bare runner: register a stand-in.
        runner.registry().registerStep("snapshotSwitchBar", [](ScenarioFields& f, StepContext*) { f.string("file"); });
        EXPECT_NE(problem(text).find("steps[0].file"), std::string::npos) << bad << ": " << problem(text);
    }
    EXPECT_FALSE(ScenarioLoader::outputNameProblem("shots/light/bar.png"));

    // Even a name that slipped past the loader lands inside the folder.
    const auto dir = quillmar::testing::uniqueTempPath("out");
    StepContext ctx{SimDesktop::install(), EventLog::shared(), dir, "s.json"};
    EXPECT_EQ(ctx.outputPath("../../escape.png"), dir / "escape.png");
    EXPECT_EQ(ctx.outputPath("sub/ok.png"), dir / "sub/ok.png");
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    fs::remove_all(dir);
}

TEST_F(HostileScenarioTest, OnlyRegularFilesOfASaneSizeAreRead) {
    std::ostringstream out, err;
    EXPECT_EQ(runner.run("/dev/zero", {}, out, err), ScenarioRunner::kExitBadInput);
    EXPECT_NE(err.str().find("/dev/zero: is not a regular file"), std::string::npos) << err.str();

    const auto fifo = quillmar::testing::uniqueTempPath("pipe.json");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    err.str("");
    EXPECT_EQ(runner.run(fifo.string(), {}, out, err), ScenarioRunner::kExitBadInput);  // does not block
    EXPECT_NE(err.str().find("is not a regular file"), std::string::npos);
    fs::remove(fifo);

    const auto big = quillmar::testing::uniqueTempPath("big.json");
    {
        std::ofstream f(big);
        f << "{\"apps\": [], \"description\": \"" << std::string(ScenarioLoader::kMaxFileBytes, 'x') << "\"}";
    }
    err.str("");
    EXPECT_EQ(runner.run(big.string(), {}, out, err), ScenarioRunner::kExitBadInput);
    EXPECT_NE(err.str().find("a scenario may have at most"), std::string::npos) << err.str();
    fs::remove(big);
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace quillmar::platform::sim
