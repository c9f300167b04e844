// One 60 Hz physics step of festive particles, with 200 live particles of mixed kinds (more
// than the 72 the app ever keeps alive, so the figure bounds the real cost from above).

#include <benchmark/benchmark.h>

#include <vector>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/festive_particle_spawner.h"
#include "festive_hud/festive_physics.h"

namespace {

using namespace quillmar;

std::vector<HUDFestiveParticle> liveParticles(HUDFestiveTheme theme, const HUDFestiveGeometry& g) {
    FestiveRandom rng(2024);
    std::vector<HUDFestiveParticle> ps;
    while (ps.size() < 200) {
        std::vector<HUDFestiveParticle> burst;
        spawnFestiveParticles(burst, festiveKindSpecs(theme), g,
                              {22, static_cast<int>(ps.size() % 5), ps.size() % 2 ? 1.0 : -1.0, 0.6}, rng);
        for (auto& p : burst) {
            p.life = 1e9;  // nobody dies during the measurement
            if (ps.size() < 200) ps.push_back(p);
        }
    }
    return ps;
}

void BM_FestivePhysicsStep200(benchmark::State& state) {
    HUDFestiveGeometry g;
    g.size = {640, 120};
    g.floorY = 115;
    for (int i = 0; i < 5; ++i) g.itemAnchors.push_back({64.0 + 128 * i, 50});
    g.rowSpanX = {0, 640};
    const auto theme = static_cast<HUDFestiveTheme>(state.range(0));
    const auto specs = festiveKindSpecs(theme);
    const auto initial = liveParticles(theme, g);
    auto particles = initial;
    int steps = 0;
    for (auto _ : state) {
        stepFestiveParticles(particles, specs, g, 1.0 / 60.0);
        benchmark::DoNotOptimize(particles.data());
        // Restart the flight now and then so that flying, bouncing and resting all take part.
        if (++steps % 180 == 0 || particles.size() < 200) {
            state.PauseTiming();
            particles = initial;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_FestivePhysicsStep200)
    ->Arg(static_cast<int>(HUDFestiveTheme::christmas))
    ->Arg(static_cast<int>(HUDFestiveTheme::halloween));

}  // namespace
