// The settings stage scenario: telemetry follows the tab, the stage sees the gesture, Zen and the
// pointer, and every picture is written with the look its caption claims.

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "gfx/image.h"
#include "gfx/image_compare.h"
#include "support/fresh_world.h"

namespace quillmar::app {
namespace {

class SettingsStageScenarioTest : public testing::FreshWorldTest {};

TEST_F(SettingsStageScenarioTest, StageFollowsFingersPointerAndTab) {
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    const auto dir = std::filesystem::path(::testing::TempDir()) / "settings_stage";
    std::ostringstream out, err;
    ASSERT_EQ(runner.run("scenarios/settings_stage.json", dir.string(), out, err), 0) << err.str();

    std::map<std::string, nlohmann::json> shots;
    std::vector<nlohmann::json> events;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        auto e = nlohmann::json::parse(line);
        if (e["event"] == "settingsStageSnapshot") shots[e["file"].get<std::string>()] = e;
        events.push_back(std::move(e));
    }
    ASSERT_EQ(shots.size(), 20u);
    for (const auto& [file, e] : shots) EXPECT_TRUE(e["written"].get<bool>()) << file;

    EXPECT_EQ(shots["stage-gesture-light.png"]["touches"], 3);
    EXPECT_TRUE(shots["stage-zen-light.png"]["zen"].get<bool>());
    EXPECT_GT(shots["stage-zen-light.png"]["wavePhase"].get<double>(), 0);
    EXPECT_TRUE(shots["stage-hover-light.png"]["hovered"].get<bool>());
    EXPECT_EQ(shots["stage-hover-light.png"]["simulatedIndex"], 3);
    for (const auto& e : events) {
        if (e["event"] == "hardwareStageShown") {
            EXPECT_TRUE(e["liveTelemetry"].get<bool>());
        }
        if (e["event"] == "hardwareStageHidden") {
            EXPECT_FALSE(e["liveTelemetry"].get<bool>());
            EXPECT_EQ(e["touches"], 0);
        }
    }

    // The dark pictures are dark and the light ones light, at the card's corner.
    for (const char* name : {"stage-idle", "stage-zen", "shortcuts-none"}) {
        auto light = gfx::Image::readPng((dir / (std::string(name) + "-light.png")).string(), 2.0);
        auto dark = gfx::Image::readPng((dir / (std::string(name) + "-dark.png")).string(), 2.0);
        ASSERT_TRUE(light && dark) << name;
        const auto l = gfx::probe(*light, {40, 40});
        const auto d = gfx::probe(*dark, {40, 40});
        EXPECT_GT(l.green - d.green, 0.5) << name;
    }
}

}  // namespace
}  // namespace quillmar::app
