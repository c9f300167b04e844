// The settings window: one frame of the Trackpad tab rendered at 2x, and one full update after a
// setting changed (evaluation and layout of the whole view, as a slider drag causes per step).

#include <benchmark/benchmark.h>

#include "platform/sim/sim_desktop.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_ui_state.h"
#include "settings_ui/settings_view.h"
#include "ui/ui.h"

namespace {

using namespace quillmar;

std::unique_ptr<ui::HostingView> trackpadTab() {
    runtime::World::reset();
    auto& desktop = platform::sim::SimDesktop::install();
    desktop.setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
    SettingsUIState::shared().activeTab = SettingsTab::trackpad;
    auto host = std::make_unique<ui::HostingView>(SettingsView{}, ui::Size{SettingsView::windowWidth, SettingsView::windowHeight});
    host->layoutIfNeeded();
    runtime::MainLoop::main().advance(1.0);
    return host;
}

void BM_SettingsTrackpadTabRender2x(benchmark::State& state) {
    auto host = trackpadTab();
    for (auto _ : state) {
        auto image = host->renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
    host.reset();
    runtime::World::reset();
}
BENCHMARK(BM_SettingsTrackpadTabRender2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SettingsUpdateAfterSliderStep(benchmark::State& state) {
    auto host = trackpadTab();
    auto& settings = SwitcherSettings::shared();
    double value = 1.0;
    for (auto _ : state) {
        value = value >= 2.4 ? 0.5 : value + 0.1;
        settings.sensitivity = value;
        host->layoutIfNeeded();
    }
    host.reset();
    runtime::World::reset();
}
BENCHMARK(BM_SettingsUpdateAfterSliderStep)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
