// The target catalogue on a busy desktop: 40 apps with 5 windows each (some minimised, some on
// another Space, one app hidden), Accessibility trusted and answering at once.

#include <benchmark/benchmark.h>

#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "runtime/world.h"
#include "windows/window_manager.h"

namespace {

using namespace quillmar;

void buildDesktop() {
    runtime::World::reset();
    auto& desktop = platform::sim::SimDesktop::install();
    auto& ax = platform::sim::SimAccessibilityApi::install(desktop);
    platform::sim::SimApp own;
    own.localizedName = "Quillmar";
    own.activationPolicy = platform::ActivationPolicy::accessory;
    desktop.setOwnProcess(own);
    ax.setTrusted(true);
    std::int32_t first = 0;
    for (int a = 0; a < 40; ++a) {
        platform::sim::SimApp app;
        app.localizedName = "App " + std::to_string(a);
        app.bundleIdentifier = "com.example.app" + std::to_string(a);
        app.bundlePath = "/Applications/App" + std::to_string(a) + ".app";
        app.icon = platform::AppIcon::roundedSquare(64, 0xff3366ccu, 0xff112244u);
        app.isHidden = a == 39;
        const auto pid = desktop.addApp(app).pid;
        if (a == 0) first = pid;
        for (int w = 0; w < 5; ++w) {
            platform::sim::SimWindow window;
            window.ownerPid = pid;
            window.title = "Document " + std::to_string(w) + " \u2014 App " + std::to_string(a);
            window.bounds = {double(20 * w + a), double(30 + 10 * w), 900, 650};
            window.isMinimized = w == 4;
            window.space = w == 3 ? 2 : 1;
            desktop.addWindow(window);
        }
    }
    desktop.setFrontmost(first);
    runtime::MainLoop::main().runUntilIdle();
}

void BM_FetchTargetsAllWindows(benchmark::State& state) {
    buildDesktop();
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
BENCHMARK(BM_FetchTargetsAllWindows)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_FetchTargetsAppsOnly(benchmark::State& state) {
    buildDesktop();
    auto& manager = WindowManager::shared();
    for (auto _ : state) benchmark::DoNotOptimize(manager.fetchTargets(SwitcherMode::appsOnly));
    runtime::World::reset();
}
BENCHMARK(BM_FetchTargetsAppsOnly)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
