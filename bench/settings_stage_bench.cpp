// One frame of the Trackpad tab's live stage at 2x with five live fingers raking the Zen garden:
// each iteration moves the hand (the telemetry publishes, the stage ingests it and the wave
// advances), then lays the view out and renders it. A 60 Hz frame allows 16.7 ms.

#include <benchmark/benchmark.h>

#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_panel_windows.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/hardware_stage_view.h"
#include "settings_ui/settings_ui_state.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/ui.h"
#include "windows/window_manager.h"

namespace {

using namespace quillmar;

void setUpDesktop() {
    runtime::World::reset();
    auto& desktop = platform::sim::SimDesktop::install();
    desktop.setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
    platform::sim::SimAccessibilityApi::install(desktop);
    desktop.extension<platform::sim::SimAccessibilityState>().trusted = true;
    platform::sim::SimPanelWindows::install();
    platform::sim::SimHaptics::install();
    std::int32_t first = 0;
    for (int i = 0; i < 5; ++i) {
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
    SettingsUIState::shared().activeTab = SettingsTab::trackpad;
}

void BM_TrackpadStageFiveFingerZen2x(benchmark::State& state) {
    setUpDesktop();
    auto targets = WindowManager::shared().fetchTargets(SwitcherMode::allWindows);
    ui::HostingView host(HardwareStageView{SettingsPalette(true), targets, ui::Color::rgb(0.2, 0.78, 0.35), {}},
                         {480, HardwareStageView::kHeight});
    auto env = host.environment();
    env.colorScheme = ui::ColorScheme::dark;
    host.setEnvironment(env);
    host.layoutIfNeeded();
    runtime::MainLoop::main().advance(0.05);
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
BENCHMARK(BM_TrackpadStageFiveFingerZen2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
