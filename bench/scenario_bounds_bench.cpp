// Scenarios that fill one field each to its bound (docs/scenarios.md, Bounds) within the 8 MiB a
// scenario may have, with a cheap step repeated: open-and-lift cycles of the Switch Bar,
// status-menu openings, notes or screen pictures. Each case runs in a child process of its own,
// from loading to the run's last line, with its log counted and dropped. Figures: the wall time
// of the run (manual time), the child's peak memory (peakMiB), the log's size (logMiB), the
// scenario's size (fileMiB) and the run's exit status (0: it ran; 2: it was refused).

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include <nlohmann/json.hpp>

#include "app/demo/demo_app_starter.h"
#include "platform/json_nesting.h"
#include "platform/sim/scenario_limits.h"
#include "settings/switcher_settings.h"

namespace {

using nlohmann::json;
using quillmar::platform::sim::ScenarioLimits;
namespace fs = std::filesystem;

constexpr std::size_t kFileBytes = quillmar::platform::kMaxJsonFileBytes;

// Counts what is written and keeps none of it.
class CountingBuffer : public std::streambuf {
public:
    std::size_t count = 0;

protected:
    int overflow(int c) override {
        if (c != traits_type::eof()) ++count;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<std::size_t>(n);
        return n;
    }
};

json cycle() {
    return json::array({{{"do", "slide"}, {"fingers", 3}, {"path", {{0.3, 0.5}, {0.6, 0.5}}}, {"seconds", 0.3},
                         {"lift", false}},
                        {{"do", "advance"}, {"seconds", 0.4}},
                        {{"do", "lift"}},
                        {{"do", "advance"}, {"seconds", 0.3}}});
}

json window(const std::string& title, bool minimized = false) {
    json w = {{"title", title}, {"bounds", {40, 40, 800, 600}}};
    if (minimized) w["minimized"] = true;
    return w;
}

json app(const std::string& name, json windows = json::array({window("Document")})) {
    return {{"name", name}, {"windows", std::move(windows)}};
}

json scenario(json apps, json settings = json::object()) {
    settings["fingerCount"] = 3;
    settings["hasCompletedInitialOnboarding"] = true;  // no welcome window over every run
    return {{"trackpads", {{"devices", {{{"name", "Trackpad"}}}}}},
            {"accessibility", {{"trusted", true}}},
            {"settings", std::move(settings)},
            {"apps", std::move(apps)},
            {"steps", json::array()}};
}

// Adds `step` (a list of steps) until `times` repetitions, the steps' bound or the file's
// limit, whichever comes first (times 0: no count of its own).
void repeat(json& s, const json& steps, std::size_t times = 0) {
    const std::size_t room = kFileBytes - s.dump().size() - 64;
    const std::size_t each = steps.dump().size();
    std::size_t n = std::min(room / each, ScenarioLimits::kSteps / steps.size());
    if (times) n = std::min(n, times);
    for (std::size_t i = 0; i < n; ++i)
        for (const auto& step : steps) s["steps"].push_back(step);
}

std::string filled(std::size_t bytes, char c) { return std::string(bytes, c); }

struct Run {
    double seconds = 0;
    double peakMiB = 0;
    double logMiB = 0;
    int status = -1;
};

// Runs the scenario in a child process.
Run runInChild(const std::string& text) {
    const fs::path folder = fs::temp_directory_path() / ("quillmar-bounds-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "scenario.json";
    std::ofstream(file) << text;
    int fds[2];
    if (pipe(fds) != 0) return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        quillmar::platform::sim::ScenarioRunner runner;
        quillmar::app::installDemoApp(runner);
        CountingBuffer log;
        std::ostream out(&log);
        std::ostringstream err;
        const int status = runner.run(file.string(), folder / "out", out, err);
        const std::size_t result[2] = {static_cast<std::size_t>(status), log.count};
        if (write(fds[1], result, sizeof result) != sizeof result) _exit(3);
        _exit(0);
    }
    close(fds[1]);
    std::size_t result[2] = {0, 0};
    const bool got = read(fds[0], result, sizeof result) == sizeof result;
    close(fds[0]);
    rusage usage{};
    int waitStatus = 0;
    wait4(child, &waitStatus, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.logMiB = static_cast<double>(result[1]) / (1024.0 * 1024.0);
    run.status = got ? static_cast<int>(result[0]) : -1;
    fs::remove_all(folder);
    return run;
}

void runCase(benchmark::State& state, const std::function<json()>& build) {
    const std::string text = build().dump();
    for (auto _ : state) {
        const Run run = runInChild(text);
        state.SetIterationTime(run.seconds);
        state.counters["peakMiB"] = run.peakMiB;
        state.counters["logMiB"] = run.logMiB;
        state.counters["fileMiB"] = static_cast<double>(text.size()) / (1024.0 * 1024.0);
        state.counters["status"] = run.status;
    }
}

// `count` apps "App <i>", each with the fields fill gives it, and 60 open-and-lift cycles.
json appsCycled(std::size_t count, const std::function<void(json&, const std::string&)>& fill) {
    json apps = json::array();
    for (std::size_t i = 0; i < count; ++i) {
        json a = app("App " + std::to_string(i));
        fill(a, std::to_string(i));
        apps.push_back(std::move(a));
    }
    json s = scenario(apps);
    repeat(s, cycle(), 60);
    return s;
}

// Every app with a bundle identifier of the bound's length.
json bundleIDs() {
    return appsCycled(ScenarioLimits::kApps, [](json& a, const std::string& i) {
        a["bundleID"] = i + "." + filled(ScenarioLimits::kBundleIDBytes - 8, 'b');
    });
}

// As many apps as fit with both paths of the bound's length.
json paths() {
    return appsCycled(900, [](json& a, const std::string& i) {
        a["bundlePath"] = "/" + i + filled(ScenarioLimits::kPathBytes - 8, 'p');
        a["executablePath"] = "/" + i + filled(ScenarioLimits::kPathBytes - 8, 'e');
    });
}

// Names of the bound's length (the windows' titles end with them).
json names() {
    json apps = json::array();
    for (std::size_t i = 0; i < ScenarioLimits::kApps; ++i) {
        const std::string name = std::to_string(i) + filled(ScenarioLimits::kNameBytes - 4, 'n');
        apps.push_back(app(name, json::array({window("Report \u2014 " + name)})));
    }
    json s = scenario(apps);
    repeat(s, cycle(), 60);
    return s;
}

// As many windows as fit with titles of the bound's length.
json titles() {
    json windows = json::array();
    for (std::size_t i = 0; i < 1900; ++i)
        windows.push_back(window(std::to_string(i) + filled(ScenarioLimits::kTitleBytes - 5, 't')));
    json s = scenario(json::array({app("Titles", windows), app("Other")}));
    repeat(s, cycle(), 60);
    return s;
}

// The desktop's windows at their bound, minimised or not, and the stacking naming every one.
json windows(bool minimized) {
    json apps = json::array();
    json stacking = json::array();
    const std::size_t perApp = ScenarioLimits::kWindows / 16;
    for (std::size_t a = 0; a < 16; ++a) {
        json list = json::array();
        for (std::size_t i = 0; i < perApp; ++i) {
            json w = window("W" + std::to_string(i), minimized);
            w["number"] = a * perApp + i + 1;
            stacking.push_back(a * perApp + i + 1);
            list.push_back(w);
        }
        apps.push_back(app("App " + std::to_string(a), list));
    }
    json s = scenario(apps);
    s["stacking"] = stacking;
    repeat(s, cycle(), 60);
    return s;
}

// The apps at their bound, a window each.
json apps() {
    json list = json::array();
    for (std::size_t i = 0; i < ScenarioLimits::kApps; ++i) list.push_back(app("App " + std::to_string(i)));
    json processes = json::array();
    for (std::size_t i = 0; i < ScenarioLimits::kApps; ++i)
        processes.push_back({{"pid", 100000 + i}, {"path", "/bin/p" + std::to_string(i)}, {"parentPid", 1}});
    json s = scenario(list);
    s["processes"] = processes;
    repeat(s, cycle(), 60);
    return s;
}

// The settings' lists at the loader's bound, the paused apps' list among them; the status menu
// lists what the settings keep of it.
json ignoreList() {
    json ids = json::array();
    for (std::size_t i = 0; i < ScenarioLimits::kValueEntries; ++i)
        ids.push_back(std::to_string(i) + "." + filled(ScenarioLimits::kTitleBytes - 8, 'i'));
    json s = scenario(json::array({app("Other")}), {{"ignoredBundleIDs", ids}});
    repeat(s, json::array({{{"do", "openStatusMenu"}}}), 100);
    return s;
}

// The steps at their bound: open-and-lift cycles on a small desktop.
json steps() {
    json s = scenario(json::array({app("One"), app("Two")}));
    repeat(s, cycle());
    return s;
}

// The steps at their bound: status-menu openings with the longest list the settings keep.
json menuSteps() {
    json ids = json::array();
    for (std::size_t i = 0; i < quillmar::SwitcherSettings::kMaxIgnoredBundleIDs; ++i)
        ids.push_back(std::to_string(i) + "." + filled(ScenarioLimits::kBundleIDBytes - 8, 'i'));
    json s = scenario(json::array({app("Other")}), {{"ignoredBundleIDs", ids}});
    repeat(s, json::array({{{"do", "openStatusMenu"}}}));
    return s;
}

// Notes of the bound's length, as many as fit.
json notes() {
    json s = scenario(json::array({app("One")}));
    s["description"] = filled(ScenarioLimits::kTitleBytes, 'd');
    repeat(s, json::array({{{"do", "note"}, {"text", filled(ScenarioLimits::kTitleBytes, 'x')}}}));
    return s;
}

// The screens at their bound, with the desktop's windows at theirs, and screen pictures.
json screens() {
    json s = windows(false);
    s["steps"] = json::array();
    json list = json::array();
    for (std::size_t i = 0; i < ScenarioLimits::kScreens; ++i)
        list.push_back({{"frame", {1440.0 * static_cast<double>(i), 0, 1440, 900}}});
    s["screens"] = list;
    json pictures = json::array();
    for (std::size_t i = 0; i < ScenarioLimits::kScreens; ++i)
        pictures.push_back(
            {{"do", "snapshotScreen"}, {"file", "s" + std::to_string(i) + ".png"}, {"screen", i}, {"scale", 1}});
    s["steps"] = pictures;
    return s;
}

// One window list over the bound: refused as it loads.
json overBound() {
    json list = json::array();
    for (std::size_t i = 0; i <= ScenarioLimits::kWindows; ++i) list.push_back(window("", true));
    json s = scenario(json::array({app("Many", list)}));
    repeat(s, cycle(), 20);
    return s;
}

#define BOUNDS_CASE(name, build)                                                                        \
    void BM_##name(benchmark::State& state) { runCase(state, build); }                               \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)

BOUNDS_CASE(BundleIDs1000Apps60Cycles, bundleIDs);
BOUNDS_CASE(Paths900Apps60Cycles, paths);
BOUNDS_CASE(Names1000Apps60Cycles, names);
BOUNDS_CASE(Titles1900Windows60Cycles, titles);
BOUNDS_CASE(MinimisedWindows4096Stacked60Cycles, [] { return windows(true); });
BOUNDS_CASE(Windows4096Stacked60Cycles, [] { return windows(false); });
BOUNDS_CASE(Apps1000Processes1000_60Cycles, apps);
BOUNDS_CASE(SettingsLists1000x4096_100MenuOpenings, ignoreList);
BOUNDS_CASE(StepsOfCycles, steps);
BOUNDS_CASE(StepsOfMenuOpenings, menuSteps);
BOUNDS_CASE(NotesAndDescription4096, notes);
BOUNDS_CASE(Screens16Windows4096Pictures16, screens);
BOUNDS_CASE(Windows4097Refused, overBound);

}  // namespace
