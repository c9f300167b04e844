// The About card's animations as a Retina screen shows them (2x), against reference pictures:
// the dissolve of every East Asian egg at three moments of its play with the pointer resting on the
// card and a wake puff drifting behind it, the icon's hint and tap bursts through their
// timelines, and the theme charms of every egg. Shapes, timetables, counts and the pointer's
// push all show here.

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

SeasonalEasterEgg eggOf(T theme) {
    for (const auto& egg : SeasonalEasterEgg::qaRotation())
        if (egg.canvasTheme == theme) return egg;
    return SeasonalEasterEgg::qaRotation().front();
}

class CraftPictures : public testing::FreshWorldTest {};

TEST_F(CraftPictures, EastAsianDissolvesThroughTheirPlayWithThePointerOnTheCard) {
    // The card's top-left corner sits at (16, 83) in the window; the pointer rests over its
    // middle and a puff it left a third of a second ago drifts to the right.
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
    auto target = gfx::render({3 * card.width, 8 * card.height}, 2, [&](gfx::GraphicsContext& ctx) {
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 3; ++column) {
                const bool dark = row % 2 == 0;
                gfx::GraphicsContext frame = ctx;
                frame.translateBy(column * card.width, row * card.height);
                frame.fill(gfx::Path::rect({0, 0, card.width, card.height}), dark ? kDarkCard : kLightCard);
                ArtisanDissolveCanvasView::renderDissolveScene(frame, card, eggOf(themes[row]), kMoments[column],
                                                               dark, false);
            }
    });
    testing::expectMatchesGolden("tests/seasonal/golden/east_asian_dissolves.png", target->image());
}

TEST_F(CraftPictures, IconHintAndTapBurstsThroughTheirTimelines) {
    // Top row: the hint of a spring egg at five moments, then the first tap's burst and the second
    // tap's at two moments; bottom row the same for the lunar new year on a light card.
    const gfx::Size cell{128, 72};
    auto target = gfx::render({8 * cell.width, 2 * cell.height}, 2, [&](gfx::GraphicsContext& ctx) {
        for (int row = 0; row < 2; ++row) {
            const bool dark = row == 0;
            const auto egg = eggOf(row == 0 ? T::springMeadow : T::lunarNewYearSpectacle);
            for (int column = 0; column < 8; ++column) {
                ArtisanIconHintCanvasView view{egg, dark, std::nullopt, 0, std::nullopt};
                if (column < 5) {
                    view.hintProgress = 0.05 + 0.2 * column;
                } else {
                    view.tapBurstLevel = column == 5 ? 1 : 2;
                    view.tapBurstProgress = column == 7 ? 0.6 : 0.3;
                }
                gfx::GraphicsContext frame = ctx;
                frame.translateBy(column * cell.width, row * cell.height);
                frame.fill(gfx::Path::rect({0, 0, cell.width, cell.height}), dark ? kDarkCard : kLightCard);
                ArtisanIconHintCanvasView::renderIconHint(frame, cell, view, false);
            }
        }
    });
    testing::expectMatchesGolden("tests/seasonal/golden/icon_hint_and_bursts.png", target->image());
}

TEST_F(CraftPictures, EveryThemesCharmsAlternateByIndexAndPhase) {
    // A row per theme: indices 0...5 at an early phase, then at a late one; dark and light rows
    // alternate.
    constexpr double kCell = 28;
    auto target = gfx::render({12 * kCell, kArtisanCanvasThemeCount * kCell}, 2, [&](gfx::GraphicsContext& ctx) {
        for (int row = 0; row < kArtisanCanvasThemeCount; ++row) {
            const bool dark = row % 2 == 0;
            ctx.fill(gfx::Path::rect({0, row * kCell, 12 * kCell, kCell}), dark ? kDarkCard : kLightCard);
            for (int column = 0; column < 12; ++column) {
                gfx::GraphicsContext cell = ctx;
                cell.translateBy((column + 0.5) * kCell, (row + 0.5) * kCell);
                drawThemeCharm(cell, static_cast<T>(row), column % 6, dark, 11, column < 6 ? 0.2 : 0.8);
            }
        }
    });
    testing::expectMatchesGolden("tests/seasonal/golden/theme_charms.png", target->image());
}

}  // namespace
}  // namespace quillmar
