// The README's main job: the demo scenario runs end to end with every subsystem wired.

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "support/fresh_world.h"

namespace quillmar::app {
namespace {

class DemoScenarioTest : public testing::FreshWorldTest {};

TEST_F(DemoScenarioTest, RunsEveryStepAndLogsWhatTheSubsystemsDid) {
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream out, err;
    ASSERT_EQ(runner.run("scenarios/demo.json", ::testing::TempDir(), out, err), 0) << err.str();

    std::vector<nlohmann::json> events;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) events.push_back(nlohmann::json::parse(line));
    auto count = [&](const std::string& name) {
        return std::count_if(events.begin(), events.end(), [&](const auto& e) { return e["event"] == name; });
    };
    EXPECT_EQ(count("appStarted"), 1);
    EXPECT_EQ(count("targets"), 3);  // one listing per mode
    EXPECT_EQ(count("gestureStart"), 1);  // the three-finger slide; the two-finger one is ignored
    EXPECT_EQ(count("gestureCommit"), 1);
    EXPECT_EQ(count("targetActivated"), 1);
    EXPECT_EQ(count("switchBarPresented"), 2);  // the switch and the preview
    EXPECT_EQ(count("switchBarCommit"), 1);
    for (const auto& e : events) {
        if (e["event"] == "switchBarSnapshot") {
            EXPECT_TRUE(e["written"].get<bool>()) << e.dump();
        }
    }
    EXPECT_GE(count("WorkspaceDidTerminateApplication"), 1);
    EXPECT_EQ(events.back()["event"], "scenarioFinished");
}

}  // namespace
}  // namespace quillmar::app
