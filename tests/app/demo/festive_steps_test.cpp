// The festive scenario end to end: a day on each of the eleven festivals in its own language
// throws a burst of that festival, Christmas Day puts the perimeter up, and Christmas Eve under
// Reduce Motion keeps the garland but throws nothing.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::app {
namespace {

class FestiveScenarioTest : public testing::FreshWorldTest {};

TEST_F(FestiveScenarioTest, EveryFestivalDayThrowsItsOwnBurstAndChristmasWearsTheGarland) {
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream out, err;
    const testing::ScratchFolder pictures("festive");
    ASSERT_EQ(runner.run("scenarios/festive.json", pictures.path(), out, err), 0) << err.str();

    std::vector<nlohmann::json> events;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) events.push_back(nlohmann::json::parse(line));

    std::map<std::string, int> bursts;
    std::string dayFestival;
    bool reduceMotion = false;
    int perimeterShown = 0;
    int qaBursts = -1;  // counts the bursts thrown in QA mode
    for (const auto& e : events) {
        const auto name = e["event"].get<std::string>();
        if (name == "festiveDay") dayFestival = e["festival"].is_null() ? "" : e["festival"].get<std::string>();
        if (name == "qaMode") qaBursts = e["on"].get<bool>() ? 0 : qaBursts;
        if (name == "reduceMotion") reduceMotion = e["on"].get<bool>();
        if (name == "festiveBurst" && qaBursts >= 0) {
            // QA mode rotates through the festivals in their order, one per fresh burst.
            EXPECT_EQ(e["festival"], (qaBursts == 0 ? "stPatricks" : "easter"));
            ++qaBursts;
            continue;
        }
        if (name == "festiveBurst") {
            EXPECT_FALSE(reduceMotion) << e.dump();
            EXPECT_EQ(e["festival"], dayFestival);  // the day's festival, in the day's language
            EXPECT_EQ(e["particles"], 22);
            ++bursts[e["festival"].get<std::string>()];
        }
        if (name == "christmasPerimeter" && e["visible"].get<bool>()) ++perimeterShown;
        if (name == "switchBarSnapshot" || name == "christmasPerimeterSnapshot" || name == "festiveArtSheet") {
            EXPECT_TRUE(e["written"].get<bool>()) << e.dump();
        }
    }
    EXPECT_EQ(qaBursts, 2);
    EXPECT_EQ(bursts.size(), 11u);
    for (const auto& [festival, count] : bursts) EXPECT_EQ(count, 1) << festival;
    EXPECT_GE(perimeterShown, 2);  // Christmas Day and Christmas Eve
    EXPECT_EQ(events[events.size() - 2]["event"], "scenarioFinished");
    EXPECT_EQ(events.back()["event"], "runFinished");
}

// The app seeds its particles from the system; a scenario's record is the same on every run.
TEST_F(FestiveScenarioTest, TwoRunsDrawTheSameParticles) {
    namespace fs = std::filesystem;
    const testing::ScratchFolder dir("festive-runs");
    auto bytes = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (const char* run : {"a", "b"}) {
        runtime::World::reset();
        platform::sim::ScenarioRunner runner;
        installDemoApp(runner);
        std::ostringstream out, err;
        ASSERT_EQ(runner.run("scenarios/festive.json", dir / run, out, err), 0) << err.str();
    }
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "a")) {
        if (entry.path().extension() != ".png") continue;
        EXPECT_EQ(bytes(entry.path()), bytes(dir / "b" / entry.path().filename())) << entry.path().filename();
        ++compared;
    }
    EXPECT_GE(compared, 11);  // a burst mid-flight on every festival's day
}

}  // namespace
}  // namespace quillmar::app
