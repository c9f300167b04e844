// The contact-frame path: the reduction of one frame, one frame through the gate on the
// framework's thread, and how many frames per second the whole path (frame thread, hand-over,
// drain, recogniser) sustains.

#include <benchmark/benchmark.h>

#include <vector>

#include "platform/sim/sim_multitouch.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "trackpad/touch_frame_reduction.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace {

using namespace quillmar;
using platform::sim::SimContactFrame;
using platform::sim::SimFinger;
using platform::sim::simTouches;

std::vector<platform::MTTouch> fiveFingers(float shift = 0) {
    return simTouches({{1, 0.30f + shift, 0.50f},
                       {2, 0.40f + shift, 0.55f},
                       {3, 0.50f + shift, 0.58f},
                       {4, 0.60f + shift, 0.55f},
                       {70, 0.45f + shift, 0.30f}});
}

void BM_ReduceFiveTouchFrame(benchmark::State& state) {
    FrameAdmissionView gate;
    gate.isNonIdlePhase = true;
    const auto touches = fiveFingers();
    for (auto _ : state) {
        auto s = reduceContactFrame(gate, nullptr, touches.data(), 5, 1.0);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_ReduceFiveTouchFrame);

struct World {
    World() {
        runtime::World::reset();
        mt = &platform::sim::SimMultitouchFramework::install();
        pad = mt->addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Built-in Trackpad"));
        auto& settings = SwitcherSettings::shared();
        settings.triggerStyle = TriggerStyle::immediateHorizontalSlide;
        settings.fingerCount = 0;
        monitor = &TrackpadTouchMonitor::shared();
        monitor->start();
        runtime::MainLoop::main().runUntilIdle();
    }
    ~World() {
        pad.reset();
        runtime::World::reset();
    }
    platform::sim::SimMultitouchFramework* mt = nullptr;
    platform::MTDeviceHandle pad;
    TrackpadTouchMonitor* monitor = nullptr;
};

// One frame through the gate as the framework's thread sees it during a gesture while a drain
// is already queued: two lock round trips, the reduction and the store.
void BM_ContactFrameThroughTheGate(benchmark::State& state) {
    World w;
    CoalescedTouchSnapshot landing;
    landing.count = 4;
    for (int id = 1; id <= 4; ++id) landing.ids.insert(id);
    landing.avgX = landing.avgY = 0.5;
    w.monitor->advanceGesture(landing);  // a candidate: every frame is kept
    const auto touches = fiveFingers();
    w.monitor->handleContactFrame(w.pad.get(), touches.data(), 5, 1.0);  // queues the one drain
    if (!w.monitor->gateFlags().dispatchPending) state.SkipWithError("the frame was not kept");
    for (auto _ : state) w.monitor->handleContactFrame(w.pad.get(), touches.data(), 5, 1.0);
}
BENCHMARK(BM_ContactFrameThroughTheGate);

// Slides of four fingers with a lift every 60 frames.
std::vector<SimContactFrame> slides(int count) {
    std::vector<SimContactFrame> frames;
    frames.reserve(static_cast<std::size_t>(count));
    double t = 0;
    for (int i = 0; i < count; ++i) {
        t += 1.0 / 120;
        if (i % 60 == 59) {
            frames.push_back({{}, t});
            continue;
        }
        const float shift = 0.004f * static_cast<float>(i % 60);
        auto touches = fiveFingers(shift);
        touches.pop_back();
        frames.push_back({touches, t});
    }
    return frames;
}

// The whole path on two threads: the framework's thread delivers as fast as it can while the
// main loop drains; items per second is the sustained frame rate.
void BM_WholePathFramesPerSecond(benchmark::State& state) {
    World w;
    constexpr int kFrames = 20'000;
    const auto frames = slides(kFrames);
    auto& loop = runtime::MainLoop::main();
    for (auto _ : state) {
        w.mt->deliverOnFrameThread(w.pad, frames);
        while (!w.mt->isFrameThreadIdle()) loop.waitAndRun(0.01);
        loop.runUntilIdle();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_WholePathFramesPerSecond)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole path with every frame drained before the next: the recogniser's share per frame.
void BM_WholePathOneFrameAtATime(benchmark::State& state) {
    World w;
    const auto frames = slides(600);
    auto& loop = runtime::MainLoop::main();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& f = frames[i++ % frames.size()];
        w.mt->deliverFrame(w.pad.get(), f.touches, f.timestamp);
        loop.runUntilIdle();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WholePathOneFrameAtATime);

}  // namespace
