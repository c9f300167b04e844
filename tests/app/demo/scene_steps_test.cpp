// The scene sheets and frame sequences: what the log names exists, the labels print the progress
// the scenario gave, a dissolve keeps to the card's rounded corners, a mark's cell holds its
// glow, and the resting pointer is drawn where the step put it.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "gfx/image.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::app {
namespace {

namespace fs = std::filesystem;

class SceneStepsTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        dir = quillmar::testing::uniqueTempPath("scenes");
        fs::create_directories(dir);
        installDemoApp(runner);
    }
    void TearDown() override {
        fs::remove_all(dir);
        FreshWorldTest::TearDown();
    }
    // Runs the steps (a JSON array) and returns the log's events.
    std::vector<nlohmann::json> run(const std::string& steps) {
        const auto file = dir / "scenario.json";
        std::ofstream(file) << R"({"apps": [], "steps": )" << steps << "}";
        std::ostringstream out, err;
        EXPECT_EQ(runner.run(file.string(), dir / "out", out, err), 0) << err.str();
        std::vector<nlohmann::json> events;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) events.push_back(nlohmann::json::parse(line));
        return events;
    }
    gfx::Image picture(const std::string& name) {
        auto image = gfx::Image::readPng((dir / "out" / name).string());
        EXPECT_TRUE(image.has_value()) << name;
        return image.value_or(gfx::Image::create(1, 1));
    }

    platform::sim::ScenarioRunner runner;
    fs::path dir;
};

bool samePixel(const gfx::Color& a, const gfx::Color& b) {
    return std::abs(a.red - b.red) < 0.004 && std::abs(a.green - b.green) < 0.004 && std::abs(a.blue - b.blue) < 0.004 &&
           std::abs(a.alpha - b.alpha) < 0.004;
}

// The sheet's layout at 1x: 12 pt margins and gaps, a label band of 18 pt under each cell.
constexpr int kMargin = 12, kGap = 12, kLabel = 18;

TEST_F(SceneStepsTest, FramesEventNamesTheFilesWrittenAndTheyExist) {
    const auto events = run(R"([{"do": "renderSceneFrames", "renderer": "halloweenDissolve",
                                 "file": "seq/frame.png", "frames": 3}])");
    std::vector<std::string> files;
    for (const auto& e : events)
        if (e["event"] == "sceneFrames") {
            EXPECT_EQ(e["frames"], 3);
            for (const auto& f : e["files"]) files.push_back(f.get<std::string>());
        }
    EXPECT_EQ(files, (std::vector<std::string>{"seq/frame_000.png", "seq/frame_001.png", "seq/frame_002.png"}));
    for (const auto& f : files) EXPECT_TRUE(fs::is_regular_file(dir / "out" / f)) << f;
    EXPECT_FALSE(fs::exists(dir / "out" / "seq" / "frame.png"));
}

TEST_F(SceneStepsTest, LabelsPrintTheProgressAsGiven) {
    // 0.615 and 0.61 differ only in the third decimal: the labels must differ too. The label
    // band lies below the cell, so the scene itself does not reach it.
    run(R"([{"do": "renderSceneSheet", "renderer": "halloweenDissolve", "file": "a.png", "progress": [0.615]},
            {"do": "renderSceneSheet", "renderer": "halloweenDissolve", "file": "b.png", "progress": [0.61]},
            {"do": "renderSceneSheet", "renderer": "halloweenDissolve", "file": "c.png", "progress": [0.6150]}])");
    const auto a = picture("a.png"), b = picture("b.png"), c = picture("c.png");
    ASSERT_EQ(a.pixelWidth(), b.pixelWidth());
    const int top = kMargin + 80, bottom = top + kLabel;
    int differing = 0, againstSame = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = kMargin; x < kMargin + 448; ++x) {
            if (!samePixel(a.pixel(x, y), b.pixel(x, y))) ++differing;
            if (!samePixel(a.pixel(x, y), c.pixel(x, y))) ++againstSame;
        }
    EXPECT_GT(differing, 10);
    EXPECT_EQ(againstSame, 0);
}

TEST_F(SceneStepsTest, DissolveCellsKeepToTheCardsRoundedCorners) {
    // The meadows paint hills and grass across the bottom edge: the corners stay the window's.
    const std::vector<std::string> renderers = {"springMeadowDissolve", "easterMeadowDissolve",
                                                "autumnHarvestOakDissolve"};
    std::string steps = "[";
    for (const auto& r : renderers)
        steps += std::string(steps.size() > 1 ? ", " : "") + R"({"do": "renderSceneSheet", "renderer": ")" + r +
                 R"(", "file": ")" + r + R"(.png", "progress": [0.5]})";
    run(steps + "]");
    for (const auto& renderer : renderers) {
        const auto sheet = picture(renderer + ".png");
        // Dark cell on the left, light on the right; each corner's outermost pixel.
        for (int column = 0; column < 2; ++column) {
            const int x0 = kMargin + column * (448 + kGap), x1 = x0 + 447;
            const int y0 = kMargin, y1 = kMargin + 79;
            const gfx::Color backdrop = column == 0 ? gfx::Color::rgb(0.118, 0.118, 0.129)
                                                    : gfx::Color::rgb(0.941, 0.941, 0.949);
            for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}}) {
                const auto p = sheet.pixel(x, y);
                EXPECT_NEAR(p.red, backdrop.red, 0.01) << renderer << " at " << x << "," << y;
                EXPECT_NEAR(p.blue, backdrop.blue, 0.01) << renderer << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(SceneStepsTest, MarkCellsHoldTheGlowingSnowflakesHalo) {
    // Variant 0 of the winter theme is the glowing snowflake: its halo fades out inside the cell,
    // so the cell's edge is the plain backdrop all round.
    run(R"([{"do": "renderSceneSheet", "renderer": "winterMark", "theme": "winterAuroraHearth",
             "file": "marks.png", "progress": [0.5]}])");
    const auto sheet = picture("marks.png");
    // One moment: a column of dark over light; the cell is square.
    const int cell = sheet.pixelWidth() - 2 * kMargin;
    ASSERT_EQ(sheet.pixelHeight(), 2 * kMargin + 2 * (cell + kLabel) + kGap);
    const gfx::Color backdrop = gfx::Color::rgb(0.118, 0.118, 0.129);
    int glowAtEdge = 0;
    for (int i = 0; i < cell; ++i)
        for (auto [x, y] : {std::pair{kMargin + i, kMargin}, {kMargin + i, kMargin + cell - 1},
                            {kMargin, kMargin + i}, {kMargin + cell - 1, kMargin + i}})
            if (!samePixel(sheet.pixel(x, y), backdrop)) ++glowAtEdge;
    EXPECT_EQ(glowAtEdge, 0);
    // Past the snowflake's arms, a fifth of the way in from the top, the glow still shows.
    EXPECT_FALSE(samePixel(sheet.pixel(kMargin + cell / 2, kMargin + cell / 5), backdrop));
}

TEST_F(SceneStepsTest, TheRestingPointerIsDrawnWhereTheStepPutIt) {
    run(R"([{"do": "renderSceneSheet", "renderer": "halloweenDissolve", "file": "with.png", "progress": [0.5],
             "pointer": [200, 30]},
            {"do": "renderSceneSheet", "renderer": "halloweenDissolve", "file": "without.png", "progress": [0.5]}])");
    const auto with = picture("with.png"), without = picture("without.png");
    // Just inside the arrow's tip: black; left of the tip, outside the arrow: as without it.
    const int x = kMargin + 200, y = kMargin + 30;
    const auto inside = with.pixel(x + 2, y + 8);
    EXPECT_LT(inside.red + inside.green + inside.blue, 0.1);
    EXPECT_GT(without.pixel(x + 2, y + 8).red + without.pixel(x + 2, y + 8).green, 0.05);
    EXPECT_TRUE(samePixel(with.pixel(x - 6, y + 8), without.pixel(x - 6, y + 8)));
}

}  // namespace
}  // namespace quillmar::app
