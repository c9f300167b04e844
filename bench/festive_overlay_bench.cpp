// One frame of the festive overlay as the Switch Bar draws it at 2x: the Christmas perimeter
// (garland with its bulbs, each reading a full 40-sample glow trail, corner sprigs, bow and
// bells) under 72 live particles of one festival, on a 640 × 128 point bar. The app redraws the
// overlay at most 60 times a second, so the figure must leave most of 16.7 ms to the bar itself.

#include <benchmark/benchmark.h>

#include <vector>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/festive_particle_spawner.h"
#include "festive_hud/hud_christmas_perimeter_canvas_view.h"
#include "festive_hud/hud_festive_overlay_view.h"
#include "festive_hud/hud_festive_state.h"
#include "gfx/render_target.h"
#include "runtime/main_loop.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"

namespace {

using namespace quillmar;

constexpr gfx::Size kBar{640, 128};

// A Christmas day with a scrub that has filled the glow trail to its 40 samples.
void prepareChristmasTrail() {
    runtime::World::reset();
    auto& clock = runtime::WallClock::shared();
    clock.setTimeZone("Europe/Berlin");
    clock.setVirtualNow(*runtime::WallClock::instant({2025, 12, 25, 12, 0}, "Europe/Berlin"));
    auto& festive = HUDFestiveState::shared();
    festive.geometry.size = kBar;
    festive.armFestiveOverlay(0.0);
    for (int i = 0; i < 60; ++i) {
        runtime::MainLoop::main().advance(0.03);
        festive.noteChristmasFocus((i % 20) / 19.0, 0.02);
    }
}

std::vector<HUDFestiveParticle> liveParticles(HUDFestiveTheme theme) {
    HUDFestiveGeometry g;
    g.size = kBar;
    g.floorY = kBar.height - 5;
    for (int i = 0; i < 6; ++i) g.itemAnchors.push_back({53.0 + 106 * i, 50});
    g.rowSpanX = {0, kBar.width};
    FestiveRandom rng(2024);
    std::vector<HUDFestiveParticle> ps;
    while (ps.size() < static_cast<std::size_t>(kMaxFestiveParticles))
        spawnFestiveParticles(ps, festiveKindSpecs(theme), g, {22, static_cast<int>(ps.size() % 6), 1.0, 0.7}, rng);
    for (std::size_t i = 0; i < ps.size(); ++i) {
        ps[i].age = 0.3 + 0.01 * static_cast<double>(i);  // fully faded in
        ps[i].y = 20 + static_cast<double>(i % 9) * 10;
    }
    return ps;
}

void BM_FestiveOverlayFrame2x(benchmark::State& state) {
    prepareChristmasTrail();
    const auto theme = static_cast<HUDFestiveTheme>(state.range(0));
    const auto particles = liveParticles(theme);
    gfx::RenderTarget target(kBar, 2.0);
    double time = 800000000;
    for (auto _ : state) {
        auto ctx = target.context();
        drawChristmasPerimeter(ctx, kBar, true, 22, time);
        drawFestiveParticles(ctx, particles, theme, true);
        time += 1.0 / 60;
    }
    benchmark::DoNotOptimize(target.ok());
}
BENCHMARK(BM_FestiveOverlayFrame2x)->DenseRange(0, 10)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// The perimeter alone, to tell its share of the frame.
void BM_ChristmasPerimeter2x(benchmark::State& state) {
    prepareChristmasTrail();
    gfx::RenderTarget target(kBar, 2.0);
    double time = 800000000;
    for (auto _ : state) {
        auto ctx = target.context();
        drawChristmasPerimeter(ctx, kBar, true, 22, time);
        time += 1.0 / 60;
    }
    benchmark::DoNotOptimize(target.ok());
}
BENCHMARK(BM_ChristmasPerimeter2x)->Unit(benchmark::kMicrosecond);

}  // namespace
