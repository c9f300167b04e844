// Every scene renderer against reference pictures drawn as a Retina screen shows them (2x), at
// moments spread over the whole play (the closing fades included) and with the pointer resting
// over the scene and a wake puff drifting behind it, so that what the pointer does shows too.
// Window-wide scenes fill the settings window (480 x 592), card scenes the About card (448 x 80).

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/render_target.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "support/fresh_world.h"
#include "support/golden_image.h"

namespace quillmar {
namespace {

using Renderer = void (*)(gfx::GraphicsContext&, bool, double, double, double);

const gfx::Color kDarkWindow = gfx::Color::rgb(0.118, 0.118, 0.129);
const gfx::Color kLightWindow = gfx::Color::rgb(0.941, 0.941, 0.949);

void fireworksCard(gfx::GraphicsContext& c, bool dark, double w, double h, double p) {
    drawFireworksDissolve(c, dark, w, h, p, w - 29, h / 2);  // the emblem point
}

struct Scene {
    const char* name;
    Renderer draw;
    const char* caption;
};

// Window scenes with the moments they are pictured at (their bursts, flashes, fountains, landings
// and frost come and go at different times) and where the pointer rests at each: among the bursts
// and bats, by the pot, on a ghost, in the closing fountain.
struct Moment {
    double progress;
    Point pointer;
};
struct WindowScene {
    const char* name;
    Renderer draw;
    std::vector<Moment> moments;
};
const WindowScene kWindowScenes[] = {
    {"fireworks_window", drawFireworksWindowSpectacle, {{0.3, {300, 200}}, {0.6, {404, 470}}, {0.72, {430, 500}}, {0.92, {420, 540}}}},
    {"christmas_window", drawChristmasWindowSpectacle, {{0.3, {300, 200}}, {0.6, {404, 470}}, {0.8, {430, 500}}, {0.95, {420, 540}}}},
    {"halloween_window", drawHalloweenWindowSpectacle, {{0.3, {300, 200}}, {0.65, {428, 300}}, {0.92, {430, 500}}}},
    {"stpatricks_window", drawStPatricksWindowSpectacle, {{0.3, {300, 200}}, {0.5, {404, 470}}, {0.92, {430, 500}}}},
};
const Scene kCardScenes[] = {{"fireworks_card", fireworksCard, "Fireworks"},
                             {"easter_meadow_card", drawEasterMeadowDissolve, "Easter meadow"},
                             {"spring_meadow_card", drawSpringMeadowDissolve, "Spring meadow"},
                             {"christmas_card", drawChristmasDissolve, "Christmas"},
                             {"winter_hearth_card", drawWinterAuroraHearthDissolve, "Winter aurora hearth"},
                             {"halloween_card", drawHalloweenDissolve, "Halloween"},
                             {"autumn_oak_card", drawAutumnHarvestOakDissolve, "Autumn harvest oak"},
                             {"summer_starlight_card", drawSummerStarlightDissolve, "Summer starlight"}};

class SceneGoldens : public testing::FreshWorldTest {
protected:
    // The pointer rests at `at` (window coordinates) and moves; a puff it left 0.3 s ago, 60
    // points further left, drifts to the right.
    static void pointerAt(Point at) {
        auto& wake = PointerWake::shared();
        wake.currentWindowCursor = at;
        wake.cursorIsMoving = true;
        wake.lastCursorSampleTime = 10.3;
        wake.wakePuffs = {{at - Point{60, 10}, {300, -60}, 10.0}};
    }
    static std::string golden(const char* name, const char* suffix) {
        return std::string("tests/seasonal/scenes/golden/") + name + suffix + ".png";
    }
};

TEST_F(SceneGoldens, WindowScenesFromTheirRiseToTheirClosingFade) {
    for (const WindowScene& s : kWindowScenes)
        for (const Moment& m : s.moments) {
            const double p = m.progress;
            pointerAt(m.pointer);
            auto target = gfx::render({480, 592}, 2, [&](gfx::GraphicsContext& ctx) {
                ctx.fill(gfx::Path::rect({0, 0, 480, 592}), kDarkWindow);
                s.draw(ctx, true, 480, 592, p);
            });
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "_p%02d", static_cast<int>(p * 100 + 0.5));
            testing::expectMatchesGolden(golden(s.name, suffix), target->image());
        }
}

TEST_F(SceneGoldens, TheFireworksOnALightWindow) {
    pointerAt({160, 380});
    auto target = gfx::render({480, 592}, 2, [&](gfx::GraphicsContext& ctx) {
        ctx.fill(gfx::Path::rect({0, 0, 480, 592}), kLightWindow);
        drawFireworksWindowSpectacle(ctx, false, 480, 592, 0.55);
    });
    testing::expectMatchesGolden(golden("fireworks_window", "_light"), target->image());
}

// One sheet per card scene: a cell per moment, on a dark card but for the second.
TEST_F(SceneGoldens, CardScenesThroughTheirWholePlay) {
    // The card's corner is at (16, 83) in the window; the pointer rests somewhere else on the
    // card in each cell.
    const double moments[] = {0.25, 0.4, 0.75, 0.92};
    const char* const momentTexts[] = {"0.25", "0.4", "0.75", "0.92"};
    const Point pointers[] = {{60, 50}, {194, 69}, {150, 28}, {120, 40}};
    for (const Scene& s : kCardScenes) {
        std::vector<gfx::Image> cells;
        for (int row = 0; row < 4; ++row) {
            const bool dark = row != 1;
            pointerAt(pointers[row] + Point{16, 83});
            auto target = gfx::render({448, 80}, 2, [&](gfx::GraphicsContext& card) {
                card.fill(gfx::Path::rect({0, 0, 448, 80}), dark ? kDarkWindow : kLightWindow);
                s.draw(card, dark, 448, 80, moments[row]);
            });
            cells.push_back(testing::captioned(target->image(), std::string(s.caption) +
                                                                    (dark ? ", dark, progress " : ", light, progress ") +
                                                                    momentTexts[row]));
        }
        testing::expectMatchesGolden(golden(s.name, ""), testing::sheetOf(cells, 1));
    }
}

TEST_F(SceneGoldens, SeasonalMarksOfEveryVariant) {
    // A cell per mark and appearance, dark on the left: the Christmas and hearth winter marks,
    // then the autumn, spring and summer nature marks, each at its eight variants with the
    // intensity rising along the row.
    constexpr double kCell = 40;
    const ArtisanCanvasTheme nature[] = {ArtisanCanvasTheme::autumnHarvestOak, ArtisanCanvasTheme::springMeadow,
                                         ArtisanCanvasTheme::summerStarlight};
    const char* const names[] = {"Christmas winter mark", "Hearth winter mark", "Autumn oak mark",
                                 "Spring meadow mark", "Summer starlight mark"};
    std::vector<gfx::Image> cells;
    for (int kind = 0; kind < 5; ++kind)
        for (bool dark : {true, false}) {
            auto target = gfx::render({8 * kCell, kCell}, 2, [&](gfx::GraphicsContext& ctx) {
                ctx.fill(gfx::Path::rect({0, 0, 8 * kCell, kCell}), dark ? kDarkWindow : kLightWindow);
                for (int variant = 0; variant < 8; ++variant) {
                    gfx::GraphicsContext cell = ctx;
                    cell.translateBy((variant + 0.5) * kCell, 0.5 * kCell);
                    cell.scaleBy(2.5, 2.5);
                    const double intensity = variant / 7.0;
                    if (kind == 0)
                        drawWinterSeasonalMark(cell, ArtisanCanvasTheme::christmasSpectacle, variant, dark, 5.6, intensity);
                    else if (kind == 1)
                        drawWinterSeasonalMark(cell, ArtisanCanvasTheme::winterAuroraHearth, variant, dark, 4.8, intensity);
                    else
                        drawNatureSeasonalMark(cell, nature[kind - 2], variant, dark, 5.6, intensity);
                }
            });
            cells.push_back(testing::captioned(target->image(), std::string(names[kind]) +
                                                                    (dark ? ", dark" : ", light") +
                                                                    ": variants 0-7, intensity 0 to 1"));
        }
    testing::expectMatchesGolden("tests/seasonal/scenes/golden/seasonal_marks.png", testing::sheetOf(cells, 2));
}

}  // namespace
}  // namespace quillmar
