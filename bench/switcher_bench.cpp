// One frame of the Switch Bar with 12 entries, rendered through its panel at 2x: the steady bar,
// and a frame 50 ms into its opening (fade-in and bloom under way), for both layouts.

#include <benchmark/benchmark.h>

#include "bench_desktop.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "switcher/switcher_controller.h"

namespace {

using namespace quillmar;

void setUpTwelveWindows(SwitchBarStyle style, double secondsAfterOpening) {
    bench::setUpBenchDesktop(12);
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
