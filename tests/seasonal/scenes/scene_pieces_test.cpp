// The pieces the scenes are built from, on the recorded draw stream and on their paths.

#include <cmath>

#include <gtest/gtest.h>

#include "gfx/draw_recorder.h"
#include "seasonal/scenes/christmas_pieces.h"
#include "seasonal/scenes/christmas_window_pieces.h"
#include "seasonal/scenes/easter_art.h"
#include "seasonal/scenes/firework_burst.h"
#include "seasonal/scenes/meadow_pieces.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {
using gfx::Color;
using gfx::DrawRecord;
using gfx::Path;
using gfx::Point;

int subpaths(const Path& p) {
    int n = 0;
    for (const auto& e : p.elements()) n += e.kind == Path::ElementKind::move;
    return n;
}

bool hasPoint(const Path& p, Point q, double eps = 1e-9) {
    for (const auto& e : p.elements())
        for (const auto& pt : e.points)
            if (std::fabs(pt.x - q.x) < eps && std::fabs(pt.y - q.y) < eps) return true;
    return false;
}

class ScenePiecesTest : public testing::FreshWorldTest {
protected:
    std::shared_ptr<gfx::DrawRecorder> rec = gfx::DrawRecorder::make();
    gfx::GraphicsContext ctx = gfx::DrawRecorder::contextFor(rec);
    std::vector<DrawRecord> take() {
        auto r = rec->records();
        rec->clear();
        return r;
    }
};

TEST_F(ScenePiecesTest, BurstStreaksEndOneByOneAndTheShellSplitsIntoSparks) {
    const FireworkColors colors = fireworksColors(0, true);
    for (int kind : {0, 1, 2, 4}) {
        const FireworkBurst burst{kind, 0, 0, 0, 0, 0, 0.3, 60, 24, 0};
        std::vector<size_t> counts;
        for (double t : {0.5, 0.75, 0.85, 0.92, 0.99}) {
            drawFireworkBurst(ctx, burst, colors, 3, 200, 200, t, 1, 0, 0, true);
            counts.push_back(take().size());
        }
        EXPECT_GT(counts.front(), counts.back()) << "kind " << kind;
        EXPECT_GT(counts[2], counts[4]) << "kind " << kind;  // some streaks outlive others
    }
    // The splitting shell: shell streaks only before 0.45, shell and sparks together up to 0.56.
    const FireworkBurst shell{3, 0, 0, 0, 0, 0, 0.3, 60, 10, 2};
    drawFireworkBurst(ctx, shell, colors, 4, 200, 200, 0.4, 1, 0, 0, true);
    const size_t before = take().size();  // two segments and a dot per streak
    EXPECT_EQ(before, 30u);
    drawFireworkBurst(ctx, shell, colors, 4, 200, 200, 0.5, 1, 0, 0, true);
    const size_t both = take().size();
    drawFireworkBurst(ctx, shell, colors, 4, 200, 200, 0.7, 1, 0, 0, true);
    const size_t sparks = take().size();  // eight spark segments per streak, no flash any more
    EXPECT_EQ(sparks, 80u);
    EXPECT_GT(both, before + sparks);  // shell, flashes and sparks at once
}

TEST_F(ScenePiecesTest, PointerShiftsAWholeStreakByOneCappedDisplacement) {
    const FireworkBurst burst{0, 0, 0, 0, 0, 0, 0.3, 60, 12, 0};
    const FireworkColors colors = fireworksColors(1, false);
    drawFireworkBurst(ctx, burst, colors, 5, 200, 200, 0.3, 1, 0, 0, false);
    const auto rest = take();
    PointerWake::shared().currentWindowCursor = Point{200 + 40, 200 + 3};
    drawFireworkBurst(ctx, burst, colors, 5, 200, 200, 0.3, 1, 0, 0, false);
    const auto pushed = take();
    ASSERT_EQ(rest.size(), pushed.size());
    bool moved = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i].op != DrawRecord::Op::stroke) continue;
        const auto& a = rest[i].path.elements();
        const auto& b = pushed[i].path.elements();
        const Point tailShift = b.front().points[0] - a.front().points[0];
        const Point headShift = b.back().points[0] - a.back().points[0];
        EXPECT_NEAR(tailShift.x, headShift.x, 1e-9);
        EXPECT_NEAR(tailShift.y, headShift.y, 1e-9);
        EXPECT_LE(std::hypot(headShift.x, headShift.y), 40 + 1e-9);
        moved = moved || std::hypot(headShift.x, headShift.y) > 0.5;
    }
    EXPECT_TRUE(moved);
}

TEST_F(ScenePiecesTest, FireworkColoursFallBackToGoldWithCoolWhite) {
    for (bool dark : {false, true}) {
        const FireworkColors gold = fireworksColors(0, dark), other = fireworksColors(7, dark);
        const FireworkColors negative = fireworksColors(-1, dark), cool = fireworksColors(1, dark);
        EXPECT_EQ(other.primary, gold.primary);
        EXPECT_EQ(other.accent, cool.primary);  // cool white
        EXPECT_EQ(other.glint, gold.glint);     // warm white
        EXPECT_EQ(negative.primary, gold.primary);
    }
}

TEST_F(ScenePiecesTest, EggsCycleColoursByFourAndDecorationsByThree) {
    const EasterArt::Palette pal = EasterArt::palette(false);
    struct Expect {
        int variant;
        Color base, accent;
        DrawRecord::Op decoration;
    };
    const Expect cases[] = {
        {0, pal.robin, pal.cream, DrawRecord::Op::stroke},  {1, pal.blush, pal.butter, DrawRecord::Op::fill},
        {2, pal.butter, pal.lilac, DrawRecord::Op::stroke}, {3, pal.lilac, pal.mint, DrawRecord::Op::stroke},
        {4, pal.robin, pal.cream, DrawRecord::Op::fill},    {-1, pal.lilac, pal.mint, DrawRecord::Op::stroke},
    };
    for (const Expect& c : cases) {
        EasterArt::drawEgg(ctx, c.variant, pal, false, 6);
        const auto r = take();
        ASSERT_EQ(r.size(), 4u) << c.variant;  // body, decoration, highlight, outline
        EXPECT_EQ(r[0].colors[1], c.base) << c.variant;
        EXPECT_EQ(r[1].colors[0], c.accent.opacity(0.95)) << c.variant;
        EXPECT_EQ(r[1].op, c.decoration) << c.variant;
    }
    // Zigzag (0) and waves (-1, 2) differ in their curves; stroke widths ignore the size.
    for (double size : {3.0, 12.0}) {
        EasterArt::drawEgg(ctx, 2, pal, false, size);
        const auto r = take();
        EXPECT_EQ(r[1].strokeStyle.lineWidth, 0.75);
        EXPECT_EQ(r[3].strokeStyle.lineWidth, 0.6);
        EXPECT_NEAR(r[3].bounds.height, 2.3 * size, 0.05 * size);
    }
}

TEST_F(ScenePiecesTest, BunnyEarTipsFollowTheSwing) {
    const EasterArt::Palette pal = EasterArt::palette(true);
    EasterArt::drawBunny(ctx, pal.cream, pal, true, 0);
    const Path ears = take().front().path;
    EXPECT_TRUE(hasPoint(ears, {1.6, -22.4}));
    EXPECT_TRUE(hasPoint(ears, {-1.4, -20.7}, 1e-6));
    EasterArt::drawBunny(ctx, pal.cream, pal, true, 0.4);
    const Path swung = take().front().path;
    EXPECT_TRUE(hasPoint(swung, {3.6, -21.4}, 1e-9));  // front tip: right by 5p, down by 2.5|p|
}

TEST_F(ScenePiecesTest, DaisyPetalsAndWings) {
    drawMeadowDaisy(ctx, true, 10);
    auto dark = take();
    ASSERT_EQ(dark.size(), 2u);  // no petal outline in the dark appearance
    EXPECT_EQ(dark[0].colors[0], Color(0.99, 0.99, 0.97));
    // The first petal's tip points 0.2 radians below +x.
    EXPECT_TRUE(hasPoint(dark[0].path, {10 * std::cos(0.2), 10 * std::sin(0.2)}, 1e-9));
    drawMeadowDaisy(ctx, false, 10);
    auto light = take();
    ASSERT_EQ(light.size(), 3u);
    EXPECT_EQ(light[0].colors[0], Color::whiteColor());
    EXPECT_EQ(light[1].op, DrawRecord::Op::stroke);

    const Path right = butterflyWingPairPath(1), left = butterflyWingPairPath(-1);
    ASSERT_EQ(right.elements().size(), left.elements().size());
    for (size_t i = 0; i < right.elements().size(); ++i)
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(left.elements()[i].points[k].x, -right.elements()[i].points[k].x);
            EXPECT_EQ(left.elements()[i].points[k].y, right.elements()[i].points[k].y);
        }
    EXPECT_EQ(butterflyWingPairPath(0).boundingRect().width, 0);
}

TEST_F(ScenePiecesTest, SnowflakeDetailAndHollyMirror) {
    EXPECT_EQ(subpaths(snowflakePath(10, 0)), 6);
    EXPECT_EQ(subpaths(snowflakePath(10, -2)), 6);
    EXPECT_EQ(subpaths(snowflakePath(10, 1)), 18);
    EXPECT_EQ(subpaths(snowflakePath(10, 2)), 6 + 36 + 1);  // three branch pairs per arm and the hexagon
    EXPECT_NEAR(snowflakePath(10, 0).boundingRect().width, 20, 1e-9);
    const Path a = hollyLeafPath(1, 8), b = hollyLeafPath(-1, 8);
    for (size_t i = 0; i < a.elements().size(); ++i) {
        EXPECT_EQ(a.elements()[i].points[0].x, -b.elements()[i].points[0].x);
        EXPECT_EQ(a.elements()[i].points[0].y, b.elements()[i].points[0].y);
    }
    EXPECT_NEAR(a.boundingRect().maxX(), 8.16, 1e-9);
}

TEST_F(ScenePiecesTest, GarlandGrowsWithItsRevealAndBulbsLightWhenTheyDrop) {
    const XmasCozyPalette pal = XmasCozyPalette::make(false);
    PineGarland g;
    g.from = {0, 20};
    g.to = {300, 20};
    g.sag = 10;
    g.scale = 8;
    g.ornamentScale = 1;
    g.reveal = 0.001;
    g.ornamentCount = 5;
    drawPineGarland(ctx, pal, false, g);
    EXPECT_TRUE(take().empty());

    g.reveal = 1.7;  // more than all of it draws as all of it
    drawPineGarland(ctx, pal, false, g);
    const auto full = take();
    g.reveal = 1;
    drawPineGarland(ctx, pal, false, g);
    EXPECT_EQ(full.size(), take().size());
    int needles = 0;
    for (int set = 1; set <= 3; ++set) needles += subpaths(full[static_cast<size_t>(set)].path);
    EXPECT_EQ(needles, 45 * 4);  // the last node never grows past the threshold
    // The rope's middle hangs `sag` below the chord.
    EXPECT_NEAR(full[0].bounds.maxY(), 30, 0.2);

    // Bulbs that have not dropped show cap, bulb and highlight; dropped ones add their glow.
    g.dropProgress = 0;
    drawPineGarland(ctx, pal, false, g);
    const size_t dark = take().size();
    g.dropProgress = 1;
    drawPineGarland(ctx, pal, false, g);
    EXPECT_EQ(take().size(), dark + 5);
    // A negative count hangs no bulbs: rope, three needle sets, berries and their highlights.
    g.ornamentCount = -3;
    drawPineGarland(ctx, pal, false, g);
    EXPECT_EQ(take().size(), 6u);
}

TEST_F(ScenePiecesTest, FrostFernGrowsTwigByTwigAndIndexVariesOnlyTheTwigs) {
    EXPECT_TRUE(frostFernPath(1, 80, 0.01).isEmpty());
    EXPECT_EQ(subpaths(frostFernPath(1, 80, 0.05)), 1);
    EXPECT_EQ(subpaths(frostFernPath(1, 80, 0.081)), 1 + 4);
    EXPECT_EQ(subpaths(frostFernPath(1, 80, 0.5)), 1 + 4 * 3);
    EXPECT_EQ(subpaths(frostFernPath(1, 80, 1)), 1 + 4 * 6);
    const Path a = frostFernPath(1, 80, 1), b = frostFernPath(2, 80, 1);
    for (int k = 0; k <= 12; ++k) EXPECT_EQ(a.elements()[static_cast<size_t>(k)].points[0], b.elements()[static_cast<size_t>(k)].points[0]);
    EXPECT_NE(a, b);
}

TEST_F(ScenePiecesTest, CandleAndMugShowFlameAndSteamOnlyOnceRevealed) {
    const XmasCozyPalette pal = XmasCozyPalette::make(true);
    drawPillarCandle(ctx, pal, true, 50, 100, 30, 13, 0.4, 0.01);
    const size_t unlit = take().size();
    drawPillarCandle(ctx, pal, true, 50, 100, 30, 13, 0.4, 1);
    const auto lit = take();
    EXPECT_EQ(lit.size(), unlit + 4);  // glow, outer and inner flame, blue root
    EXPECT_NEAR(lit[unlit].bounds.width, 60, 1e-9);
    drawCocoaMug(ctx, pal, true, 100, 100, 0.4, 0.01);
    const size_t still = take().size();
    drawCocoaMug(ctx, pal, true, 100, 100, 0.4, 0.5);
    EXPECT_EQ(take().size(), still + 3);
}

TEST_F(ScenePiecesTest, WinterMarkPicksItsMotifByVariant) {
    const XmasCozyPalette pal = XmasCozyPalette::make(true);
    auto motif = [&](ArtisanCanvasTheme theme, int variant) {
        drawWinterSeasonalMark(ctx, theme, variant, true, 5.6, 0);
        return take();
    };
    // Holly: two leaves, veins, berries; plain snowflake: one stroke; sparkles: one fill.
    EXPECT_EQ(motif(ArtisanCanvasTheme::christmasSpectacle, 4).size(), 4u);
    EXPECT_EQ(motif(ArtisanCanvasTheme::christmasSpectacle, -1).size(), 1u);
    EXPECT_EQ(motif(ArtisanCanvasTheme::christmasSpectacle, -1)[0].op, DrawRecord::Op::stroke);
    const auto warm = motif(ArtisanCanvasTheme::winterAuroraHearth, -1);
    ASSERT_EQ(warm.size(), 1u);
    EXPECT_EQ(warm[0].colors[0], Color(1.0, 0.7, 0.3).opacity(0.9));
    EXPECT_EQ(motif(ArtisanCanvasTheme::winterAuroraHearth, 4)[0].strokeStyle.lineWidth, 0.8);
    EXPECT_EQ(motif(ArtisanCanvasTheme::christmasSpectacle, 2)[0].colors[0], pal.stardust.opacity(0.75));
    EXPECT_EQ(motif(ArtisanCanvasTheme::winterAuroraHearth, 0).size(), 2u);  // glow and figure
}

TEST_F(ScenePiecesTest, ChristmasDriftCrestStartsAtItsFixedHeight) {
    // At 0.95 the drift has reached its full 9 points and has not faded out.
    drawChristmasWindowSpectacle(ctx, true, 480, 592, 0.95);
    bool found = false;
    for (const auto& r : take()) {
        if (r.op != DrawRecord::Op::stroke || r.path.elements().empty()) continue;
        const Point first = r.path.elements().front().points[0];
        if (first.x == -4) {
            EXPECT_NEAR(first.y, 592 - 0.6559929808 * 9, 1e-9);
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace quillmar
