// The demo's trackpad steps, run through the scenario runner with the monitor started the way
// the application starts it and its gesture events logged.

#include "platform/sim/touch_steps.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_runner.h"
#include "support/temp_path.h"
#include "trackpad_test_support.h"

namespace quillmar::testing {
namespace {

using platform::sim::ScenarioRunner;

class TouchStepsTest : public TrackpadTest {
protected:
    // Runs a scenario whose steps are given; returns the event names of the log in order.
    std::vector<std::string> run(const std::string& steps, const std::string& extra = "") {
        const auto path = scratch / "touch_steps_scenario.json";
        std::ofstream(path) << R"({"apps": [{"name": "Editor", "bundleID": "com.example.editor",
            "windows": [{"title": "notes", "bounds": [0, 0, 800, 600]}]}], "frontmost": "Editor",
            "settings": {"fingerCount": 3, "triggerStyle": "immediateHorizontalSlide"},
            "trackpads": {"devices": [{"name": "Built-in Trackpad"}, {"name": "Magic Mouse", "kind": "mouse"}]})"
                            << extra << R"(, "steps": )" << steps << "}";
        ScenarioRunner runner;
        platform::sim::registerTouchSteps(runner.registry());
        runtime::SubscriptionBag bag;
        runner.setAppStarter([&](platform::sim::StepContext& ctx) {
            auto& m = monitor();
            m.gestureEvents
                .connect([&ctx](const GestureEvent& e) {
                    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
                    if (e.kind == K::scrub || e.kind == K::crossAxisSwipe) fields["value"] = e.value;
                    ctx.log.record(std::string(GestureEvent::name(e.kind)), fields);
                })
                .store(bag);
            m.isAccessibilityTrusted = [] { return true; };
            m.onForwardedKeyDown = [](int code) { return code == 12 || code == 13 || code == 53; };
            m.start();
        });
        std::ostringstream out, err;
        EXPECT_EQ(runner.run(path.string(), scratch / "out", out, err), ScenarioRunner::kExitOk) << err.str();
        error = err.str();
        std::vector<std::string> events;
        std::istringstream log(out.str());
        for (std::string line; std::getline(log, line);) {
            auto j = nlohmann::json::parse(line);
            events.push_back(j["event"].get<std::string>());
            lines.push_back(j);
        }
        return events;
    }
    static int count(const std::vector<std::string>& events, const std::string& name) {
        return static_cast<int>(std::count(events.begin(), events.end(), name));
    }

    std::vector<nlohmann::json> lines;
    std::string error;
    const quillmar::testing::ScratchFolder scratch{"touch-steps"};
};

TEST_F(TouchStepsTest, ASlideOpensScrubsAndCommitsAndTheTapWorksMeanwhile) {
    auto events = run(R"([
        {"do": "slide", "fingers": 3, "path": [[0.3, 0.5], [0.6, 0.5]], "seconds": 0.2, "lift": false},
        {"do": "scroll", "deltaY": -4},
        {"do": "key", "keyCode": 12, "repeats": 3},
        {"do": "lift"},
        {"do": "scroll", "deltaY": -4}
    ])");
    EXPECT_EQ(count(events, "gestureStart"), 1);
    EXPECT_GT(count(events, "gestureScrub"), 5);
    EXPECT_EQ(count(events, "gestureCommit"), 1);
    EXPECT_EQ(count(events, "fingersSlid"), 1);
    std::vector<std::string> results;
    for (const auto& l : lines)
        if (l["event"] == "scrollEvent" || l["event"] == "keyDown") results.push_back(l["result"]);
    EXPECT_EQ(results, (std::vector<std::string>{"swallowed", "swallowed", "swallowed", "swallowed", "swallowed",
                                                 "delivered"}));
    // The commit comes with the lift, after the keys.
    const auto lastKey = std::find(events.rbegin(), events.rend(), "keyDown");
    const auto commit = std::find(events.rbegin(), events.rend(), "gestureCommit");
    EXPECT_LT(commit - events.rbegin(), lastKey - events.rbegin());
}

TEST_F(TouchStepsTest, DevicesComeAndGoAndBadStepsAreRefusedBeforeAnythingRuns) {
    auto events = run(R"([
        {"do": "detachTrackpad", "name": "Built-in Trackpad"},
        {"do": "advance", "seconds": 0.5},
        {"do": "slide", "path": [[0.3, 0.5], [0.6, 0.5]]},
        {"do": "attachTrackpad", "name": "Magic Trackpad"},
        {"do": "advance", "seconds": 0.5},
        {"do": "slide", "path": [[0.3, 0.5], [0.6, 0.5]]}
    ])");
    EXPECT_EQ(count(events, "stepSkipped"), 1);  // only the mouse is left
    EXPECT_EQ(count(events, "gestureStart"), 1);
    EXPECT_EQ(count(events, "gestureCommit"), 1);

    ScenarioRunner runner;
    platform::sim::registerTouchSteps(runner.registry());
    const auto path = scratch / "bad_touch_steps.json";
    std::ofstream(path) << R"({"apps": [], "steps": [{"do": "slide", "path": [[0.3, "x"]]}]})";
    std::ostringstream out, err;
    EXPECT_EQ(runner.run(path.string(), scratch / "out", out, err), ScenarioRunner::kExitBadInput);
    EXPECT_NE(err.str().find("steps[0].path"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace quillmar::testing
