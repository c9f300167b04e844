#include "platform/sim/scenario_loader.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_fields.h"
#include "platform/sim/scenario_limits.h"
#include "platform/sim/scenario_runner.h"
#include "platform/sim/sim_desktop.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "runtime/wall_clock.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform::sim {
namespace {

class ScenarioLoaderTest : public testing::FreshWorldTest {
protected:
    std::string problem(const std::string& text) {
        ScenarioRunner runner;  // the built-in steps
        auto result = ScenarioLoader(runner.registry()).parse(text, "s.json");
        return result.scenario ? "" : result.error;
    }
};

TEST_F(ScenarioLoaderTest, RejectionsNameTheFileAndThePlace) {
    const std::string app = R"({"name": "A", "bundlePath": "/A.app", "windows": [{"bounds": [0, 0, 10, 10]}]})";
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"{\"apps\": [\n  {\"name\": 1,}]}", "s.json: not valid JSON (line 2"},
        {"[]", "s.json: a scenario is a JSON object"},
        {"{}", "s.json: apps: missing"},
        {R"({"apps": [{"name": "A", "windows": [{"bounds": [0, 0, -1, 10]}]}]})", "s.json: apps[0].windows[0].bounds: expected [x, y, width, height]"},
        {R"({"apps": [{"name": "A", "hidden": "yes"}]})", "s.json: apps[0].hidden: expected true or false, found a string"},
        {R"({"apps": [{"name": "A", "policy": "background"}]})", "s.json: apps[0].policy: expected \"regular\""},
        {R"({"apps": [{"name": "A", "colour": "#fff"}]})", "s.json: apps[0].colour: unknown field"},
        {R"({"apps": [{"pid": 7}, {"pid": 7}]})", "s.json: apps[1].pid: pid 7 is used twice"},
        {R"({"apps": [{"name": "A", "running": false}]})", "s.json: apps[0].running: an app that is not running needs a bundlePath"},
        {R"({"apps": [], "frontmost": "Nobody"})", "s.json: frontmost: names no running app: \"Nobody\""},
        {R"({"apps": [], "date": "2025-02-30T10:00"})", "s.json: date: \"2025-02-30T10:00\" is not a possible date"},
        {R"({"apps": [], "date": "2025-02-03 10:00"})", "s.json: date: \"2025-02-03 10:00\" is not a possible date"},
        {R"({"apps": [], "timeZone": "Mars/Olympus_Mons"})", "s.json: timeZone: unknown time zone \"Mars/Olympus_Mons\""},
        {R"({"apps": [], "screens": []})", "s.json: screens: at least one screen is needed"},
        {R"({"apps": [], "mainScreen": 3})", "s.json: mainScreen: there is no screen 3"},
        {R"({"apps": [], "stacking": [99]})", "s.json: stacking[0]: names no window number"},
        {R"({"apps": [], "steps": [{"do": "dance"}]})", "s.json: steps[0].do: unknown step \"dance\""},
        {R"({"apps": [], "steps": [{"seconds": 1}]})", "s.json: steps[0].do: missing"},
        {R"({"apps": [], "steps": [{"do": "advance", "seconds": "1"}]})", "s.json: steps[0].seconds: expected a number, found a string"},
        {R"({"apps": [], "steps": [{"do": "advance", "seconds": -1}]})", "s.json: steps[0].seconds: -1 is out of range"},
        {R"({"apps": [], "steps": [{"do": "advance", "second": 1}]})", "s.json: steps[0].seconds: missing"},
        {R"({"apps": [], "steps": [{"do": "advance", "seconds": 1, "extra": 1}]})", "s.json: steps[0].extra: unknown field"},
        {R"({"apps": [], "steps": [{"do": "activate", "app": "A", "pid": 3}]})", "s.json: steps[0]: name the app with either"},
        {R"({"apps": [], "steps": [{"do": "system", "event": "explode"}]})", "s.json: steps[0].event: unknown system event"},
        {"{\"apps\": [" + app + "], \"steps\": [{\"do\": \"screens\", \"screens\": [{\"frame\": 3}]}]}",
         "s.json: steps[0].screens[0].frame: expected [x, y, width, height]"},
    };
    for (const auto& c : cases) {
        const std::string got = problem(c.text);
        EXPECT_EQ(got.rfind(c.expected, 0), 0u) << "scenario: " << c.text << "\n     got: " << got;
    }
    EXPECT_EQ(problem("{\"apps\": [" + app + "]}"), "");
}

TEST_F(ScenarioLoaderTest, NamedFlagsAddUpAndAnUnknownNameListsTheKnownOnes) {
    const std::vector<std::pair<std::string, std::uint32_t>> names{{"command", 1}, {"shift", 2}, {"option", 4}};
    ScenarioFields good(nlohmann::json::parse(R"({"modifiers": ["option", "command"]})"), "steps[1]");
    EXPECT_EQ(good.flags("modifiers", names), 5u);
    EXPECT_TRUE(good.ok());
    EXPECT_EQ(ScenarioFields(nlohmann::json::object(), "steps[1]").flags("modifiers", names), 0u);
    ScenarioFields bad(nlohmann::json::parse(R"({"modifiers": ["shift", "hyper"]})"), "steps[1]");
    EXPECT_EQ(bad.flags("modifiers", names), 0u);
    EXPECT_EQ(bad.error(), "steps[1].modifiers: expected command, shift or option");
}

TEST_F(ScenarioLoaderTest, EveryFieldIsReadWithinTheBoundOfItsRow) {
    // Each row of the table, over its bound: a string is cut to it, a list or object is refused
    // with the place and the bound.
    for (const auto& row : ScenarioLimits::table()) {
        const std::string field(row.field);
        SCOPED_TRACE(field);
        if (row.kind == FieldLimit::Kind::whole) {  // a name used as it is: refused, not cut
            ScenarioFields f(nlohmann::json{{field, std::string(row.bytes + 3, 'x')}}, "steps[0]");
            EXPECT_EQ(f.value(field), nullptr);
            EXPECT_EQ(f.error(), "steps[0]." + field + ": " + std::to_string(row.bytes + 3) + " bytes; at most " +
                                     std::to_string(row.bytes) + " are allowed");
            continue;
        }
        if (row.kind != FieldLimit::Kind::objects) {
            ScenarioFields f(nlohmann::json{{field, std::string(row.bytes + 3, 'x')}}, "steps[0]");
            const auto* v = f.value(field);
            ASSERT_TRUE(v && v->is_string()) << f.error();
            EXPECT_EQ(v->get<std::string>(), std::string(row.bytes, 'x'));
        }
        if (row.kind == FieldLimit::Kind::text) continue;
        if (row.kind == FieldLimit::Kind::any && row.entries > 0) {  // member names are cut as keys are
            auto object = nlohmann::json::object();
            object[std::string(row.nameBytes + 3, 'k')] = 1;
            ScenarioFields f(nlohmann::json{{field, object}}, "steps[0]");
            const auto* v = f.value(field);
            ASSERT_TRUE(v) << f.error();
            EXPECT_EQ(*v, (nlohmann::json{{std::string(ScenarioLimits::kMemberNameBytes, 'k'), 1}}));
        }
        ScenarioFields f(nlohmann::json{{field, nlohmann::json(std::vector<int>(row.entries + 1, 1))}}, "steps[0]");
        EXPECT_EQ(f.value(field), nullptr);
        EXPECT_EQ(f.error(), "steps[0]." + field + ": " + std::to_string(row.entries + 1) + " entries; at most " +
                                 std::to_string(row.entries) + " are allowed");
    }
    // A field the table does not bound cannot be read, present or not.
    ScenarioFields unbounded(nlohmann::json::object(), "steps[0]");
    unbounded.string("nickname", Need::optional);
    EXPECT_EQ(unbounded.error(), "steps[0].nickname: has no bound in the table of limits");
    // The windows of a desktop are bounded all apps together.
    auto windows = [](std::size_t count) {
        auto list = nlohmann::json::array();
        for (std::size_t i = 0; i < count; ++i) list.push_back({{"bounds", {0, 0, 1, 1}}});
        return nlohmann::json{{"windows", list}};
    };
    const std::size_t half = ScenarioLimits::kWindows / 2;
    const auto many = nlohmann::json{{"apps", {windows(half), windows(half + 1)}}}.dump();
    EXPECT_EQ(problem(many), "s.json: apps[1].windows: a desktop holds at most 4096 windows, all apps together");
}

TEST_F(ScenarioLoaderTest, LocalDatesFollowTheTimeZone) {
    auto berlin = ScenarioLoader::parseLocalDate("2024-12-24T18:30", "Europe/Berlin");
    ASSERT_TRUE(berlin);
    EXPECT_DOUBLE_EQ(*berlin, 1735061400.0);  // 17:30 UTC
    EXPECT_TRUE(ScenarioLoader::parseLocalDate("2024-02-29T00:00:59.5", "UTC"));
    EXPECT_FALSE(ScenarioLoader::parseLocalDate("2023-02-29T00:00", "UTC"));
    EXPECT_FALSE(ScenarioLoader::parseLocalDate("2024-01-01T24:00", "UTC"));
    // Seconds end at 59 for the loader as for the wall clock; a long fraction stays in its second.
    EXPECT_FALSE(ScenarioLoader::parseLocalDate("2024-01-01T10:00:60", "UTC"));
    EXPECT_FALSE(runtime::WallClock::instant({2016, 12, 31, 23, 59, 60}, "UTC"));
    const auto last = ScenarioLoader::parseLocalDate("2016-12-31T23:59:59.999999999999999999", "UTC");
    ASSERT_TRUE(last);
    EXPECT_EQ(runtime::WallClock::civil(*last, "UTC").year, 2016);
    EXPECT_FALSE(ScenarioLoader::parseLocalDate("99999999999-01-01T10:00", "UTC"));
}

class ScenarioRunnerTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        path = quillmar::testing::uniqueTempPath("scenario.json");
    }
    void TearDown() override {
        std::filesystem::remove(path);
        FreshWorldTest::TearDown();
    }
    int run(const std::string& text) {
        std::ofstream(path) << text;
        out.str("");
        err.str("");
        return runner.run(path.string(), {}, out, err);
    }
    std::vector<nlohmann::json> events() {
        std::vector<nlohmann::json> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
        return lines;
    }

    std::filesystem::path path;
    ScenarioRunner runner;
    std::ostringstream out, err;
};

TEST_F(ScenarioRunnerTest, BuildsTheStartingStateAndLogsWhatStepsCause) {
    const int status = run(R"({
        "date": "2024-12-24T18:30", "timeZone": "Asia/Tokyo", "languages": ["ja-JP", "en"],
        "settings": {"fingerCount": 4},
        "apps": [
          {"pid": 10, "name": "A", "bundlePath": "/A.app", "windows": [{"number": 5, "bounds": [0, 0, 400, 300]}]},
          {"pid": 11, "name": "B", "bundlePath": "/B.app", "windows": [{"number": 6, "bounds": [0, 0, 400, 300]}]}
        ],
        "stacking": [6],
        "steps": [{"do": "advance", "seconds": 2.5}, {"do": "activate", "app": "B"}, {"do": "terminate", "pid": 11}]
    })");
    ASSERT_EQ(status, 0) << err.str();
    auto& desktop = SimDesktop::shared();
    EXPECT_EQ(desktop.preferredLanguages(), (std::vector<std::string>{"ja-JP", "en"}));
    EXPECT_EQ(UserDefaults::standard().integerForKey("fingerCount"), 4);
    const auto local = runtime::WallClock::shared().localNow();
    EXPECT_EQ(local.day, 24);
    EXPECT_EQ(local.hour, 18);
    EXPECT_EQ(local.minute, 30);  // 2.5 s later
    EXPECT_EQ(Workspace::shared().frontmostApplication()->processIdentifier, 10);

    auto lines = events();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front()["event"], "scenarioStarted");
    EXPECT_EQ(lines[lines.size() - 2]["event"], "scenarioFinished");
    EXPECT_EQ(lines.back()["event"], "runFinished");
    double lastT = 0;
    std::vector<std::string> workspace;
    for (const auto& l : lines) {
        EXPECT_GE(l["t"].get<double>(), lastT);
        lastT = l["t"].get<double>();
        const std::string e = l["event"];
        if (e.rfind("Workspace", 0) == 0) workspace.push_back(e + " " + std::to_string(l["pid"].get<int>()));
    }
    EXPECT_EQ(lastT, 2.5);
    EXPECT_EQ(workspace, (std::vector<std::string>{"WorkspaceDidActivateApplication 11",
                                                   "WorkspaceDidTerminateApplication 11",
                                                   "WorkspaceDidActivateApplication 10"}));
}

TEST_F(ScenarioRunnerTest, ALongAppNameOrTitleIsCutOnceWhereItEntersAndStillNamesWhatItNamed) {
    std::string name, title;
    for (int i = 0; i < 200; ++i) name += "\u00e9";  // two bytes each
    for (int i = 0; i < 3000; ++i) title += "\u00e9";
    const std::string id = "com.example." + std::string(300, 'i'), path = "/" + std::string(5000, 'p');
    const std::string app = R"({"pid": 10, "name": ")" + name + R"(", "bundleID": ")" + id + R"(", "bundlePath": ")" +
                            path + R"(", "executablePath": ")" + path + R"(", "windows": [{"title": "Report \u2014 )" +
                            name + R"(", "bounds": [0, 0, 400, 300]}]})";
    const std::string other = R"({"pid": 11, "name": "B", "windows": [{"title": ")" + title +
                              R"(", "bounds": [0, 0, 400, 300]}, {"title": "front", "bounds": [0, 0, 400, 300]}]})";
    ASSERT_EQ(run(R"({"apps": [)" + app + "," + other + R"(], "frontmost": ")" + name +
                  R"(", "steps": [{"do": "raiseWindow", "windowTitle": ")" + title +
                  R"("}, {"do": "activate", "app": ")" + id + R"("}]})"),
              0)
        << err.str();
    // 255 bytes would split a character.
    const std::string kept = name.substr(0, 254);
    const auto* cut = SimDesktop::shared().app(10);
    EXPECT_EQ(cut->localizedName, kept);
    EXPECT_EQ(cut->bundleIdentifier, id.substr(0, 255));
    EXPECT_EQ(cut->bundlePath, path.substr(0, 4096));
    EXPECT_EQ(cut->executablePath, path.substr(0, 4096));
    // A title that ends with the name as given ends with the name as kept.
    EXPECT_EQ(SimDesktop::shared().windowsOf(10)[0]->title, "Report \u2014 " + kept);
    // The title was cut alike, and the step that named the window in full raised it; the app was
    // activated by its bundle identifier in full.
    EXPECT_EQ(SimDesktop::shared().windows()[1]->title, title.substr(0, 4096));
    EXPECT_EQ(Workspace::shared().frontmostApplication()->processIdentifier, 10);
    std::vector<std::string> activated;
    for (const auto& l : events())
        if (l["event"] == "WorkspaceDidActivateApplication") activated.push_back(l["app"]);
    EXPECT_EQ(activated, (std::vector<std::string>{"B", kept}));
    // The lines went to the output only.
    EXPECT_TRUE(EventLog::shared().lines().empty());

    // A title that does not end with its app's cut name is its own text, though it holds the name's
    // kept bytes where a name of the given length would start (the first) or the whole name before
    // more text (the second); one that does is cut at its bound all the same (the fourth). Each
    // window is raised and closed by its title as given, the one made to end with the kept name too;
    // the draft's cut title names its app's second window, which was given that title, and once that
    // window is closed, the draft.
    std::string sun;
    for (int i = 0; i < 100; ++i) sun += "\u65e5";  // three bytes each
    const std::string holds = "Report \u2014 " + std::string(255, 'N') + "Z",
                      notes = "Notes \u2013 " + sun + " - Viewer",
                      draft = "Draft \u2014 " + std::string(300, 'A'),
                      draftAsCut = "Draft \u2014 " + std::string(255, 'A'),
                      longer = std::string(5000, 'x') + std::string(300, 'A');
    auto appWith = [](const std::string& appName, const std::string& windowTitle) {
        const nlohmann::json window{{"title", windowTitle}, {"bounds", {0, 0, 400, 300}}};
        return nlohmann::json{{"name", appName}, {"windows", nlohmann::json::array({window})}};
    };
    nlohmann::json scenario{{"apps", {appWith(std::string(256, 'N'), holds), appWith(sun, notes),
                                      appWith(std::string(300, 'A'), draft),
                                      appWith(std::string(300, 'A'), longer)}},
                            {"steps", nlohmann::json::array()}};
    scenario["apps"][2]["windows"].push_back({{"title", draftAsCut}, {"bounds", {0, 0, 400, 300}}});
    for (const auto* given : {&holds, &notes, &draftAsCut, &draft, &longer}) {
        for (const char* step : {"raiseWindow", "closeWindow"})
            scenario["steps"].push_back({{"do", step}, {"windowTitle", *given}});
        if (given == &draftAsCut)
            scenario["steps"].push_back({{"do", "raiseWindow"}, {"windowTitle", draftAsCut}});
    }
    const auto loaded = ScenarioLoader(runner.registry()).parse(scenario.dump(), "s.json");
    ASSERT_TRUE(loaded.scenario) << loaded.error;
    EXPECT_EQ(loaded.scenario->apps[0].windows[0].title, holds);
    EXPECT_EQ(loaded.scenario->apps[1].windows[0].title, notes);
    EXPECT_EQ(loaded.scenario->apps[2].windows[0].title, "Draft \u2014 " + std::string(255, 'A'));
    EXPECT_EQ(loaded.scenario->apps[3].windows[0].title, std::string(4096, 'x'));
    ASSERT_EQ(run(scenario.dump()), 0) << err.str();
    std::vector<std::string> calls;
    for (const auto& l : events())
        if (l["event"] == "desktopCall" || l["event"] == "stepSkipped")
            calls.push_back(l.value("call", l.dump()));
    EXPECT_EQ(calls, (std::vector<std::string>{"raise window 100", "close window 100", "raise window 101",
                                               "close window 101", "raise window 103", "close window 103",
                                               "raise window 102", "raise window 102", "close window 102",
                                               "raise window 104", "close window 104"}));
}

TEST_F(ScenarioRunnerTest, LongMemberNamesAreCutAsKeysAreAndAStepIsLoggedAsRead) {
    const std::string name(300, 'n'), kept(255, 'n'), huge(100'000, 'h');
    ASSERT_EQ(run(R"({"apps": [], "settings": {")" + name + R"(": 1},
                      "steps": [{"do": "setDefault", "key": "k", "value": {")" + huge + R"(": 2}}]})"),
              0)
        << err.str();
    EXPECT_EQ(UserDefaults::standard().integerForKey(kept), 1);
    const auto cutValue = nlohmann::json{{std::string(255, 'h'), 2}};
    EXPECT_EQ(UserDefaults::standard().object("k"), cutValue);
    for (const auto& line : events())
        if (line["event"] == "step") {
            EXPECT_EQ(line["args"]["value"], cutValue);
        }
    // Names that are the same once cut are refused, with the place.
    EXPECT_EQ(run(R"({"apps": [], "settings": {")" + kept + R"(1": 1, ")" + kept + R"(2": 2}})"), 2);
    EXPECT_NE(err.str().find(": settings: two member names are the same once cut to 255 bytes"), std::string::npos)
        << err.str();
}

TEST_F(ScenarioRunnerTest, ABadScenarioRunsNothingAndExitsWithTwo) {
    int ran = 0;
    runner.registry().registerStep("count", [&](ScenarioFields& f, StepContext* ctx) {
        auto by = f.integer("by", Need::optional);
        if (ctx) ran += static_cast<int>(by.value_or(1));
    });
    // The mistake is in the last step; the first must not have run.
    EXPECT_EQ(run(R"({"apps": [], "steps": [{"do": "count"}, {"do": "count", "by": "two"}]})"), 2);
    EXPECT_EQ(ran, 0);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find(path.string() + ": steps[1].by: expected an integer"), std::string::npos) << err.str();

    EXPECT_EQ(run(R"({"apps": [], "steps": [{"do": "count"}, {"do": "count", "by": 2}]})"), 0);
    EXPECT_EQ(ran, 3);

    const char* argvMissing[] = {"quillmar", "/nonexistent/scenario.json"};
    EXPECT_EQ(runner.main(2, argvMissing, out, err), 2);
    EXPECT_NE(err.str().find("/nonexistent/scenario.json: cannot be opened"), std::string::npos);
    const char* argvBadOption[] = {"quillmar", "x.json", "--out"};
    EXPECT_EQ(runner.main(3, argvBadOption, out, err), 2);
}

TEST_F(ScenarioRunnerTest, RegisteredSectionsAreCheckedThenApplied) {
    bool trusted = false;
    runner.registry().registerSection("accessibility", [&](ScenarioFields& f, StepContext* ctx) {
        auto t = f.boolean("trusted");
        if (ctx && t) trusted = *t;
    });
    EXPECT_EQ(run(R"({"apps": [], "accessibility": {"trusted": 1}})"), 2);
    EXPECT_NE(err.str().find("accessibility.trusted: expected true or false"), std::string::npos) << err.str();
    EXPECT_EQ(run(R"({"apps": [], "accessibility": {"trusted": true}})"), 0);
    EXPECT_TRUE(trusted);
    EXPECT_EQ(run(R"({"apps": [], "trackpads": []})"), 2);
    EXPECT_NE(err.str().find("trackpads: unknown field"), std::string::npos);
}

}  // namespace
}  // namespace quillmar::platform::sim
