// The README's main job: the demo scenario runs end to end with every subsystem wired.

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::app {
namespace {

class DemoScenarioTest : public testing::FreshWorldTest {};

TEST_F(DemoScenarioTest, RunsEveryStepAndLogsWhatTheSubsystemsDid) {
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream out, err;
    const testing::ScratchFolder pictures("demo");
    ASSERT_EQ(runner.run("scenarios/demo.json", pictures.path(), out, err), 0) << err.str();

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
    EXPECT_EQ(count("switchBarPresented"), 3);  // the switch and the two previews (strip, then list)
    EXPECT_EQ(count("switchBarCommit"), 1);
    for (const auto& e : events) {
        if (e["event"] == "switchBarSnapshot") {
            EXPECT_TRUE(e["written"].get<bool>()) << e.dump();
        }
    }
    EXPECT_GE(count("WorkspaceDidTerminateApplication"), 1);
    EXPECT_EQ(events[events.size() - 2]["event"], "scenarioFinished");
    EXPECT_EQ(events.back()["event"], "runFinished");
}

TEST_F(DemoScenarioTest, SwitchBarScenarioWritesEveryPicture) {
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream out, err;
    const testing::ScratchFolder folder("switch-bar");
    ASSERT_EQ(runner.run("scenarios/switch_bar.json", folder.path(), out, err), 0) << err.str();
    int pictures = 0, withBar = 0;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const auto e = nlohmann::json::parse(line);
        if (e["event"] == "stepSkipped") ADD_FAILURE() << e.dump();
        if (e["event"] != "switchBarSnapshot" && e["event"] != "screenSnapshot") continue;
        ++pictures;
        EXPECT_TRUE(e["written"].get<bool>()) << e.dump();
        if (e["event"] == "screenSnapshot" && e["switchBar"].get<bool>()) ++withBar;
    }
    EXPECT_GE(pictures, 30);
    EXPECT_GE(withBar, 7);  // both layouts, light and dark, the second screen and the small one
}

}  // namespace
}  // namespace quillmar::app
