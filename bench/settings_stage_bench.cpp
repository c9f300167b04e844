// One frame of the settings window's Trackpad tab at 2x with five live fingers raking the Zen
// garden on its stage: each iteration moves the hand (the telemetry publishes, the stage ingests
// it and the wave advances), then the window is updated and rendered. A 60 Hz frame allows 16.7 ms.

#include <benchmark/benchmark.h>

#include "bench_desktop.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/settings_view.h"
#include "settings_ui/settings_ui_state.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/ui.h"

namespace {

using namespace quillmar;

void setUpDesktop() {
    bench::setUpBenchDesktop(5);
    platform::sim::SimHaptics::install();
    SettingsUIState::shared().activeTab = SettingsTab::trackpad;
    SettingsUIState::shared().isWindowVisible = true;
}

void BM_TrackpadTabFiveFingerZen2x(benchmark::State& state) {
    setUpDesktop();
    ui::HostingView host(SettingsView{}, {SettingsView::windowWidth, SettingsView::windowHeight});
    auto env = host.environment();
    env.colorScheme = ui::ColorScheme::dark;
    host.setEnvironment(env);
    host.layoutIfNeeded();
    runtime::MainLoop::main().advance(1.0);
    auto& telemetry = TrackpadTouchMonitor::shared().telemetry;

    double x = 0.3;
    for (auto _ : state) {
        x = x > 0.6 ? 0.3 : x + 0.012;
        std::vector<TouchDot> hand;
        for (int i = 0; i < 5; ++i) hand.push_back({i + 1, x + 0.05 * i, 0.45 + 0.02 * (i % 2), 1.2});
        telemetry.show(hand);
        runtime::MainLoop::main().advance(1.0 / 60);
        auto image = host.renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
    if (!HardwareStageState::shared().isFiveFingerZen) state.SkipWithError("the stage did not enter Zen");
    runtime::World::reset();
}
BENCHMARK(BM_TrackpadTabFiveFingerZen2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
