// One frame of the Switch Bar with 12 entries, rendered through its panel at 2x: the steady bar,
// and a frame 50 ms into its opening (fade-in and bloom under way), for both layouts.

#include <benchmark/benchmark.h>

#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_panel_windows.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "switcher/switcher_controller.h"

namespace {

using namespace quillmar;

void setUpTwelveWindows(SwitchBarStyle style, double secondsAfterOpening) {
    runtime::World::reset();
    auto& desktop = platform::sim::SimDesktop::install();
    desktop.setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
    desktop.setPointer({700, 400});
    platform::sim::SimAccessibilityApi::install(desktop);
    desktop.extension<platform::sim::SimAccessibilityState>().trusted = true;
    platform::sim::SimPanelWindows::install();
    platform::sim::SimApp own;
    own.localizedName = "Quillmar";
    own.activationPolicy = platform::ActivationPolicy::accessory;
    desktop.setOwnProcess(std::move(own));
    std::int32_t first = 0;
    for (int i = 0; i < 12; ++i) {
        platform::sim::SimApp app;
        app.localizedName = "App " + std::to_string(i + 1);
        app.bundleIdentifier = "com.example.app" + std::to_string(i);
        app.bundlePath = "/Applications/App" + std::to_string(i) + ".app";
        app.icon = platform::AppIcon::roundedSquare(128, 0xff4a90d9u + static_cast<std::uint32_t>(i) * 0x0a0a00u,
                                                    0xff2c5aa0u);
        auto pid = desktop.addApp(std::move(app)).pid;
        if (i == 0) first = pid;
        platform::sim::SimWindow w;
        w.ownerPid = pid;
        w.title = "Document " + std::to_string(i + 1);
        w.bounds = {100, 100, 800, 600};
        desktop.addWindow(std::move(w));
    }
    desktop.setFrontmost(first);
    SwitcherSettings::shared().switchBarStyle = style;
    SwitcherController::shared().presentHUD(false);
    runtime::MainLoop::main().advance(secondsAfterOpening);
}

void renderFrames(benchmark::State& state, SwitchBarStyle style, double secondsAfterOpening) {
    setUpTwelveWindows(style, secondsAfterOpening);
    auto* panel = SwitcherController::shared().panel();
    for (auto _ : state) {
        auto image = panel->renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
    runtime::World::reset();
}

void BM_HorizontalBarTwelveEntries2x(benchmark::State& state) { renderFrames(state, SwitchBarStyle::horizontal, 0.5); }
void BM_HorizontalBarOpeningFrame2x(benchmark::State& state) { renderFrames(state, SwitchBarStyle::horizontal, 0.05); }
void BM_VerticalListTwelveEntries2x(benchmark::State& state) { renderFrames(state, SwitchBarStyle::vertical, 0.5); }
void BM_VerticalListOpeningFrame2x(benchmark::State& state) { renderFrames(state, SwitchBarStyle::vertical, 0.05); }

BENCHMARK(BM_HorizontalBarTwelveEntries2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_HorizontalBarOpeningFrame2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_VerticalListTwelveEntries2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_VerticalListOpeningFrame2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
