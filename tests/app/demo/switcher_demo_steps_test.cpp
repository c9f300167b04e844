// The demo's Switch Bar steps: the snapshot lands in the output directory and the switch's
// events reach the log.

#include <filesystem>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_fields.h"
#include "platform/sim/scenario_registry.h"
#include "app/demo/switcher_demo_steps.h"
#include "support/temp_path.h"
#include "switcher/switcher_fixture.h"

namespace quillmar::testing {
namespace {

class SwitcherDemoStepsTest : public SwitcherTest {
protected:
    void run(const std::string& name, const nlohmann::json& fields) {
        const auto* handler = registry.step(name);
        ASSERT_NE(handler, nullptr) << name;
        platform::sim::ScenarioFields check(fields, "step");
        (*handler)(check, nullptr);
        ASSERT_TRUE(check.ok()) << check.error();
        platform::sim::ScenarioFields act(fields, "step");
        platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
        (*handler)(act, &ctx);
    }
    bool logged(const std::string& fragment) {
        for (const auto& l : log.lines())
            if (l.find(fragment) != std::string::npos) return true;
        return false;
    }
    platform::sim::ScenarioRegistry registry;
    platform::sim::EventLog log;
    std::filesystem::path outDir = snapshotDirectory("switcher-demo");
};

TEST_F(SwitcherDemoStepsTest, SnapshotAndEventsOfOneSwitch) {
    registerSwitcherSteps(registry);
    addApps(3);
    platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
    startSwitcherDemo(ctx);

    run("snapshotSwitchBar", {{"file", "none.png"}});
    EXPECT_TRUE(logged("\"written\":false"));

    run("previewSwitchBar", {{"seconds", 2.5}});
    advance(0.3);
    std::filesystem::remove(outDir / "bar.png");
    run("snapshotSwitchBar", {{"file", "bar.png"}});
    EXPECT_TRUE(std::filesystem::exists(outDir / "bar.png"));
    EXPECT_TRUE(logged("switchBarPresented"));

    run("pressQuickKey", {{"key", "escape"}});
    runUntilIdle();
    EXPECT_TRUE(logged("switchBarDismissed"));

    platform::sim::ScenarioFields bad(nlohmann::json{{"key", "x"}}, "step");
    (*registry.step("pressQuickKey"))(bad, nullptr);
    EXPECT_FALSE(bad.ok());
}

}  // namespace
}  // namespace quillmar::testing
