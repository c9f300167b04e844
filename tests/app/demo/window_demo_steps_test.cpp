#include <gtest/gtest.h>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_registry.h"
#include "app/demo/window_demo_steps.h"
#include "windows/windows_fixture.h"

namespace quillmar::testing {
namespace {

using platform::sim::ScenarioFields;

class WindowDemoStepsTest : public WindowsTest {
protected:
    // Runs a step as the demo runner does: a loading pass without a context, then the real one.
    std::string run(const std::string& name, const nlohmann::json& args) {
        platform::sim::ScenarioRegistry registry;
        registerWindowSteps(registry);
        const auto* handler = registry.step(name);
        if (!handler) return "no step";
        ScenarioFields check(args, "steps[0]");
        (*handler)(check, nullptr);
        if (!check.ok()) return check.error();
        auto& log = platform::sim::EventLog::shared();
        platform::sim::StepContext ctx{*desktop, log, {}, "test.json"};
        ScenarioFields fields(args, "steps[0]");
        (*handler)(fields, &ctx);
        return log.lines().empty() ? "" : log.lines().back();
    }
};

TEST_F(WindowDemoStepsTest, ListsAndActivatesTargetsOfTheScenarioDesktop) {
    const auto a = addApp("Alpha"), b = addApp("Beta");
    addWindow(a, "One");
    const auto two = addWindow(b, "Two");
    desktop->setFrontmost(a);

    const std::string listed = run("listTargets", {{"mode", "appsOnly"}});
    EXPECT_NE(listed.find("\"targets\""), std::string::npos);
    EXPECT_NE(listed.find("\"label\":\"Beta\""), std::string::npos);

    const std::string activated = run("activateTarget", {{"mode", "allWindows"}, {"label", "Beta"}});
    EXPECT_NE(activated.find("\"targetActivated\""), std::string::npos);
    EXPECT_NE(activated.find("\"frontWindow\":" + std::to_string(two)), std::string::npos);
    EXPECT_EQ(desktop->frontmostPid(), b);

    EXPECT_NE(run("listTargets", {{"mode", "everything"}}).find("mode"), std::string::npos);
    EXPECT_NE(run("activateTarget", nlohmann::json::object()).find("index"), std::string::npos);
}

}  // namespace
}  // namespace quillmar::testing
