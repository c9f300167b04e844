// The Switch Bar as a user meets it, on simulated desktops of 20, 200 and 1,000 windows (the last
// over 40 apps and over 200): from the first touch frame of an opening slide (delivered through
// the simulated framework, the main loop drained after each) to the first frame of the bar
// rendered at 2x, in either layout; from a scrub step, and from a close, to its first frame; the
// first opening in a fresh world; and each frame of the opening animation, of the selection glide and of the list
// closing up after a close, for both layouts with 12, 200 and 1,000 entries. Every figure is the
// time of one opening, step or frame: the median and p95 are taken over the repetitions, and
// "worst" is the slowest frame seen.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "switch_bar_desktop.h"

namespace {

using namespace quillmar;
using quillmar::bench::BenchDesktop;
using Clock = std::chrono::steady_clock;

double p95(const std::vector<double>& v) {
    if (v.empty()) return 0;
    auto s = v;
    std::sort(s.begin(), s.end());
    return s[std::min(s.size() - 1, static_cast<std::size_t>(0.95 * static_cast<double>(s.size())))];
}

// Five windows an app.
int appsFor(int windows) { return std::max(windows / 5, 1); }

// The same desktop across the repetitions of one benchmark, so that only the first opens cold.
// The last one is left to the end of the process: the world's shared objects it uses may be
// gone by the time a static would destroy it.
BenchDesktop& desktopFor(int windows, int apps, SwitchBarStyle style, bool fresh = false) {
    static BenchDesktop* desk = nullptr;
    static long shape = -1;
    const long wanted = (long(windows) * 100000 + apps) * 2 + (style == SwitchBarStyle::vertical ? 1 : 0);
    if (fresh || !desk || shape != wanted) {
        delete desk;
        desk = new BenchDesktop(apps, windows, style);
        shape = wanted;
    }
    return *desk;
}

double openAndRender(BenchDesktop& desk, benchmark::State& state) {
    const auto start = Clock::now();
    if (!desk.openWithSlide()) state.SkipWithError("the slide did not present the bar");
    auto image = desk.panel() ? desk.panel()->renderImage(2.0) : gfx::Image();
    benchmark::DoNotOptimize(image);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

SwitchBarStyle styleArg(const benchmark::State& state, int index) {
    return state.range(index) ? SwitchBarStyle::vertical : SwitchBarStyle::horizontal;
}

// Gesture to first frame, with everything a previous opening left warm. Args: windows, apps,
// layout (0 strip, 1 list).
void BM_GestureToFirstFrame(benchmark::State& state) {
    auto& desk = desktopFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), styleArg(state, 2));
    openAndRender(desk, state);  // the first opening of this desktop is measured below
    desk.close();
    for (auto _ : state) {
        state.SetIterationTime(openAndRender(desk, state));
        desk.close();
    }
}
BENCHMARK(BM_GestureToFirstFrame)->Args({20, 4, 0})->Args({200, 40, 0})->Args({1000, 40, 0})->Args({1000, 200, 0})
    ->Args({20, 4, 1})->Args({200, 40, 1})->Args({1000, 200, 1})->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(1)->Repetitions(25)->ReportAggregatesOnly(true)
    ->ComputeStatistics("p95", p95);

// One scrub step on an open bar (the selection moves on by one entry) to the first frame that
// shows it: the update the step causes and the frame, 1/60 s later. Args: windows, apps, layout.
void BM_ScrubStepToFrame(benchmark::State& state) {
    auto& desk = desktopFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), styleArg(state, 2));
    auto& loop = runtime::MainLoop::main();
    auto& c = SwitcherController::shared();
    desk.close();
    desk.openWithSlide();
    loop.advance(0.5);
    double direction = 1;
    for (auto _ : state) {
        // Back and forth over the first few dozen entries.
        if (c.selectedIndex.get() >= 40) direction = -1;
        if (c.selectedIndex.get() <= 1) direction = 1;
        const auto start = Clock::now();
        c.handleScrub(direction * SwitcherController::scrubStep() * 1.2);
        loop.advance(1.0 / 60);
        auto image = desk.panel()->renderImage(2.0);
        benchmark::DoNotOptimize(image);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_ScrubStepToFrame)->Args({200, 40, 0})->Args({1000, 200, 0})->Args({200, 40, 1})->Args({1000, 200, 1})
    ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(48)->Repetitions(5)->ReportAggregatesOnly(true)
    ->ComputeStatistics("p95", p95);

// A close of the selected window on an open bar to the first frame that shows it: the update
// that takes the entry out (building what can slide into sight first) and the frame 1/60 s later.
// Args: windows, apps, layout.
void BM_CloseToFrame(benchmark::State& state) {
    auto& desk = desktopFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), styleArg(state, 2));
    auto& loop = runtime::MainLoop::main();
    auto& c = SwitcherController::shared();
    for (auto _ : state) {
        desk.close();
        desk.openWithSlide();
        loop.advance(0.5);
        c.handleScrub(SwitcherController::scrubStep() * 3.2);
        loop.runUntilIdle();
        loop.advance(0.5);
        const auto start = Clock::now();
        c.performHotKeyAction(SwitcherController::closeAction);
        loop.runUntilIdle();
        loop.advance(1.0 / 60);
        auto image = desk.panel()->renderImage(2.0);
        benchmark::DoNotOptimize(image);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        desk.topUpWindows();  // the next opening finds as many windows again
    }
}
BENCHMARK(BM_CloseToFrame)->Args({200, 40, 0})->Args({1000, 200, 0})->Args({200, 40, 1})->Args({1000, 200, 1})
    ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true)
    ->ComputeStatistics("p95", p95);

// Gesture to first frame on a desktop just built (nothing of this world warm yet); when run on
// its own the first repetition is also the first opening of the process.
void BM_FirstOpeningOfFreshWorld(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    auto& desk = desktopFor(windows, appsFor(windows), SwitchBarStyle::horizontal, true);
    for (auto _ : state) state.SetIterationTime(openAndRender(desk, state));
}
BENCHMARK(BM_FirstOpeningOfFreshWorld)->Arg(200)->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(1)->Repetitions(10)->ReportAggregatesOnly(true)
    ->ComputeStatistics("p95", p95);

// Frames at 60 Hz over the first 0.4 s after the bar presents (the fade, the bloom, the settle),
// over 0.4 s after the selection moved on by a few entries (the glide), or over 0.4 s after the
// selected window was closed (the entries closing up behind it).
enum class Phase { opening, glide, removal };

void animationFrames(benchmark::State& state, Phase phase) {
    const int entries = static_cast<int>(state.range(0));
    const auto style = styleArg(state, 1);
    auto& desk = desktopFor(entries, appsFor(entries), style);
    auto& loop = runtime::MainLoop::main();
    constexpr int kFrames = 24;
    int frame = kFrames;
    double worst = 0;
    for (auto _ : state) {
        if (frame == kFrames) {
            desk.close();
            desk.openWithSlide();
            if (phase != Phase::opening) {
                loop.advance(0.5);
                auto& c = SwitcherController::shared();
                c.handleScrub(SwitcherController::scrubStep() * 3.2);
                loop.runUntilIdle();
            }
            if (phase == Phase::removal) {
                loop.advance(0.5);
                auto& c = SwitcherController::shared();
                c.performHotKeyAction(SwitcherController::closeAction);
                loop.runUntilIdle();
                desk.topUpWindows();  // the next opening finds as many windows again
            }
            frame = 0;
        }
        loop.advance(1.0 / 60);
        const auto start = Clock::now();
        auto image = desk.panel()->renderImage(2.0);
        benchmark::DoNotOptimize(image);
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        worst = std::max(worst, t);
        state.SetIterationTime(t);
        ++frame;
    }
    state.counters["worst_ms"] = benchmark::Counter(worst * 1e3);
}

void BM_OpeningAnimationFrame(benchmark::State& state) { animationFrames(state, Phase::opening); }
void BM_SelectionGlideFrame(benchmark::State& state) { animationFrames(state, Phase::glide); }
void BM_RemovalFrame(benchmark::State& state) { animationFrames(state, Phase::removal); }

// Args: entries (windows, 5 per app), layout (0 strip, 1 list).
BENCHMARK(BM_OpeningAnimationFrame)->ArgsProduct({{12, 200, 1000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(48)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics("p95", p95);
BENCHMARK(BM_SelectionGlideFrame)->ArgsProduct({{12, 200, 1000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(48)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics("p95", p95);
BENCHMARK(BM_RemovalFrame)->ArgsProduct({{12, 200, 1000}, {0, 1}})->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(48)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics("p95", p95);

}  // namespace
