// Costs of the runtime's hot paths: posting work to the main loop and draining it, timers, and
// emitting published values to subscribers (every settings change and every touch frame that
// reaches the main thread goes through these).

#include <benchmark/benchmark.h>

#include "runtime/main_loop.h"
#include "runtime/published.h"
#include "runtime/world.h"

namespace {

using quillmar::runtime::MainLoop;
using quillmar::runtime::Published;
using quillmar::runtime::Subscription;

void BM_PostAndRun(benchmark::State& state) {
    quillmar::runtime::World::reset();
    auto& loop = MainLoop::main();
    const auto batch = state.range(0);
    long sum = 0;
    for (auto _ : state) {
        for (long i = 0; i < batch; ++i) loop.post([&sum, i] { sum += i; });
        loop.runUntilIdle();
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostAndRun)->Arg(1)->Arg(64)->Arg(1024);

void BM_ScheduleAndFireTimers(benchmark::State& state) {
    quillmar::runtime::World::reset();
    auto& loop = MainLoop::main();
    const auto batch = state.range(0);
    long fired = 0;
    for (auto _ : state) {
        for (long i = 0; i < batch; ++i) loop.after(0.001 * static_cast<double>(i % 16), [&fired] { ++fired; });
        loop.advance(0.1);
    }
    benchmark::DoNotOptimize(fired);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_ScheduleAndFireTimers)->Arg(64)->Arg(1024);

void BM_PublishedEmission(benchmark::State& state) {
    quillmar::runtime::World::reset();
    Published<double> value{0};
    long seen = 0;
    std::vector<Subscription> subs;
    for (long i = 0; i < state.range(0); ++i) subs.push_back(value.subscribe([&seen](const double&) { ++seen; }));
    double v = 0;
    for (auto _ : state) value = (v += 1);
    benchmark::DoNotOptimize(seen);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PublishedEmission)->Arg(0)->Arg(1)->Arg(8);

void BM_StreamChainDeliveredOnMain(benchmark::State& state) {
    quillmar::runtime::World::reset();
    auto& loop = MainLoop::main();
    Published<int> a{0}, b{0};
    long seen = 0;
    auto s = a.publisher()
                 .merge(b.publisher())
                 .dropFirst()
                 .map([](int v) { return v * 2; })
                 .receiveOnMain()
                 .sink([&seen](const int&) { ++seen; });
    int v = 0;
    for (auto _ : state) {
        a = ++v;
        loop.runUntilIdle();
    }
    benchmark::DoNotOptimize(seen);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StreamChainDeliveredOnMain);

}  // namespace
