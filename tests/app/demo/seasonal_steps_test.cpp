// The About card's pictures: a crop holds the card and its margin at the scale asked for and is
// listed at twice its size, and the pointer is drawn where the last tap or move left it.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "gfx/image.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::app {
namespace {

namespace fs = std::filesystem;

class SeasonalStepsTest : public testing::FreshWorldTest {};

TEST_F(SeasonalStepsTest, CardCropAndPointerAreDrawnWhereTheStepsLeftThem) {
    const quillmar::testing::ScratchFolder dir("about");
    std::ofstream(dir / "about.json") << R"({"apps": [], "date": "2025-04-18T10:00:00",
        "settings": {"hasCompletedInitialOnboarding": true}, "steps": [
        {"do": "openAboutCard", "dark": false},
        {"do": "snapshotAbout", "file": "before.png", "scale": 1},
        {"do": "tapAboutIcon"},
        {"do": "advance", "seconds": 2},
        {"do": "snapshotAbout", "file": "after.png", "scale": 1},
        {"do": "snapshotAbout", "file": "card.png", "scale": 4, "crop": "card"}]})";
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream out, err;
    ASSERT_EQ(runner.run((dir / "about.json").string(), dir / "out", out, err), 0) << err.str();

    std::optional<nlohmann::json> tapped;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        auto e = nlohmann::json::parse(line);
        if (e["event"] == "aboutSnapshot" && e["file"] == "before.png") {
            EXPECT_FALSE(e.contains("pointer"));
        }
        if (e["event"] == "aboutSnapshot" && e["file"] == "after.png") tapped = e;
    }
    ASSERT_TRUE(tapped && tapped->contains("pointer"));
    const int px = static_cast<int>((*tapped)["pointer"][0].get<double>());
    const int py = static_cast<int>((*tapped)["pointer"][1].get<double>());

    // The arrow's body just below its tip is black after the tap, and was not before it.
    const auto before = gfx::Image::readPng((dir / "out" / "before.png").string());
    const auto after = gfx::Image::readPng((dir / "out" / "after.png").string());
    ASSERT_TRUE(before && after);
    const auto on = after->pixel(px + 2, py + 8), was = before->pixel(px + 2, py + 8);
    EXPECT_LT(on.red + on.green + on.blue, 0.1);
    EXPECT_GT(was.red + was.green + was.blue, 0.3);

    // The crop: the 448 x 72 card with 8 points all round, at 4 pixels a point.
    const auto card = gfx::Image::readPng((dir / "out" / "card.png").string());
    ASSERT_TRUE(card);
    EXPECT_EQ(card->pixelWidth(), (448 + 16) * 4);
    EXPECT_EQ(card->pixelHeight() % 4, 0);
    EXPECT_LT(card->pixelHeight(), (200 - 83 + 8) * 4);
    // Listed at twice its size: half its pixels wide on the page.
    std::ifstream page(dir / "out" / "index.html");
    std::ostringstream html;
    html << page.rdbuf();
    EXPECT_NE(html.str().find("card.png\" alt=\"The About card\" width=\"928\""), std::string::npos);
}

}  // namespace
}  // namespace quillmar::app
