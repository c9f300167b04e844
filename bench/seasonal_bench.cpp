// One frame of the About card's dissolve at 2x: the canvas alone (scene, sparkles and drifting
// charms, with a pointer and its wake to push them), and the whole card rendered by its window.

#include <benchmark/benchmark.h>

#include "gfx/render_target.h"
#include "runtime/world.h"
#include "seasonal/about_identity_card_view.h"
#include "seasonal/artisan_dissolve_canvas_view.h"
#include "seasonal/scenes/pointer_wake.h"
#include "ui/hosting_view.h"
#include "ui/stack_views.h"

namespace {

using namespace quillmar;

const SeasonalEasterEgg& eggOf(ArtisanCanvasTheme theme) {
    for (const auto& e : SeasonalEasterEgg::qaRotation())
        if (e.canvasTheme == theme) return e;
    return SeasonalEasterEgg::qaRotation().front();
}

void pointerWithWake() {
    auto& wake = PointerWake::shared();
    wake.currentWindowCursor = Point{260, 110};
    wake.lastCursorSampleTime = 10;
    wake.wakePuffs.clear();
    for (int i = 0; i < 12; ++i) wake.wakePuffs.push_back({{140.0 + 10 * i, 110}, {600, 0}, 9.5 + 0.04 * i});
}

void BM_AboutDissolveCanvasFrame2x(benchmark::State& state) {
    runtime::World::reset();
    pointerWithWake();
    const auto theme = static_cast<ArtisanCanvasTheme>(state.range(0));
    const auto& egg = eggOf(theme);
    gfx::RenderTarget target({448, 72}, 2.0);
    for (auto _ : state) {
        auto ctx = target.context();
        ArtisanDissolveCanvasView::renderDissolveScene(ctx, {448, 72}, egg, 0.45, true, false);
        benchmark::DoNotOptimize(target.ok());
    }
    runtime::World::reset();
}
BENCHMARK(BM_AboutDissolveCanvasFrame2x)
    ->Arg(static_cast<int>(ArtisanCanvasTheme::lunarNewYearSpectacle))
    ->Arg(static_cast<int>(ArtisanCanvasTheme::koreanCranesGeumbak))
    ->Arg(static_cast<int>(ArtisanCanvasTheme::kyotoAutumnMomiji))
    ->Unit(benchmark::kMicrosecond);

void BM_AboutCardDissolveFrame2x(benchmark::State& state) {
    runtime::World::reset();
    auto& craft = ArtisanCraftState::shared();
    craft.beginUnlockAnimation(eggOf(ArtisanCanvasTheme::lunarNewYearSpectacle), false);
    runtime::MainLoop::main().advance(2.3);
    pointerWithWake();
    {
        ui::HostingView host(ui::VStack({ui::View(AboutIdentityCardView{SettingsPalette(true)}).padding(16), ui::Spacer()})
                                 .coordinateSpace("settingsWindowSpace"),
                             Size{480, 110});
        for (auto _ : state) benchmark::DoNotOptimize(host.renderImage(2.0));
    }
    runtime::World::reset();
}
BENCHMARK(BM_AboutCardDissolveFrame2x)->Unit(benchmark::kMicrosecond);

}  // namespace
