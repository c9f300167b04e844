// One frame of the horizontal Switch Bar with 12 entries, rendered through its panel at 2x.

#include <benchmark/benchmark.h>

#include "bench_desktop.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "switcher/switcher_controller.h"

namespace {

using namespace quillmar;

void setUpTwelveWindows() {
    bench::setUpBenchDesktop(12);
    SwitcherController::shared().presentHUD(false);
    runtime::MainLoop::main().advance(0.5);
}

void BM_HorizontalBarTwelveEntries2x(benchmark::State& state) {
    setUpTwelveWindows();
    auto* panel = SwitcherController::shared().panel();
    for (auto _ : state) {
        auto image = panel->renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
    runtime::World::reset();
}
BENCHMARK(BM_HorizontalBarTwelveEntries2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
