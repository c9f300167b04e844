// The festive decoration as the Switch Bar shows it on a Retina screen (2x), against reference
// pictures: every festival's particle figures at two moments of their tumble and twinkle, and the
// Christmas perimeter on bars of several sizes, in both appearances, with a glow trail lighting
// part of the garland. Shapes, mirrorings, proportions and the twinkle's phases all show here.

#include <gtest/gtest.h>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/hud_christmas_perimeter_canvas_view.h"
#include "festive_hud/hud_festive_state.h"
#include "festive_test_support.h"
#include "gfx/render_target.h"
#include "support/fresh_world.h"
#include "support/golden_image.h"

namespace quillmar {
namespace {

constexpr double kCell = 30;
const gfx::Color kDarkBar = gfx::Color::rgb(0.118, 0.118, 0.129);
const gfx::Color kLightBar = gfx::Color::rgb(0.941, 0.941, 0.949);

// Rows: every festival on a dark bar, then the festivals whose figures look at the appearance on a
// light one. Columns: each kind young (seed 0.3) and older (seed 0.8), so seed choices show too.
TEST(FestivePictures, EveryParticleFigureAtTwoMomentsOfItsLife) {
    std::vector<std::pair<HUDFestiveTheme, bool>> rows;
    for (auto theme : kAllHUDFestiveThemes) rows.emplace_back(theme, true);
    for (auto theme : {HUDFestiveTheme::christmas, HUDFestiveTheme::stPatricks, HUDFestiveTheme::newYear})
        rows.emplace_back(theme, false);
    const gfx::Size sheet{12 * kCell, kCell * static_cast<double>(rows.size())};
    auto target = gfx::render(sheet, 2, [&](gfx::GraphicsContext& ctx) {
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const auto [theme, dark] = rows[row];
            const double top = kCell * static_cast<double>(row);
            ctx.fill(gfx::Path::rect({0, top, sheet.width, kCell}), dark ? kDarkBar : kLightBar);
            const int kinds = static_cast<int>(festiveKindSpecs(theme).size());
            for (int kind = 0; kind < kinds; ++kind)
                for (int moment = 0; moment < 2; ++moment) {
                    HUDFestiveParticle p;
                    p.kind = kind;
                    p.size = 13;
                    p.seed = moment == 0 ? 0.3 : 0.8;
                    p.age = moment == 0 ? 0.4 : 1.1;
                    p.life = 2.2;
                    p.vx = 70;
                    p.vy = -40;
                    gfx::GraphicsContext cell = ctx;
                    cell.translateBy(kCell * (2 * kind + moment) + kCell / 2, top + kCell / 2);
                    withFestiveArt(theme, [&]<class Art>() { Art::draw(p, cell, dark, 1.0); });
                }
        }
    });
    testing::expectMatchesGolden("tests/festive_hud/golden/particle_figures.png", target->image());
}

class ChristmasPerimeterPictures : public testing::FreshWorldTest {};

// Four bars: a wide dark one whose garland glows where the selection opened, a wide light one at
// another moment of the twinkle, a short bar with a large corner radius (the radius is limited by
// its size) and a narrow light one with a small radius (the sprigs keep their smallest size).
TEST_F(ChristmasPerimeterPictures, GarlandBulbsSprigsAndBowOnBarsOfSeveralSizes) {
    testing::FixedPreferredLanguages::install(AppLanguage::en);
    testing::setToday(2025, 12, 24);
    auto& festive = HUDFestiveState::shared();
    festive.geometry.size = {400, 110};
    festive.armFestiveOverlay(0.8);
    advance(0.4);
    struct Bar {
        gfx::Rect frame;
        bool dark;
        double radius, time;
    };
    const Bar bars[] = {{{10, 10, 400, 110}, true, 22, 2.3},
                        {{10, 130, 400, 110}, false, 22, 7.9},
                        {{10, 250, 150, 80}, true, 60, 1.1},
                        {{200, 250, 120, 70}, false, 8, 4.4}};
    auto target = gfx::render({420, 340}, 2, [&](gfx::GraphicsContext& ctx) {
        for (const Bar& b : bars) {
            ctx.fill(gfx::Path::rect(b.frame), b.dark ? kDarkBar : kLightBar);
            gfx::GraphicsContext bar = ctx;
            bar.translateBy(b.frame.x, b.frame.y);
            drawChristmasPerimeter(bar, {b.frame.width, b.frame.height}, b.dark, b.radius, b.time);
        }
    });
    testing::expectMatchesGolden("tests/festive_hud/golden/christmas_perimeter.png", target->image());
}

}  // namespace
}  // namespace quillmar
