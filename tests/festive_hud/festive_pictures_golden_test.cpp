// The festive decoration as the Switch Bar shows it on a Retina screen (2x), against reference
// pictures: every festival's particle figures at two moments of their tumble and twinkle, and the
// Christmas perimeter on bars of several sizes, in both appearances, with a glow trail lighting
// part of the garland. Shapes, mirrorings, proportions and the twinkle's phases all show here.

#include <algorithm>
#include <string>
#include <vector>

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

// "Christmas, dark: gift box": the festival, the bar and the particle kind a cell shows.
std::string caption(HUDFestiveTheme theme, bool dark, int kind) {
    static const std::vector<std::vector<const char*>> kinds = {
        {"gold coin", "four-leaf clover", "golden twinkle"},
        {"painted egg", "blossom petal", "daisy"},
        {"twinkling star", "streaking spark", "glitter star"},
        {"bat", "candy corn", "ghost", "ember", "jack-o'-lantern", "sweet"},
        {"oak leaf", "maple leaf", "acorn", "pumpkin"},
        {"gift box", "snowflake", "golden bell", "holly sprig"},
        {"confetti", "streamer", "bubble", "sparkle"},
        {"gold ingot", "red envelope", "blossom petal", "gold coin"},
        {"osmanthus floret", "twinkling star", "moon rabbit", "teardrop petal"},
        {"blossom petal", "gold leaf flake", "cord knot", "pine sprig"},
        {"gold lozenge", "blossom petal", "lucky pouch", "jade ring"}};
    static const char* const festivals[] = {"St Patrick's", "Easter",    "Fireworks",  "Halloween",
                                            "Harvest",      "Christmas", "New year",   "Lunar new year",
                                            "Mid-autumn",   "Oshogatsu", "Seollal"};
    const auto raw = static_cast<std::size_t>(rawValue(theme));
    return std::string(festivals[raw]) + (dark ? ", dark: " : ", light: ") + kinds[raw].at(static_cast<std::size_t>(kind));
}

// Rows: every festival on a dark bar, then the festivals whose figures look at the appearance on a
// light one. A cell per kind: the figure young (seed 0.3) and older (seed 0.8), so seed choices
// show too.
TEST(FestivePictures, EveryParticleFigureAtTwoMomentsOfItsLife) {
    std::vector<std::pair<HUDFestiveTheme, bool>> rows;
    for (auto theme : kAllHUDFestiveThemes) rows.emplace_back(theme, true);
    for (auto theme : {HUDFestiveTheme::christmas, HUDFestiveTheme::stPatricks, HUDFestiveTheme::newYear})
        rows.emplace_back(theme, false);
    constexpr int kColumns = 4;  // Halloween's six kinds take two rows
    const gfx::Size cellSize{200, kCell};
    std::vector<gfx::Image> cells;
    for (const auto& [theme, dark] : rows) {
        const int kinds = static_cast<int>(festiveKindSpecs(theme).size());
        for (int kind = 0; kind < (kinds + kColumns - 1) / kColumns * kColumns; ++kind) {
            if (kind >= kinds) {  // an empty cell, so that every festival starts a row
                cells.push_back(gfx::Image::create(1, 1, 2));
                continue;
            }
            auto target = gfx::render(cellSize, 2, [&](gfx::GraphicsContext& ctx) {
                ctx.fill(gfx::Path::rect({0, 0, cellSize.width, cellSize.height}), dark ? kDarkBar : kLightBar);
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
                    cell.translateBy((moment + 1.5) * kCell, kCell / 2);
                    withFestiveArt(theme, [&]<class Art>() { Art::draw(p, cell, dark, 1.0); });
                }
            });
            cells.push_back(testing::captioned(target->image(), caption(theme, dark, kind)));
        }
    }
    testing::expectMatchesGolden("tests/festive_hud/golden/particle_figures.png", testing::sheetOf(cells, kColumns));
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
        gfx::Size size;
        bool dark;
        double radius, time;
        const char* caption;
    };
    const Bar bars[] = {{{400, 110}, true, 22, 2.3, "400 × 110, dark, radius 22, at 2.3 s, glowing"},
                        {{400, 110}, false, 22, 7.9, "400 × 110, light, radius 22, at 7.9 s"},
                        {{150, 80}, true, 60, 1.1, "150 × 80, dark, radius 60, at 1.1 s"},
                        {{120, 70}, false, 8, 4.4, "120 × 70, light, radius 8, at 4.4 s"}};
    constexpr double kMargin = 10;  // the garland reaches a little past the bar's edge
    std::vector<gfx::Image> cells;
    for (const Bar& b : bars) {
        // Small bars get room on their right for the whole caption.
        auto target = gfx::render({std::max(b.size.width + 2 * kMargin, 220.0), b.size.height + 2 * kMargin}, 2,
                                  [&](gfx::GraphicsContext& ctx) {
                                      ctx.fill(gfx::Path::rect({kMargin, kMargin, b.size.width, b.size.height}),
                                               b.dark ? kDarkBar : kLightBar);
                                      ctx.translateBy(kMargin, kMargin);
                                      drawChristmasPerimeter(ctx, b.size, b.dark, b.radius, b.time);
                                  });
        cells.push_back(testing::captioned(target->image(), b.caption));
    }
    testing::expectMatchesGolden("tests/festive_hud/golden/christmas_perimeter.png", testing::sheetOf(cells, 2));
}

}  // namespace
}  // namespace quillmar
