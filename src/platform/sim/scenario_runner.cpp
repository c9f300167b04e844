#include "platform/sim/scenario_runner.h"

#include <optional>

#include "platform/json_file_defaults_store.h"
#include "platform/screens.h"
#include "platform/sim/desktop_steps.h"
#include "platform/sim/event_log.h"
#include "platform/sim/picture_index_page.h"
#include "platform/sim/scenario_loader.h"
#include "platform/sim/sim_desktop.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "runtime/notification_center.h"
#include "runtime/subscription.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

ScenarioRunner::ScenarioRunner() {
    registerDesktopSteps(registry_);
    registry_.reserveOutputName(kIndexPageName, "the index page's");
}

int ScenarioRunner::main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    const std::string usage = "usage: quillmar SCENARIO.json... [--out DIR] [--defaults FILE]\n";
    std::vector<std::string> scenarios;
    std::filesystem::path outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out") {
            if (i + 1 >= argc) {
                err << "quillmar: --out needs a directory\n" << usage;
                return kExitBadInput;
            }
            outDir = argv[++i];
        } else if (arg == "--defaults") {
            if (i + 1 >= argc) {
                err << "quillmar: --defaults needs a file\n" << usage;
                return kExitBadInput;
            }
            defaultsFile_ = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            out << usage
                << "Runs each scenario on the simulated desktop, one after the other, each in a fresh world;\n"
                   "standard output is the event log, one JSON object a line.\n"
                   "  --out DIR        write the pictures there, listed with their captions in DIR/index.html\n"
                   "                   (without it: pictures in out/, no index page)\n"
                   "  --defaults FILE  keep the settings in the JSON file FILE, read at the start and written\n"
                   "                   once for each instant that changes them (without it they live in\n"
                   "                   memory for the run)\n"
                   "The scenario format, every section and step with its fields: docs/scenarios.md\n";
            return kExitOk;
        } else if (!arg.empty() && arg[0] == '-') {
            err << "quillmar: unknown option " << arg << "\n" << usage;
            return kExitBadInput;
        } else {
            scenarios.push_back(arg);
        }
    }
    if (scenarios.empty()) {
        err << usage;
        return kExitBadInput;
    }
    return run(scenarios, outDir, out, err);
}

void ScenarioRunner::apply(const Scenario& s, SimDesktop& desktop) {
    auto& clock = runtime::WallClock::shared();
    clock.setTimeZone(s.timeZone);
    clock.setVirtualNow(s.epochSeconds);

    desktop.setScreens(s.screens, /*notify=*/false);
    desktop.setMainScreenIndex(s.mainScreen);
    if (s.pointer) {
        desktop.setPointer(*s.pointer);
    } else if (auto main = desktop.mainScreen()) {
        desktop.setPointer({main->frame.midX(), main->frame.midY()});
    }
    desktop.setCurrentSpace(s.space, /*notify=*/false);
    desktop.setPreferredLanguages(s.languages);
    desktop.setOwnProcess(s.ownProcess);
    for (const auto& p : s.processes) desktop.addApp(p);
    for (const auto& a : s.apps) {
        if (!a.running) {
            desktop.addInstalledApplication(a.app, a.windows);
            continue;
        }
        desktop.addApp(a.app);
        for (const auto& w : a.windows) desktop.addWindow(w);
    }
    desktop.setStackingOrder(s.stacking);
    desktop.setFrontmost(s.frontmost);
    UserDefaults::standard().setValues(s.settings);  // one change, one save
}

int ScenarioRunner::run(const std::vector<std::string>& scenarioPaths, const std::filesystem::path& outputDirectory,
                        std::ostream& out, std::ostream& err) {
    // Everything is checked before anything runs.
    ScenarioLoader loader(registry_);
    std::vector<Scenario> scenarios;
    for (const auto& path : scenarioPaths) {
        auto loaded = loader.loadFile(path);
        if (!loaded.scenario) {
            err << "quillmar: " << loaded.error << "\n";
            return kExitBadInput;
        }
        scenarios.push_back(std::move(*loaded.scenario));
    }
    PictureIndex pictures;
    logFailure_.reset();
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
        if (i > 0) runtime::World::reset();
        runOne(scenarios[i], outputDirectory, out, err, pictures);
    }
    return finish(pictures, outputDirectory, out, err);
}

int ScenarioRunner::finish(const PictureIndex& pictures, const std::filesystem::path& outputDirectory,
                           std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    std::size_t written = 0, failed = 0, refused = 0;
    const PictureEntry* firstFailure = nullptr;
    for (const auto& e : pictures.entries()) {
        if (e.written) ++written;
        else if (e.refused) ++refused;
        else if (++failed == 1) firstFailure = &e;
    }
    if (firstFailure) {
        err << "quillmar: " << failed << (failed == 1 ? " picture" : " pictures") << " could not be written ("
            << (firstFailure->error.empty() ? firstFailure->file : firstFailure->error) << ")\n";
        status = kExitWriteFailed;
    }
    const auto& otherFailures = pictures.failedFiles();
    if (!otherFailures.empty()) {
        err << "quillmar: " << otherFailures.size() << (otherFailures.size() == 1 ? " other file" : " other files")
            << " could not be written (" << otherFailures.front().second << ")\n";
        status = kExitWriteFailed;
    }
    if (settingsLost_) status = kExitWriteFailed;
    nlohmann::ordered_json indexPage = nullptr;
    if (!outputDirectory.empty()) {
        std::string error;
        if (writePictureIndexPage(pictures, outputDirectory, &error)) {
            indexPage = (outputDirectory / kIndexPageName).string();
        } else {
            err << "quillmar: " << error << "\n";
            status = kExitWriteFailed;
        }
    }
    auto& log = EventLog::shared();
    log.setOutput(&out);
    log.record("runFinished", {{"picturesWritten", written},
                               {"picturesFailed", failed},
                               {"picturesRefused", refused},
                               {"otherFilesFailed", otherFailures.size()},
                               {"settingsSavesFailed", failedSettingsSaves_},
                               {"indexPage", indexPage}});
    log.setOutput(nullptr);
    if (!logFailure_) logFailure_ = log.writeFailure();
    if (logFailure_) {
        err << "quillmar: the event log could not be written: " << *logFailure_ << "\n";
        status = kExitWriteFailed;
    }
    return status;
}

void ScenarioRunner::runOne(const Scenario& s, const std::filesystem::path& outputDirectory, std::ostream& out,
                            std::ostream& err, PictureIndex& pictures) {
    auto& desktop = SimDesktop::install();
    JsonFileDefaultsStore* raw = nullptr;
    if (!defaultsFile_.empty()) {
        auto store = std::make_unique<JsonFileDefaultsStore>(defaultsFile_, LockWait{}, failuresSaid_);
        raw = store.get();
        runtime::World::install<UserDefaults>(std::make_unique<UserDefaults>(std::move(store)));
        if (raw->problem()) settingsNotKept(*raw->problem(), err);
        settingsReport(*raw, err);
    }
    auto& log = EventLog::shared();
    log.setOutput(&out);
    const double startTime = runtime::mediaTime();
    log.setOrigin(startTime);
    pictures.beginScenario(s.file, s.description);
    StepContext ctx{desktop, log, outputDirectory, s.file, &pictures};

    apply(s, desktop);
    for (const auto& section : s.sections) {
        ScenarioFields f(section.args, section.path);
        if (const ScenarioHandler* h = registry_.section(section.name)) (*h)(f, &ctx);
    }

    // The workspace's notifications are what the steps cause; they show that the desktop works.
    runtime::SubscriptionBag observers;
    for (const char* name :
         {Workspace::didLaunchApplicationNotification, Workspace::didActivateApplicationNotification,
          Workspace::didHideApplicationNotification, Workspace::didUnhideApplicationNotification,
          Workspace::didTerminateApplicationNotification, Workspace::activeSpaceDidChangeNotification,
          Workspace::willSleepNotification, Workspace::didWakeNotification, Workspace::screensDidSleepNotification,
          Workspace::screensDidWakeNotification, Workspace::sessionDidResignActiveNotification,
          Workspace::sessionDidBecomeActiveNotification}) {
        runtime::NotificationCenter::workspace()
            .addObserver(name,
                         [&log](const runtime::Notification& n) {
                             nlohmann::ordered_json fields = nlohmann::ordered_json::object();
                             if (const auto* app = n.info<RunningApplication>(Workspace::applicationKey)) {
                                 fields["pid"] = app->processIdentifier;
                                 if (app->localizedName) fields["app"] = *app->localizedName;
                             }
                             log.record(n.name, fields);
                         })
            .store(observers);
    }
    runtime::NotificationCenter::defaultCenter()
        .addObserver(Screens::screenParametersDidChangeNotification,
                     [&log, &desktop](const runtime::Notification& n) {
                         log.record(n.name, {{"screens", desktop.screens().size()}});
                     })
        .store(observers);

    nlohmann::ordered_json start = {{"file", s.file},
                            {"screens", desktop.screens().size()},
                            {"apps", desktop.runningApplications().size()},
                            {"windows", desktop.windows().size()},
                            {"timeZone", s.timeZone}};
    if (auto front = desktop.frontmostPid()) start["frontmost"] = *front;
    log.record("scenarioStarted", start);

    if (appStarter_) appStarter_(ctx);
    auto& loop = runtime::MainLoop::main();
    loop.runUntilIdle();
    if (raw) settingsReport(*raw, err);

    for (const auto& step : s.steps) {
        nlohmann::ordered_json args = step.args;
        args.erase("do");
        nlohmann::ordered_json fields = {{"do", step.name}};
        if (!args.empty()) fields["args"] = args;
        log.record("step", fields);
        pictures.setStep(static_cast<std::size_t>(&step - s.steps.data()) + 1, runtime::mediaTime() - startTime);
        const std::size_t callsBefore = desktop.callLog().size();
        ScenarioFields f(step.args, step.path);
        if (const ScenarioHandler* h = registry_.step(step.name)) (*h)(f, &ctx);
        // What the step asked of the desktop, then what the desktop announced.
        for (std::size_t i = callsBefore; i < desktop.callLog().size(); ++i)
            log.record("desktopCall", {{"call", desktop.callLog()[i]}});
        loop.runUntilIdle();
        if (raw) settingsReport(*raw, err);
    }
    // The changes of the run's last instant are saved before the run ends, and a damaged file's
    // replacement that waits with no change (a lock busy at the start may be free now) is tried
    // once more.
    loop.finishInstant();
    if (raw) raw->saveWhatWaits();
    log.record("scenarioFinished", {{"steps", s.steps.size()}});
    log.setOutput(nullptr);
    if (!logFailure_) logFailure_ = log.writeFailure();  // the next scenario's world has a new log
    if (raw) {
        failedSettingsSaves_ += raw->failedSaves();
        settingsRecovered(*raw, err);
        // A save that failed or waited in vain may have been made good by a later one: the run
        // fails when a change was still not kept at its end.
        if (raw->problem() || raw->changesUnsaved()) {
            settingsLost_ = true;
            settingsNotKept(raw->problem() ? *raw->problem() : raw->lastSaveFailure().value_or(""), err);
        }
    }
}

void ScenarioRunner::settingsNotKept(const std::string& why, std::ostream& err) {
    if (!settingsWarned_) err << "quillmar: settings will not be kept: " << why << "\n";
    settingsWarned_ = true;
}

void ScenarioRunner::settingsReport(JsonFileDefaultsStore& store, std::ostream& err) {
    settingsRecovered(store, err);
    for (const std::string& why : store.takeSaveFailures())
        if (!settingsWarned_) err << "quillmar: settings not saved yet (tried again at the next save): " << why << "\n";
}

void ScenarioRunner::settingsRecovered(JsonFileDefaultsStore& store, std::ostream& err) {
    for (const std::string& line : store.takeRecoveries()) err << "quillmar: settings recovered: " << line << "\n";
}

}  // namespace quillmar::platform::sim
