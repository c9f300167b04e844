// docs/scenarios.md is where a user learns the scenario format: it documents every step and
// section the demo knows, and its example runs as written.

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/demo/demo_app_starter.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::app {
namespace {

class ScenarioDocsTest : public testing::FreshWorldTest {
protected:
    static std::string docs() {
        std::ifstream in("docs/scenarios.md");
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(ScenarioDocsTest, EveryStepAndSectionHasARow) {
    const std::string text = docs();
    ASSERT_FALSE(text.empty());
    // Names in the first column of a table row: "| `a`, `b` |".
    std::set<std::string> documented;
    std::regex row(R"(^\| ([^|]+)\|)");
    std::regex name("`(\\w+)`");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, row)) continue;
        const std::string cell = m[1];
        for (auto it = std::sregex_iterator(cell.begin(), cell.end(), name); it != std::sregex_iterator(); ++it)
            documented.insert((*it)[1]);
    }
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    for (const auto& [step, handler] : runner.registry().steps()) EXPECT_TRUE(documented.count(step)) << step;
    for (const auto& [section, handler] : runner.registry().sections())
        EXPECT_TRUE(documented.count(section)) << section;
}

TEST_F(ScenarioDocsTest, TheExampleRunsAndWritesItsPicture) {
    const std::string text = docs();
    const auto start = text.find("```json\n");
    ASSERT_NE(start, std::string::npos);
    const auto end = text.find("```", start + 8);
    const quillmar::testing::ScratchFolder dir("docs-example");
    std::ofstream(dir / "example.json") << text.substr(start + 8, end - start - 8);
    platform::sim::ScenarioRunner runner;
    installDemoApp(runner);
    std::ostringstream out, err;
    ASSERT_EQ(runner.run((dir / "example.json").string(), dir / "out", out, err), 0) << err.str();
    EXPECT_NE(out.str().find(R"("event":"switchBarSnapshot","file":"bar.png","written":true)"), std::string::npos)
        << out.str();
}

}  // namespace
}  // namespace quillmar::app
