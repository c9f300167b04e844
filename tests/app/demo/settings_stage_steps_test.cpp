// The settings stage scenario: telemetry follows the tab and the window, the stage sees the
// pointer, the gesture and Zen, and the pictures are written with the look their captions claim.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "gfx/image.h"
#include "support/image_compare.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::app {
namespace {

class SettingsStageScenarioTest : public testing::FreshWorldTest {};

TEST_F(SettingsStageScenarioTest, StageFollowsPointerFingersAndTab) {
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    const testing::ScratchFolder dir("settings-stage");
    std::ostringstream out, err;
    ASSERT_EQ(runner.run("scenarios/settings_stage.json", dir.path(), out, err), 0) << err.str();

    std::vector<nlohmann::json> stage;
    int pictures = 0;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        auto e = nlohmann::json::parse(line);
        if (e["event"] == "hardwareStage") stage.push_back(e);
        if (e["event"] == "settingsSnapshot" || e["event"] == "settingsStageSnapshot") {
            EXPECT_TRUE(e["written"].get<bool>()) << e.dump();
            ++pictures;
        }
    }
    EXPECT_EQ(pictures, 24);
    // Opened on the Trackpad tab, hovered, mid-gesture, Zen, lifted, Shortcuts, back, Zen on one
    // of two trackpads, that one unplugged, closed.
    ASSERT_EQ(stage.size(), 10u);
    EXPECT_TRUE(stage[0]["liveTelemetry"].get<bool>());
    EXPECT_TRUE(stage[1]["hovered"].get<bool>());
    EXPECT_EQ(stage[1]["simulatedIndex"], 3);
    EXPECT_EQ(stage[2]["touches"], 3);
    EXPECT_TRUE(stage[3]["zen"].get<bool>());
    EXPECT_GT(stage[3]["wavePhase"].get<double>(), 0);
    EXPECT_FALSE(stage[4]["zen"].get<bool>());
    EXPECT_FALSE(stage[5]["liveTelemetry"].get<bool>());
    EXPECT_TRUE(stage[6]["liveTelemetry"].get<bool>());
    EXPECT_TRUE(stage[7]["zen"].get<bool>());
    EXPECT_EQ(stage[8]["touches"], 0);
    EXPECT_FALSE(stage[8]["zen"].get<bool>());
    EXPECT_FALSE(stage[9]["liveTelemetry"].get<bool>());

    // The dark pictures are dark and the light ones light, inside the stage card.
    for (const char* name : {"stage-idle", "stage-zen", "shortcuts-none"}) {
        auto light = gfx::Image::readPng((dir / (std::string(name) + "-light.png")).string(), 2.0);
        auto dark = gfx::Image::readPng((dir / (std::string(name) + "-dark.png")).string(), 2.0);
        ASSERT_TRUE(light && dark) << name;
        const auto l = gfx::probe(*light, {40, 110});
        const auto d = gfx::probe(*dark, {40, 110});
        EXPECT_GT(l.green - d.green, 0.5) << name;
    }
}

}  // namespace
}  // namespace quillmar::app
