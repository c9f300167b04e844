// The About card's animations as a Retina screen shows them (2x), against reference pictures:
// the dissolve of every East Asian egg at three moments of its play with the pointer resting on the
// card and a wake puff drifting behind it, the icon's hint and tap bursts through their
// timelines, and the theme charms of every egg. Shapes, timetables, counts and the pointer's
// push all show here.

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/render_target.h"
#include "seasonal/artisan_dissolve_canvas_view.h"
#include "seasonal/artisan_icon_hint_canvas_view.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/theme_charm.h"
#include "support/fresh_world.h"
#include "support/golden_image.h"

namespace quillmar {
namespace {

using T = ArtisanCanvasTheme;
const gfx::Color kDarkCard = gfx::Color::rgb(0.16, 0.16, 0.17);
const gfx::Color kLightCard = gfx::Color::rgb(0.96, 0.96, 0.97);

// "Korean cranes, dark": what a cell of the sheets below shows.
std::string caption(T theme, bool dark) {
    static const char* const names[] = {
        "St Patrick's",  "Easter meadow",        "Fireworks",     "Halloween",           "Autumn harvest oak",
        "Christmas",     "Spring meadow",        "Summer starlight", "Winter aurora hearth", "Lunar new year",
        "Jade lotus",    "Korean cranes",        "Harvest moon",  "Kyoto spring sakura", "Kyoto summer maple",
        "Kyoto autumn maple", "Kyoto winter plum"};
    static_assert(std::size(names) == kArtisanCanvasThemeCount);
    return std::string(names[static_cast<int>(theme)]) + (dark ? ", dark" : ", light");
}

std::string twoPlaces(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

SeasonalEasterEgg eggOf(T theme) {
    for (const auto& egg : SeasonalEasterEgg::qaRotation())
        if (egg.canvasTheme == theme) return egg;
    return SeasonalEasterEgg::qaRotation().front();
}

class CraftPictures : public testing::FreshWorldTest {};

TEST_F(CraftPictures, EastAsianDissolvesThroughTheirPlayWithThePointerOnTheCard) {
    // The card's top-left corner sits at (16, 83) in the window; the pointer rests over its
    // middle and a puff it left a third of a second ago drifts to the right. A row per theme, at
    // three moments; dark and light rows alternate.
    auto& wake = PointerWake::shared();
    wake.currentWindowCursor = Point{16 + 250, 83 + 40};
    wake.cursorIsMoving = true;
    wake.lastCursorSampleTime = 10.3;
    wake.wakePuffs = {{{16 + 150, 83 + 30}, {320, -40}, 10.0}};
    const T themes[] = {T::lunarNewYearSpectacle, T::summerJadeLotus,   T::koreanCranesGeumbak,
                        T::harvestMoonOsmanthus,  T::kyotoSpringSakura, T::kyotoSummerAoMomiji,
                        T::kyotoAutumnMomiji,     T::kyotoWinterPlum};
    const gfx::Size card{448, 80};
    const double kMoments[] = {0.35, 0.75, 0.92};
    std::vector<gfx::Image> cells;
    for (int row = 0; row < 8; ++row)
        for (double moment : kMoments) {
            const bool dark = row % 2 == 0;
            auto target = gfx::render(card, 2, [&](gfx::GraphicsContext& ctx) {
                ctx.fill(gfx::Path::rect({0, 0, card.width, card.height}), dark ? kDarkCard : kLightCard);
                ArtisanDissolveCanvasView::renderDissolveScene(ctx, card, eggOf(themes[row]), moment, dark, false);
            });
            cells.push_back(testing::captioned(target->image(), caption(themes[row], dark) + ", progress " +
                                                                    twoPlaces(moment)));
        }
    testing::expectMatchesGolden("tests/seasonal/golden/east_asian_dissolves.png", testing::sheetOf(cells, 3));
}

TEST_F(CraftPictures, IconHintAndTapBurstsThroughTheirTimelines) {
    // First the hint of a spring egg at five moments, then the first tap's burst and the second
    // tap's at two moments, on a dark card; then the same for the lunar new year on a light one.
    // A cell is as tall as the card, and wide enough for the burst's shards.
    const gfx::Size cell{200, 80};
    std::vector<gfx::Image> cells;
    for (int row = 0; row < 2; ++row) {
        const bool dark = row == 0;
        const T theme = row == 0 ? T::springMeadow : T::lunarNewYearSpectacle;
        for (int column = 0; column < 8; ++column) {
            ArtisanIconHintCanvasView view{eggOf(theme), dark, std::nullopt, 0, std::nullopt};
            std::string what = caption(theme, dark) + ": ";
            if (column < 5) {
                view.hintProgress = 0.05 + 0.2 * column;
                what += "hint " + twoPlaces(*view.hintProgress);
            } else {
                view.tapBurstLevel = column == 5 ? 1 : 2;
                view.tapBurstProgress = column == 7 ? 0.6 : 0.3;
                what += "tap " + std::to_string(view.tapBurstLevel) + " at " + twoPlaces(*view.tapBurstProgress);
            }
            auto target = gfx::render(cell, 2, [&](gfx::GraphicsContext& ctx) {
                ctx.fill(gfx::Path::rect({0, 0, cell.width, cell.height}), dark ? kDarkCard : kLightCard);
                ArtisanIconHintCanvasView::renderIconHint(ctx, cell, view, false);
            });
            cells.push_back(testing::captioned(target->image(), what));
        }
    }
    testing::expectMatchesGolden("tests/seasonal/golden/icon_hint_and_bursts.png", testing::sheetOf(cells, 4));
}

TEST_F(CraftPictures, EveryThemesCharmsAlternateByIndexAndPhase) {
    // A cell per theme and appearance, dark on the left: indices 0...5 at an early phase, then at a
    // late one. The Korean cranes' charms 0 and 3 are white in both appearances (the cranes'
    // feathers), so they show on the dark card and hardly on the light one.
    constexpr double kCell = 28;
    std::vector<gfx::Image> cells;
    for (int theme = 0; theme < kArtisanCanvasThemeCount; ++theme)
        for (bool dark : {true, false}) {
            auto target = gfx::render({12 * kCell, kCell}, 2, [&](gfx::GraphicsContext& ctx) {
                ctx.fill(gfx::Path::rect({0, 0, 12 * kCell, kCell}), dark ? kDarkCard : kLightCard);
                for (int column = 0; column < 12; ++column) {
                    gfx::GraphicsContext cell = ctx;
                    cell.translateBy((column + 0.5) * kCell, 0.5 * kCell);
                    drawThemeCharm(cell, static_cast<T>(theme), column % 6, dark, 11, column < 6 ? 0.2 : 0.8);
                }
            });
            cells.push_back(testing::captioned(target->image(), caption(static_cast<T>(theme), dark) +
                                                                    ": charms 0-5 at phase 0.2, then at 0.8"));
        }
    testing::expectMatchesGolden("tests/seasonal/golden/theme_charms.png", testing::sheetOf(cells, 2));
}

}  // namespace
}  // namespace quillmar
