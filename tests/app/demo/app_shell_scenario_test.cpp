// The application shell's demo scenario end to end: menu pictures written, trusted commands
// applied, refused ones logged as refused and without effect, a dump that cannot be written
// reported as failed.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/app_delegate.h"
#include "app/demo/demo_app_starter.h"
#include "platform/sim/scenario_loader.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::testing {
namespace {

class AppShellScenarioTest : public FreshWorldTest {
protected:
    // Runs one scenario of the demo into out; the log's events.
    std::vector<nlohmann::json> run(const std::string& scenario, const std::filesystem::path& out, int status = 0) {
        platform::sim::ScenarioRunner runner;
        app::installDemoApp(runner);
        std::ostringstream log;
        err.str("");
        EXPECT_EQ(runner.run(scenario, out, log, err), status) << err.str();
        std::vector<nlohmann::json> events;
        std::istringstream lines(log.str());
        for (std::string line; std::getline(lines, line);) events.push_back(nlohmann::json::parse(line));
        return events;
    }
    static std::vector<nlohmann::json> all(const std::vector<nlohmann::json>& events, const std::string& name) {
        std::vector<nlohmann::json> found;
        for (const auto& e : events)
            if (e["event"] == name) found.push_back(e);
        return found;
    }
    std::ostringstream err;
};

TEST_F(AppShellScenarioTest, MenusAndURLCommandsFromTrustedAndRefusedSenders) {
    const ScratchFolder folder("out");
    const auto& out = folder.path();
    const auto events = run("scenarios/app_shell.json", out);
    ASSERT_FALSE(events.empty());

    const auto shots = all(events, "statusMenuSnapshot");
    EXPECT_EQ(shots.size(), 9u);
    for (const auto& s : shots) {
        EXPECT_TRUE(s["written"].get<bool>()) << s.dump();
        EXPECT_TRUE(std::filesystem::exists(out / s["file"].get<std::string>()));
    }

    // The reopen, both menu items and the URLs each show the window, on the tab they name.
    const auto opened = all(events, "settingsWindowOpened");
    EXPECT_GE(opened.size(), 5u);
    for (const auto& o : opened) EXPECT_TRUE(o["opened"].get<bool>()) << o.dump();
    std::vector<std::string> tabs;
    for (const auto& r : all(events, "settingsWindowRequested")) tabs.push_back(r["tab"]);
    EXPECT_EQ(tabs, (std::vector<std::string>{"shortcuts", "shortcuts", "shortcuts", "about", "about"}));
    const auto pictures = all(events, "settingsSnapshot");
    EXPECT_EQ(pictures.size(), 4u);
    for (const auto& s : pictures) EXPECT_TRUE(s["written"].get<bool>()) << s.dump();

    std::map<std::string, std::string> results;
    for (const auto& c : all(events, "urlCommand")) results[c["url"].get<std::string>() + (c["trusted"].get<bool>() ? "+" : "-")] = c["result"];
    EXPECT_EQ(results["quillmar://layout/vertical+"], "ran");
    EXPECT_EQ(results["quillmar://toggle-"], "refusedUntrustedSender");
    EXPECT_EQ(results["quillmar://settings?tab=Shortcuts-"], "ran");
    EXPECT_EQ(results["quillmar://mode/apps-"], "refusedUntrustedSender");
    EXPECT_EQ(results["quillmar://toggle+"], "beyondLimit");
    EXPECT_EQ(results["quillmar://layout/sideways+"], "unknownArgument");

    // No refused command changed a setting: the mode never left allWindows, Quillmar stayed on.
    for (const auto& c : all(events, "settingChanged")) EXPECT_NE(c["key"], "switcherMode") << c.dump();
    // The classification dump goes to the simulated temporary folder inside the output folder,
    // and the log says where; nothing is written to the real system's.
    const auto dumps = all(events, "classificationDump");
    ASSERT_EQ(dumps.size(), 1u);
    const auto dump = out / "tmp" / "quillmar-targets-dump.txt";
    EXPECT_EQ(dumps[0]["path"], dump.string());
    EXPECT_TRUE(dumps[0]["written"].get<bool>());
    EXPECT_TRUE(std::filesystem::exists(dump));
    EXPECT_EQ(AppDelegate::shared().dumpPath(), dump.string());
    EXPECT_EQ(events[events.size() - 2]["event"], "scenarioFinished");
    EXPECT_EQ(events.back()["event"], "runFinished");
}

TEST_F(AppShellScenarioTest, APlainFirstRunShowsTheSettingsWindow) {
    const ScratchFolder dir("first-run");
    const auto scenario = dir / "first_run.json";
    std::ofstream(scenario) << R"({"apps": [], "steps": [{"do": "snapshotSettings", "file": "first.png"}]})";
    bool opened = false, pictured = false;
    for (const auto& e : run(scenario.string(), dir / "out")) {
        if (e["event"] == "settingsWindowOpened") opened = e["opened"].get<bool>();
        if (e["event"] == "settingsSnapshot") pictured = e["written"].get<bool>();
    }
    EXPECT_TRUE(opened);
    EXPECT_TRUE(pictured);
}

TEST_F(AppShellScenarioTest, ADumpThatCannotBeWrittenFailsTheRunAndNoPictureMayTakeItsName) {
    // tmp/ is a link planted in the output folder: it is not followed, and the dump fails.
    const ScratchFolder outFolder("out"), elsewhere("elsewhere");
    const auto& out = outFolder.path();
    std::filesystem::create_symlink(elsewhere.path(), out / "tmp");
    const auto events = run("scenarios/app_shell.json", out, platform::sim::ScenarioRunner::kExitWriteFailed);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
    const auto dumps = all(events, "classificationDump");
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_FALSE(dumps[0]["written"].get<bool>());
    const std::string why = "cannot write " + (out / "tmp/quillmar-targets-dump.txt").string() + ": " +
                            (out / "tmp").string() + " is a symbolic link, not a folder";
    EXPECT_EQ(dumps[0]["reason"], why);
    std::vector<nlohmann::json> dumpResults;
    for (const auto& c : all(events, "urlCommand"))
        if (c.value("argument", "") == "dump-targets") dumpResults.push_back(c["result"]);
    EXPECT_EQ(dumpResults, std::vector<nlohmann::json>{"failed"});
    EXPECT_EQ(events.back()["otherFilesFailed"], 1);
    EXPECT_EQ(err.str(), "quillmar: 1 other file could not be written (" + why + ")\n");

    platform::sim::ScenarioRunner runner;
    app::installDemoApp(runner);
    for (const char* name : {"tmp/quillmar-targets-dump.txt", "tmp", "tmp/quillmar-targets-dump.txt/x.png"}) {
        const auto loaded = platform::sim::ScenarioLoader(runner.registry())
                                .parse(std::string(R"({"apps": [], "steps": [{"do": "snapshotStatusMenu", "file": ")") +
                                           name + "\"}]}",
                                       "s.json");
        EXPECT_NE(loaded.error.find("s.json: steps[0].file: \"" + std::string(name) + "\""), std::string::npos)
            << loaded.error;
        EXPECT_NE(loaded.error.find("the classification dump's name"), std::string::npos) << loaded.error;
    }
}

TEST_F(AppShellScenarioTest, AFirstRunLaunchedByAURLOpensTheTabItNames) {
    const ScratchFolder out("out");
    std::vector<std::string> seen;
    for (const auto& e : run("scenarios/launch_by_url.json", out.path())) {
        const std::string name = e["event"];
        if (name == "urlCommand") {
            EXPECT_EQ(e["command"], "keys");
            EXPECT_EQ(e["result"], "ran");
        } else if (name == "settingsWindowRequested") {
            EXPECT_EQ(e["tab"], "shortcuts");
        } else if (name == "settingsWindowOpened") {
            EXPECT_TRUE(e["opened"].get<bool>()) << e.dump();
        } else if (name == "settingsSnapshot" || name == "statusMenuSnapshot") {
            EXPECT_TRUE(e["written"].get<bool>()) << e.dump();
        } else {
            continue;
        }
        seen.push_back(name);
    }
    // One request (the URL's: no first-run window), what came of it, the URL's outcome, then the
    // pictures.
    EXPECT_EQ(seen, (std::vector<std::string>{"settingsWindowRequested", "settingsWindowOpened", "urlCommand",
                                              "settingsSnapshot", "statusMenuSnapshot"}));
    // Nothing was written into the simulated temporary folder, so there is none.
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(out / "tmp")));
}

}  // namespace
}  // namespace quillmar::testing
