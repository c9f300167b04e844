#include "festive_hud/festive_physics.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "festive_hud/clamped_index.h"
#include "festive_hud/festive_art_table.h"
#include "festive_hud/festive_particle_spawner.h"

namespace quillmar {
namespace {

constexpr double kDt = 1.0 / 60.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

HUDFestiveGeometry barGeometry(bool vertical = false) {
    HUDFestiveGeometry g;
    g.size = {300, 100};
    g.floorY = 95;
    g.isVertical = vertical;
    g.itemAnchors = {{50, 40}, {150, 40}, {250, 40}};
    g.rowSpanX = {20, 280};
    return g;
}

// A kind that only moves by its velocity: no gravity, drag or flutter.
HUDFestiveKindSpec inertKind(double restitution, bool bounces = true) {
    HUDFestiveKindSpec k;
    k.gravityScale = 0;
    k.dragPerSec = 0;
    k.flutterAmp = 0;
    k.restitution = restitution;
    k.bouncesOnFloor = bounces;
    return k;
}

HUDFestiveParticle particleAt(double x, double y, double vx, double vy) {
    HUDFestiveParticle p;
    p.x = x;
    p.y = y;
    p.vx = vx;
    p.vy = vy;
    p.size = 10;
    p.life = 5;
    return p;
}

bool isFinite(const HUDFestiveParticle& p) {
    for (double v : {p.x, p.y, p.vx, p.vy, p.rot, p.spin, p.size, p.seed, p.age, p.life, p.gravityMul, p.dragMul})
        if (!std::isfinite(v)) return false;
    return true;
}

TEST(FestivePhysicsTest, FloorBounceRestAndWalls) {
    const auto g = barGeometry();
    const std::vector<HUDFestiveKindSpec> half{inertKind(0.5)};

    // Landing at 200 with restitution 0.5 rebounds at 100; at 50 it rests at once (25 < 42).
    std::vector<HUDFestiveParticle> ps{particleAt(100, 89, 30, 200), particleAt(150, 89.5, 0, 50)};
    ps[0].spin = 2;
    stepFestiveParticles(ps, half, g, kDt);
    ASSERT_EQ(ps.size(), 2u);
    EXPECT_EQ(ps[0].y, 90);  // the floor line less half the size
    EXPECT_DOUBLE_EQ(ps[0].vy, -100);
    EXPECT_DOUBLE_EQ(ps[0].vx, 30 * 0.78);
    EXPECT_DOUBLE_EQ(ps[0].spin, 2 * 0.55);
    EXPECT_DOUBLE_EQ(ps[0].rot, 2 * kDt);  // this step turns with the spin before the bounce
    EXPECT_EQ(ps[0].bounces, 1);
    EXPECT_FALSE(ps[0].restingOnFloor);
    EXPECT_TRUE(ps[1].restingOnFloor);
    EXPECT_EQ(ps[1].vy, 0);

    // A fourth bounce always rests, whatever the speed.
    const std::vector<HUDFestiveKindSpec> elastic{inertKind(1.0)};
    std::vector<HUDFestiveParticle> hard{particleAt(100, 89, 0, 3000)};
    hard[0].bounces = 3;
    stepFestiveParticles(hard, elastic, g, kDt);
    EXPECT_TRUE(hard[0].restingOnFloor);

    // A resting particle slides to a stop on the floor and no longer falls.
    std::vector<HUDFestiveParticle> resting{particleAt(100, 90, 60, 0)};
    resting[0].restingOnFloor = true;
    for (int i = 0; i < 120; ++i) stepFestiveParticles(resting, elastic, g, kDt);
    EXPECT_EQ(resting[0].y, 90);
    EXPECT_LT(std::fabs(resting[0].vx), 0.2);

    // Kinds that do not bounce fall through the floor and leave below the bar.
    const std::vector<HUDFestiveKindSpec> through{inertKind(0.5, false)};
    std::vector<HUDFestiveParticle> falling{particleAt(100, 89, 0, 200)};
    stepFestiveParticles(falling, through, g, kDt);
    EXPECT_GT(falling[0].y, 90);

    // Walls: the centre stays half the size inside and rebounds at 0.45 of its speed.
    std::vector<HUDFestiveParticle> walls{particleAt(6, 40, -120, 0), particleAt(294, 40, 120, 0)};
    stepFestiveParticles(walls, half, g, kDt);
    EXPECT_EQ(walls[0].x, 5);
    EXPECT_DOUBLE_EQ(walls[0].vx, 54);
    EXPECT_EQ(walls[1].x, 295);
    EXPECT_DOUBLE_EQ(walls[1].vx, -54);

    // With floorY 0 the floor is the bottom edge.
    auto noFloor = g;
    noFloor.floorY = 0;
    std::vector<HUDFestiveParticle> edge{particleAt(100, 94, 0, 200)};
    stepFestiveParticles(edge, half, noFloor, kDt);
    EXPECT_EQ(edge[0].y, 95);
}

TEST(FestivePhysicsTest, DeathAndStepLength) {
    const auto g = barGeometry();
    const std::vector<HUDFestiveKindSpec> specs{inertKind(0.5, false)};
    std::vector<HUDFestiveParticle> ps{particleAt(100, 40, 0, 0), particleAt(110, 139.9, 0, 600),
                                       particleAt(120, -59.9, 0, -600), particleAt(130, 40, 0, 0)};
    ps[0].age = 4.99;  // dies of age this step
    stepFestiveParticles(ps, specs, g, kDt);
    ASSERT_EQ(ps.size(), 1u);  // the others left below (H + 40) and above (-60)
    EXPECT_EQ(ps[0].x, 130);   // survivors keep their order

    EXPECT_DOUBLE_EQ(festiveStepInterval(0.5), 1.0 / 30.0);  // a stalled frame counts as 1/30 s
    EXPECT_DOUBLE_EQ(festiveStepInterval(0.001), 1.0 / 240.0);
    EXPECT_DOUBLE_EQ(festiveStepInterval(kNaN), 1.0 / 240.0);
    EXPECT_DOUBLE_EQ(festiveStepInterval(kDt), kDt);

    // Kinds beyond either end of the table use the nearest row instead of reading past it.
    std::vector<HUDFestiveParticle> odd{particleAt(100, 40, 0, 0), particleAt(100, 40, 0, 0)};
    odd[0].kind = -5;
    odd[1].kind = 1 << 30;
    stepFestiveParticles(odd, festiveKindSpecs(HUDFestiveTheme::christmas), g, kDt);
    EXPECT_EQ(odd.size(), 2u);
}

TEST(FestivePhysicsTest, SpawnerLimitsAnchorsAndDirection) {
    FestiveRandom rng(42);
    const auto specs = festiveKindSpecs(HUDFestiveTheme::fireworks);
    auto g = barGeometry();
    std::vector<HUDFestiveParticle> ps;

    EXPECT_EQ(spawnFestiveParticles(ps, specs, g, {68, 0, 1, 0}, rng), 68);
    EXPECT_EQ(spawnFestiveParticles(ps, specs, g, {8, 0, 1, 0}, rng), 4);
    EXPECT_EQ(spawnFestiveParticles(ps, specs, g, {8, 0, 1, 0}, rng), 0);
    EXPECT_EQ(ps.size(), 72u);

    // Nothing before the bar is larger than 20 x 20 points or when its size is not finite.
    ps.clear();
    for (gfx::Size s : {gfx::Size{20, 100}, gfx::Size{300, 20}, gfx::Size{kNaN, 100}, gfx::Size{kInf, 100}}) {
        auto small = g;
        small.size = s;
        EXPECT_EQ(spawnFestiveParticles(ps, specs, small, {22, 0, 1, 0}, rng), 0);
    }

    // An index without an anchor (or a non-finite one) starts around (0.5 W, 0.35 H).
    g.itemAnchors.push_back({kNaN, 40});
    for (int index : {-1, 3, 99}) {
        ps.clear();
        spawnFestiveParticles(ps, specs, g, {22, index, 1, 0}, rng);
        for (const auto& p : ps) {
            EXPECT_NEAR(p.x, 150, 10);
            EXPECT_GE(p.y, 35 - 8);
            EXPECT_LE(p.y, 35 + 4);
        }
    }

    // On the strip the hop direction sprays sideways; on the list it only nudges vy.
    auto meanVx = [&](const HUDFestiveGeometry& geo, double direction) {
        std::vector<HUDFestiveParticle> burst;
        double sum = 0;
        for (int i = 0; i < 20; ++i) {
            burst.clear();
            spawnFestiveParticles(burst, specs, geo, {22, 1, direction, 0.5}, rng);
            for (const auto& p : burst) sum += p.vx;
        }
        return sum / (20 * 22);
    };
    EXPECT_GT(meanVx(g, 1), 40);
    EXPECT_LT(meanVx(g, -1), -40);
    const auto list = barGeometry(true);
    EXPECT_NEAR(meanVx(list, 1), 0, 15);
    ps.clear();
    spawnFestiveParticles(ps, specs, list, {22, 1, 1, 0}, rng);
    for (const auto& p : ps) {
        EXPECT_GE(p.x, 20);
        EXPECT_LE(p.x, 280);
    }

    // Bad direction or intensity values are contained.
    ps.clear();
    spawnFestiveParticles(ps, specs, g, {22, 1, kNaN, kInf}, rng);
    for (const auto& p : ps) EXPECT_TRUE(isFinite(p));
}

TEST(FestivePhysicsTest, DeterministicAndFiniteOverTenThousandSteps) {
    // The same seed gives the same particles, step for step.
    auto run = [](std::uint64_t seed) {
        FestiveRandom rng(seed);
        const auto specs = festiveKindSpecs(HUDFestiveTheme::halloween);
        const auto g = barGeometry();
        std::vector<HUDFestiveParticle> ps;
        spawnFestiveParticles(ps, specs, g, {22, 1, 1, 1}, rng);
        for (int i = 0; i < 90; ++i) stepFestiveParticles(ps, specs, g, kDt);
        return ps;
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));

    // Every festival, bursts kept topped up, 10,000 steps: nothing ever becomes NaN, and every
    // particle stays inside the walls and above the floor line of the kinds that bounce.
    FestiveRandom rng(11);
    const auto g = barGeometry();
    for (HUDFestiveTheme theme : kAllHUDFestiveThemes) {
        const auto specs = festiveKindSpecs(theme);
        std::vector<HUDFestiveParticle> ps;
        bool sane = true;
        for (int step = 0; step < 10'000 && sane; ++step) {
            if (ps.size() < 50) spawnFestiveParticles(ps, specs, g, {22, step % 4, step % 2 ? 1.0 : -1.0, 0.7}, rng);
            stepFestiveParticles(ps, specs, g, kDt);
            for (const auto& p : ps) {
                const auto& spec = specs[clampedIndex(static_cast<std::int64_t>(p.kind), specs.size())];
                sane = sane && isFinite(p) && p.x >= p.size / 2 - 1e-9 && p.x <= 300 - p.size / 2 + 1e-9 &&
                       (!spec.bouncesOnFloor || p.y <= 95 - p.size / 2 + 1e-9);
            }
        }
        EXPECT_TRUE(sane) << rawValue(theme);
    }
}

TEST(FestivePhysicsTest, ClampedIndexNeverLeavesTheTable) {
    EXPECT_EQ(clampedIndex(2.7, 4), 2u);
    for (double bad : {kNaN, -kInf, -1.0}) EXPECT_EQ(clampedIndex(bad, 4), 0u);
    for (double big : {kInf, 1e300, 4.0}) EXPECT_EQ(clampedIndex(big, 4), 3u);
    EXPECT_EQ(clampedIndex(std::int64_t{-3}, 4), 0u);
    EXPECT_EQ(wrappedIndex(kNaN, 4), 0u);
    EXPECT_EQ(wrappedIndex(std::int64_t{-1}, 11), 10u);
}

}  // namespace
}  // namespace quillmar
