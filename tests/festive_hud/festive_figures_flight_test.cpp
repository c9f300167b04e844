// How each festival's figures fly once thrown: let go at rest in the middle of the bar, bats,
// ghosts and embers, New Year's bubbles and the mid-autumn stars drift up while everything else
// sinks, the heavy figures fastest; and which figures come to rest on the bar's floor.

#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/festive_physics.h"

namespace quillmar {
namespace {

HUDFestiveGeometry bar() {
    HUDFestiveGeometry g;
    g.size = {300, 100};
    g.floorY = 95;
    return g;
}

// Height gained (positive: up) after half a second, let go at rest at the bar's middle.
double riseAfterHalfASecond(HUDFestiveTheme theme, int kind) {
    HUDFestiveParticle p;
    p.kind = kind;
    p.x = 150;
    p.y = 50;
    p.size = 8;
    p.seed = 0.25;
    p.life = 3;
    std::vector<HUDFestiveParticle> ps{p};
    for (int i = 0; i < 30; ++i) stepFestiveParticles(ps, festiveKindSpecs(theme), bar(), 1.0 / 60);
    return ps.empty() ? 0 : 50 - ps.front().y;
}

TEST(FestiveFlight, OnlyBatsGhostsEmbersBubblesAndStarsDriftUp) {
    using T = HUDFestiveTheme;
    const std::set<std::pair<T, int>> rising = {
        {T::halloween, 0}, {T::halloween, 2}, {T::halloween, 3}, {T::newYear, 2}, {T::midAutumn, 1}};
    for (auto theme : kAllHUDFestiveThemes)
        for (int kind = 0; kind < static_cast<int>(festiveKindSpecs(theme).size()); ++kind) {
            const double rise = riseAfterHalfASecond(theme, kind);
            if (rising.count({theme, kind}))
                EXPECT_GT(rise, 0.5) << rawValue(theme) << " kind " << kind;
            else
                EXPECT_LT(rise, -0.5) << rawValue(theme) << " kind " << kind;
        }
    // The bat climbs fastest of the risers; the candy corn and the lantern drop like stones.
    EXPECT_GT(riseAfterHalfASecond(T::halloween, 0), 3 * riseAfterHalfASecond(T::halloween, 2));
    EXPECT_LT(riseAfterHalfASecond(T::halloween, 1), -35);
    EXPECT_LT(riseAfterHalfASecond(T::halloween, 4), -35);
}

}  // namespace
}  // namespace quillmar
