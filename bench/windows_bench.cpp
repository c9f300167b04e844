// The target catalogue on a busy desktop: 40 apps with 5 windows each (some minimised, some on
// another Space, the last app hidden), Accessibility trusted and answering at once; and the same
// desktop with 100, 200 and 400 apps, with 40 apps of 25 windows and with one app (not hidden) of
// 1,000, to see how each stage grows with the number of windows and with the number an app has;
// and one app of 1,900 windows with titles of 4,096 bytes, unchanged from opening to opening.
// Then the label of one title of combining marks in non-canonical order, 1,000 to 2,000,000 pairs.

#include <benchmark/benchmark.h>

#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "runtime/world.h"
#include "windows/window_label.h"
#include "windows/window_manager.h"

namespace {

using namespace quillmar;

void buildDesktop(int apps = 40, int windowsPerApp = 5, std::size_t titleBytes = 0) {
    runtime::World::reset();
    auto& desktop = platform::sim::SimDesktop::install();
    auto& ax = platform::sim::SimAccessibilityApi::install(desktop);
    platform::sim::SimApp own;
    own.localizedName = "Quillmar";
    own.activationPolicy = platform::ActivationPolicy::accessory;
    desktop.setOwnProcess(own);
    ax.setTrusted(true);
    std::int32_t first = 0;
    for (int a = 0; a < apps; ++a) {
        platform::sim::SimApp app;
        app.localizedName = "App " + std::to_string(a);
        app.bundleIdentifier = "com.example.app" + std::to_string(a);
        app.bundlePath = "/Applications/App" + std::to_string(a) + ".app";
        app.icon = platform::AppIcon::roundedSquare(64, 0xff3366ccu, 0xff112244u);
        app.isHidden = apps > 1 && a == apps - 1;
        const auto pid = desktop.addApp(app).pid;
        if (a == 0) first = pid;
        for (int w = 0; w < windowsPerApp; ++w) {
            platform::sim::SimWindow window;
            window.ownerPid = pid;
            window.title = "Document " + std::to_string(w) + " \u2014 App " + std::to_string(a);
            if (window.title.size() < titleBytes) window.title.insert(0, titleBytes - window.title.size(), 't');
            window.bounds = {double(20 * (w % 5) + a), double(30 + 10 * (w % 5) + w / 5), 900, 650};
            window.isMinimized = w % 5 == 4;
            window.space = w % 5 == 3 ? 2 : 1;
            desktop.addWindow(window);
        }
    }
    desktop.setFrontmost(first);
    runtime::MainLoop::main().runUntilIdle();
}

// Fetches all windows on the desktop built, again and again.
void fetchAllWindows(benchmark::State& state) {
    auto& manager = WindowManager::shared();
    std::size_t count = 0;
    for (auto _ : state) {
        auto targets = manager.fetchTargets(SwitcherMode::allWindows);
        count = targets.size();
        benchmark::DoNotOptimize(targets);
    }
    state.counters["targets"] = static_cast<double>(count);
    runtime::World::reset();
}

// Args: apps, windows an app.
void BM_FetchTargetsAllWindows(benchmark::State& state) {
    buildDesktop(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    fetchAllWindows(state);
}
BENCHMARK(BM_FetchTargetsAllWindows)->Args({40, 5})->Args({100, 5})->Args({200, 5})->Args({400, 5})->Args({40, 25})->Args({1, 1000})->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_FetchTargetsLongTitles(benchmark::State& state) {
    buildDesktop(1, 1900, 4096);
    fetchAllWindows(state);
}
BENCHMARK(BM_FetchTargetsLongTitles)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_FetchTargetsAppsOnly(benchmark::State& state) {
    buildDesktop();
    auto& manager = WindowManager::shared();
    for (auto _ : state) benchmark::DoNotOptimize(manager.fetchTargets(SwitcherMode::appsOnly));
    runtime::World::reset();
}
BENCHMARK(BM_FetchTargetsAppsOnly)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Arg: pairs of acute + grave below after one letter. Each round names another app, so no label
// is reused.
void BM_CleanLabelCombiningRun(benchmark::State& state) {
    std::string title = "a";
    for (std::int64_t i = 0; i < state.range(0); ++i) title += "\u0301\u0316";
    std::size_t round = 0;
    for (auto _ : state) benchmark::DoNotOptimize(cleanWindowLabel(title, "App " + std::to_string(round++)));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(title.size()));
}
BENCHMARK(BM_CleanLabelCombiningRun)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(2000000)->Unit(benchmark::kMillisecond);

}  // namespace
