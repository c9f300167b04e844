// One frame of the Halloween and St Patrick's window spectacles at the settings window's size on a
// 2x display (960 x 1184 pixels), and of the Halloween, autumn oak and summer starlight dissolves
// on the About card at 2x. Each iteration draws the next of five moments of the scene, so the
// figure is the mean cost over its busy middle.

#include <benchmark/benchmark.h>

#include "gfx/render_target.h"
#include "runtime/world.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace {

using namespace quillmar;

void drawFrames(benchmark::State& state, SpectacleRenderer renderer, gfx::Size canvas) {
    runtime::World::reset();
    gfx::RenderTarget target(canvas, 2);
    const double moments[] = {0.2, 0.35, 0.5, 0.65, 0.8};
    int k = 0;
    for (auto _ : state) {
        gfx::GraphicsContext ctx = target.context();
        ctx.fill(gfx::Path::rect({0, 0, canvas.width, canvas.height}), gfx::Color::rgb(0.118, 0.118, 0.129));
        renderer(ctx, true, canvas.width, canvas.height, moments[k++ % 5]);
    }
    benchmark::DoNotOptimize(target.ok());
}

void BM_HalloweenWindowSpectacle2x(benchmark::State& state) {
    drawFrames(state, drawHalloweenWindowSpectacle, {480, 592});
}
void BM_StPatricksWindowSpectacle2x(benchmark::State& state) {
    drawFrames(state, drawStPatricksWindowSpectacle, {480, 592});
}
void BM_HalloweenDissolve2x(benchmark::State& state) { drawFrames(state, drawHalloweenDissolve, {448, 80}); }
void BM_AutumnHarvestOakDissolve2x(benchmark::State& state) {
    drawFrames(state, drawAutumnHarvestOakDissolve, {448, 80});
}
void BM_SummerStarlightDissolve2x(benchmark::State& state) {
    drawFrames(state, drawSummerStarlightDissolve, {448, 80});
}

BENCHMARK(BM_HalloweenWindowSpectacle2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StPatricksWindowSpectacle2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HalloweenDissolve2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutumnHarvestOakDissolve2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummerStarlightDissolve2x)->Unit(benchmark::kMillisecond);

}  // namespace
