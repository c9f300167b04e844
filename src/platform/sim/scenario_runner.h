#pragma once
// The demo runner: loads a scenario, builds the simulated desktop and the starting state from it
// (screens, apps and windows, settings in the user defaults, preferred languages, date and time
// zone), starts the application, then runs the steps on virtual time, writing the event log to
// standard output. Several scenarios run one after the other, each in a fresh world. A scenario
// that does not load is reported on standard error, naming the file and the problem, with exit
// status 2; nothing runs then. With an output folder, the run ends by writing its index page
// (index.html) listing every picture the steps wrote. The log's last line, "runFinished", counts
// the pictures written, failed and refused, names the index page (null when none was written)
// and counts the settings saves that failed; a picture or an index page that could not be
// written is also reported on standard error, and so are settings that will not be kept (once,
// whatever the cause: a file that is no regular file or too large, a lock not had, a failed
// save) and an event log that could not be written (once, with the reason); the exit status is
// then 1.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/scenario.h"
#include "platform/sim/scenario_registry.h"

namespace quillmar::platform {
class JsonFileDefaultsStore;
}

namespace quillmar::platform::sim {

class SimDesktop;

class ScenarioRunner {
public:
    static constexpr int kExitOk = 0;
    // A picture, the index page or the event log could not be written, or the settings will not
    // be kept (a picture that the scenario's state did not allow, "the Switch Bar is not shown",
    // is no failure).
    static constexpr int kExitWriteFailed = 1;
    static constexpr int kExitBadInput = 2;
    // The index page's name in the output folder.
    static constexpr const char* kIndexPageName = "index.html";

    // Knows the desktop steps from the start.
    ScenarioRunner();

    ScenarioRegistry& registry() { return registry_; }
    // Called once the scene and settings are in place, before the first step: starts the app.
    void setAppStarter(std::function<void(StepContext&)> starter) { appStarter_ = std::move(starter); }

    // Command line: SCENARIO... [--out DIR] [--defaults FILE]. With --defaults the user defaults
    // persist in that JSON file (otherwise they live in memory for the run). Returns the exit status.
    int main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
    void setDefaultsFile(std::filesystem::path file) { defaultsFile_ = std::move(file); }
    // Loads every scenario, then runs them in order: the first in the current world (which it
    // fills), each later one in a fresh world. Returns the exit status.
    int run(const std::vector<std::string>& scenarioPaths, const std::filesystem::path& outputDirectory,
            std::ostream& out, std::ostream& err);
    int run(const std::string& scenarioPath, const std::filesystem::path& outputDirectory, std::ostream& out,
            std::ostream& err) {
        return run(std::vector<std::string>{scenarioPath}, outputDirectory, out, err);
    }

    // Builds the starting state of a scenario: clock, desktop, languages, settings.
    static void apply(const Scenario& scenario, SimDesktop& desktop);

private:
    int finish(const PictureIndex& pictures, const std::filesystem::path& outputDirectory, std::ostream& out,
               std::ostream& err);
    void runOne(const Scenario& scenario, const std::filesystem::path& outputDirectory, std::ostream& out,
                std::ostream& err, PictureIndex& pictures);

    ScenarioRegistry registry_;
    std::function<void(StepContext&)> appStarter_;
    std::filesystem::path defaultsFile_;
    // Said on standard error once, whatever the cause (the file, the folder, the lock, a save),
    // when the file can keep no settings or a change was still not kept at the end.
    void settingsNotKept(const std::string& why, std::ostream& err);
    // What the store has to say since it was last asked: damaged files recovered, and why saves
    // failed (each reason once over the scenarios' stores, which share failuresSaid_: it is tried
    // again at the next save).
    void settingsReport(JsonFileDefaultsStore& store, std::ostream& err);
    void settingsRecovered(JsonFileDefaultsStore& store, std::ostream& err);
    bool settingsWarned_ = false;
    std::shared_ptr<std::set<std::string>> failuresSaid_ = std::make_shared<std::set<std::string>>();
    // Some change of the settings was not kept by the end of a run (or the file could keep none).
    bool settingsLost_ = false;
    int failedSettingsSaves_ = 0;
    std::optional<std::string> logFailure_;  // the first line the event log could not write
};

}  // namespace quillmar::platform::sim
