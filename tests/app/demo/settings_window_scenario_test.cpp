// The settings window's scenario runs end to end: the window opens on the screen under the
// pointer, every snapshot is written and shows what its caption says (the scheme, the tab, the
// language), the controls it clicks and drags change the settings, and only Command-W closes it.

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

class SettingsWindowScenarioTest : public testing::FreshWorldTest {};

double luminance(const gfx::Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

TEST_F(SettingsWindowScenarioTest, RunsAndEverySnapshotShowsItsTabAndScheme) {
    const auto out = testing::snapshotDirectory("settings-window-scenario");
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream log, err;
    ASSERT_EQ(runner.run("scenarios/settings_window.json", out, log, err), 0) << err.str();

    std::vector<nlohmann::json> events;
    std::istringstream lines(log.str());
    for (std::string line; std::getline(lines, line);) events.push_back(nlohmann::json::parse(line));
    std::vector<nlohmann::json> opened, keys, snapshots;
    for (const auto& e : events) {
        if (e["event"] == "settingsOpened") opened.push_back(e);
        if (e["event"] == "settingsKey") keys.push_back(e);
        if (e["event"] == "settingsSnapshot") snapshots.push_back(e);
        EXPECT_NE(e["event"], "settingsControlMissing") << e.dump();
        EXPECT_NE(e["event"], "settingsStepSkipped") << e.dump();
    }
    // First on the second screen (the pointer's), then again on the first.
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_GE(opened[0]["frame"][0].get<double>(), 1512);
    EXPECT_LT(opened[1]["frame"][0].get<double>(), 1512);
    EXPECT_EQ(opened[1]["tab"], "trackpad");  // the tab it was closed on
    // Command-Shift-W is refused, Command-W closes.
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_FALSE(keys[0]["handled"].get<bool>());
    EXPECT_TRUE(keys[0]["open"].get<bool>());
    EXPECT_TRUE(keys[1]["handled"].get<bool>());
    EXPECT_FALSE(keys[1]["open"].get<bool>());

    ASSERT_GE(snapshots.size(), 16u);
    for (const auto& s : snapshots) {
        ASSERT_TRUE(s["written"].get<bool>()) << s.dump();
        const std::string file = s["file"];
        const auto read = gfx::Image::readPng((out / file).string(), 2.0);
        ASSERT_TRUE(read && !read->isNull()) << file;
        const auto& image = *read;
        EXPECT_EQ(image.pixelWidth(), 960) << file;
        EXPECT_EQ(image.pixelHeight(), 1184) << file;
        // The window's background matches the scheme named in the file.
        const double l = luminance(gfx::probe(image, {240, 580}));
        if (file.find("_dark") != std::string::npos) EXPECT_LT(l, 0.25) << file;
        else EXPECT_GT(l, 0.8) << file;
    }
}

}  // namespace
}  // namespace quillmar::app
