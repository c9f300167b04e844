// One frame of each seasonal scene, rasterised at 2x: the window spectacles on the settings
// window's 480 x 592 points (960 x 1184 pixels), the dissolves on the About card's 448 x 80.
// Each iteration draws the next of 48 moments spread over the run, so the figure is the mean
// cost of a frame across the scene, busy moments included.

#include <benchmark/benchmark.h>

#include <functional>

#include "gfx/render_target.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace {

using namespace quillmar;
using Draw = std::function<void(gfx::GraphicsContext&, bool, double, double, double)>;

void runScene(benchmark::State& state, const Draw& draw, gfx::Size size) {
    gfx::RenderTarget target(size, 2);
    const gfx::Path backdrop = gfx::Path::rect({0, 0, size.width, size.height});
    int frame = 0;
    for (auto _ : state) {
        gfx::GraphicsContext ctx = target.context();
        ctx.fill(backdrop, gfx::Color(0.118, 0.118, 0.129));
        const double p = 0.04 + 0.92 * (frame++ % 48) / 47.0;
        draw(ctx, true, size.width, size.height, p);
        benchmark::DoNotOptimize(target.ok());
    }
}

constexpr gfx::Size kWindow{480, 592};
constexpr gfx::Size kCard{448, 80};

void BM_FireworksWindowSpectacle(benchmark::State& s) { runScene(s, drawFireworksWindowSpectacle, kWindow); }
void BM_ChristmasWindowSpectacle(benchmark::State& s) { runScene(s, drawChristmasWindowSpectacle, kWindow); }
void BM_FireworksDissolve(benchmark::State& s) {
    runScene(s, [](gfx::GraphicsContext& c, bool d, double w, double h, double p) { drawFireworksDissolve(c, d, w, h, p, w - 29, h * 0.5); },
             kCard);
}
void BM_EasterMeadowDissolve(benchmark::State& s) { runScene(s, drawEasterMeadowDissolve, kCard); }
void BM_SpringMeadowDissolve(benchmark::State& s) { runScene(s, drawSpringMeadowDissolve, kCard); }
void BM_ChristmasDissolve(benchmark::State& s) { runScene(s, drawChristmasDissolve, kCard); }
void BM_WinterAuroraHearthDissolve(benchmark::State& s) { runScene(s, drawWinterAuroraHearthDissolve, kCard); }

BENCHMARK(BM_FireworksWindowSpectacle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChristmasWindowSpectacle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FireworksDissolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EasterMeadowDissolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpringMeadowDissolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChristmasDissolve)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WinterAuroraHearthDissolve)->Unit(benchmark::kMillisecond);

}  // namespace
