// The recorded draw streams of the seal, the pin, the theme charms, the dissolve canvas, the East
// Asian scenes and the window spectacle host: structure, fallbacks and bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "gfx/render_target.h"
#include "seasonal/artisan_collector_pin_view.h"
#include "seasonal/artisan_dissolve_canvas_view.h"
#include "seasonal/artisan_hanko_seal_view.h"
#include "seasonal/artisan_icon_hint_canvas_view.h"
#include "seasonal/artisan_window_spectacle_host_view.h"
#include "seasonal/blossom_charm.h"
#include "seasonal/east_asian_dissolve_scenes.h"
#include "seasonal/theme_charm.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using gfx::DrawRecord;
using gfx::DrawRecorder;
using T = ArtisanCanvasTheme;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class SeasonalDrawingTest : public testing::FreshWorldTest {
protected:
    std::shared_ptr<DrawRecorder> rec = DrawRecorder::make({440, 72});
    gfx::GraphicsContext ctx = DrawRecorder::contextFor(rec);

    std::vector<DrawRecord> prims() const { return rec->primitives(); }
    static SeasonalEasterEgg eggOf(T theme) {
        for (const auto& e : SeasonalEasterEgg::qaRotation())
            if (e.canvasTheme == theme) return e;
        return {};
    }
    void dissolve(T theme, double p, bool dark = false, bool reduceMotion = false, ui::Size size = {440, 72}) {
        rec->clear();
        ArtisanDissolveCanvasView::renderDissolveScene(ctx, size, eggOf(theme), p, dark, reduceMotion);
    }
};

TEST_F(SeasonalDrawingTest, PinRimIsSilverOnlyForTheSnowflakeAndBloomSettlesAt016) {
    for (PinMotif motif : kAllPinMotifs) {
        rec->clear();
        ArtisanCollectorPinView::renderPin(ctx, {36, 36}, motif);
        const auto p = prims();
        ASSERT_GE(p.size(), 5u);
        const auto& rim = p.front();
        EXPECT_EQ(rim.shadingKind, gfx::Shading::Kind::linearGradient);
        EXPECT_NEAR(rim.bounds.width, 32.8, 1e-6);
        const bool silver = rim.colors.front().blue > 0.99;
        EXPECT_EQ(silver, motif == PinMotif::winterSnowflake);
        EXPECT_EQ(p[1].colors.front(), enamelGradient(motif).first);
        // The figure sits in the middle; the gloss arc is last.
        EXPECT_EQ(p.back().op, DrawRecord::Op::stroke);
        EXPECT_NEAR(p.back().strokeStyle.lineWidth, 1.6, 1e-9);
    }
    EXPECT_DOUBLE_EQ(ArtisanCollectorPinView::bloomScale(std::nullopt), 1.0);
    EXPECT_NEAR(ArtisanCollectorPinView::bloomScale(0.0), 1.14, 1e-9);
    EXPECT_NEAR(ArtisanCollectorPinView::bloomScale(0.08), 1.14 - 0.14 * std::sin(std::acos(-1.0) / 4), 1e-9);
    EXPECT_DOUBLE_EQ(ArtisanCollectorPinView::bloomScale(0.16), 1.0);
    EXPECT_DOUBLE_EQ(ArtisanCollectorPinView::bloomScale(kNaN), 1.0);
}

TEST_F(SeasonalDrawingTest, SealBorderIsADashedDoubleLineAndStampSettles) {
    ArtisanHankoSealView::renderBorder(ctx, {34, 42}, true);
    const auto p = prims();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].strokeStyle.dash.size(), 6u);
    EXPECT_EQ(p[0].colors.front().withAlpha(1), ArtisanHankoSealView::inkColor(true));
    EXPECT_NEAR(p[1].bounds.width, 34 - 1.4 - 3.6, 1e-6);
    rec->clear();
    ArtisanHankoSealView::renderBorder(ctx, {6, 42}, true);
    EXPECT_TRUE(prims().empty());

    EXPECT_NEAR(ArtisanHankoSealView::stampScale(0.0), 1.15, 1e-9);
    EXPECT_NEAR(ArtisanHankoSealView::stampScale(0.075), 1.15 - 0.15 * std::sin(std::acos(-1.0) / 4), 1e-9);
    EXPECT_DOUBLE_EQ(ArtisanHankoSealView::stampScale(0.15), 1.0);
    EXPECT_DOUBLE_EQ(ArtisanHankoSealView::stampScale(std::nullopt), 1.0);
}

TEST_F(SeasonalDrawingTest, CharmsAlternateByIndexAndStayNearTheirSize) {
    // Kyoto winter: a snow crystal (strokes) for index 2, 5, ...; a plum blossom (fills) otherwise,
    // also for negative indices.
    for (int index : {-1, 0, 1, 2, 5, 7}) {
        rec->clear();
        drawThemeCharm(ctx, T::kyotoWinterPlum, index, false, 6, 0.5);
        const bool crystal = ((index % 3) + 3) % 3 == 2;
        ASSERT_FALSE(prims().empty());
        EXPECT_EQ(prims().front().op == DrawRecord::Op::stroke, crystal) << index;
    }
    // Spring petals cycle their colour with the index.
    rec->clear();
    for (int i = 0; i < 3; ++i) drawThemeCharm(ctx, T::kyotoSpringSakura, i, true, 6, 0.5);
    ASSERT_EQ(prims().size(), 3u);
    EXPECT_NE(prims()[0].colors, prims()[1].colors);
    EXPECT_NE(prims()[1].colors, prims()[2].colors);

    // Every East Asian and Halloween charm stays within about its size around the origin.
    for (T theme : {T::halloweenSpectacle, T::lunarNewYearSpectacle, T::summerJadeLotus, T::koreanCranesGeumbak,
                    T::harvestMoonOsmanthus, T::kyotoSpringSakura, T::kyotoSummerAoMomiji, T::kyotoAutumnMomiji,
                    T::kyotoWinterPlum}) {
        for (int index = 0; index < 3; ++index) {
            rec->clear();
            drawThemeCharm(ctx, theme, index, true, 6, 1.0);
            ASSERT_FALSE(prims().empty());
            for (const auto& r : prims()) {
                EXPECT_LE(std::max(std::fabs(r.bounds.minX()), std::fabs(r.bounds.maxX())), 6 * 1.45);
                EXPECT_LE(std::max(std::fabs(r.bounds.minY()), std::fabs(r.bounds.maxY())), 6 * 1.45);
            }
        }
    }
    // A size or phase that is not a number draws nothing.
    rec->clear();
    drawThemeCharm(ctx, T::kyotoAutumnMomiji, 0, true, kNaN, 0.5);
    drawThemeCharm(ctx, T::kyotoAutumnMomiji, 0, true, 5, kInf);
    EXPECT_TRUE(prims().empty());
}

TEST_F(SeasonalDrawingTest, FadedBlossomPetalsShowThroughEachOther) {
    // Each petal is its own fill: faded to half, a spot where two petals cross is covered twice
    // (0.75), a spot in one petal once (0.5), as the hint and the dissolve show them.
    constexpr double s = 40;
    auto faded = [](const std::function<void(gfx::GraphicsContext&)>& draw) {
        auto target = gfx::render({100, 100}, 1, [&](gfx::GraphicsContext& c) {
            c.translateBy(50, 50);
            c.opacity = 0.5;
            draw(c);
        });
        return target->image();
    };
    const double a18 = 18 * std::acos(-1.0) / 180;
    const gfx::Image blossom =
        faded([](gfx::GraphicsContext& c) { drawBlossomCharm(c, gfx::Color(0.93, 0.22, 0.20), s); });
    // Halfway between the top petal's centre and the next one's (18°), outside the heart.
    const ui::Point crossing{50 + 0.23 * s * std::cos(a18), 50 - 0.23 * s - 0.23 * s * std::sin(a18)};
    EXPECT_NEAR(gfx::probe(blossom, crossing).alpha, 0.75, 0.03);
    EXPECT_NEAR(gfx::probe(blossom, {50, 50 - 0.8 * s}).alpha, 0.5, 0.03);

    const gfx::Image osmanthus = faded([](gfx::GraphicsContext& c) { drawOsmanthusBlossom(c, s, true); });
    EXPECT_NEAR(gfx::probe(osmanthus, {50, 50 + 0.34 * s}).alpha, 0.75,
                0.03);  // between the two lower petals
    EXPECT_NEAR(gfx::probe(osmanthus, {50 + 0.58 * s, 50 + 0.58 * s}).alpha, 0.5, 0.03);
}

TEST_F(SeasonalDrawingTest, DissolveOpensWithTheRingAroundTheEmblem) {
    dissolve(T::kyotoSpringSakura, 0);
    auto p = prims();
    ASSERT_EQ(p.size(), 1u);  // nothing but the ring is visible at the start
    EXPECT_EQ(p[0].op, DrawRecord::Op::stroke);
    EXPECT_NEAR(p[0].bounds.midX(), 440 - 29, 1e-6);
    EXPECT_NEAR(p[0].bounds.midY(), 36, 1e-6);
    EXPECT_NEAR(p[0].bounds.width, 26, 1e-6);

    // Reduce Motion: one wash, peaking halfway, nothing at either end.
    dissolve(T::kyotoSpringSakura, 0.5, true, true);
    ASSERT_EQ(prims().size(), 1u);
    EXPECT_NEAR(prims()[0].colors.front().alpha, 0.14, 1e-6);
    dissolve(T::kyotoSpringSakura, 1.0, true, true);
    EXPECT_TRUE(prims().empty());
    dissolve(T::kyotoSpringSakura, 0.0, true, true);
    EXPECT_TRUE(prims().empty());
}

TEST_F(SeasonalDrawingTest, DissolveDispatchesByTheme) {
    // The harvest moon draws its disc on the emblem point; the lunar new year its dragon; the
    // sparkle-less themes leave no sparkle behind after the ring; 11 charms drift for the lunar
    // new year against 16 for the others.
    dissolve(T::harvestMoonOsmanthus, 0.5);
    bool moon = false;
    for (const auto& r : prims())
        moon |= r.op == DrawRecord::Op::fill && std::fabs(r.bounds.width - 52) < 1e-6 && std::fabs(r.bounds.midX() - 411) < 1e-6;
    EXPECT_TRUE(moon);

    for (T theme : {T::fireworksCelebration, T::halloweenSpectacle, T::christmasSpectacle, T::summerStarlight,
                    T::winterAuroraHearth})
        EXPECT_FALSE(ArtisanDissolveCanvasView::hasSparkleLayer(theme));
    for (T theme : {T::stPatricksWindowSpectacle, T::kyotoSpringSakura, T::lunarNewYearSpectacle})
        EXPECT_TRUE(ArtisanDissolveCanvasView::hasSparkleLayer(theme));

    // A progress past either end is drawn as that end; one that is not a number draws nothing.
    dissolve(T::kyotoAutumnMomiji, 1.0);
    const auto atEnd = prims().size();
    dissolve(T::kyotoAutumnMomiji, 7.0);
    EXPECT_EQ(prims().size(), atEnd);
    dissolve(T::kyotoAutumnMomiji, kNaN);
    EXPECT_TRUE(prims().empty());
    dissolve(T::kyotoAutumnMomiji, 0.5, false, false, {8, 200});
    EXPECT_TRUE(prims().empty());
}

TEST_F(SeasonalDrawingTest, DragonFliesOnlyInsideItsWindowAndBurstsRingTheEmblem) {
    auto dragonParts = [&](double p) {
        rec->clear();
        drawLunarNewYearDissolve(ctx, true, 440, 72, p, 411, 36);
        int n = 0;
        for (const auto& r : prims()) n += std::fabs(r.strokeStyle.lineWidth - 11.5) < 1e-9 ? 1 : 0;  // the glow
        return n;
    };
    EXPECT_EQ(dragonParts(0.02), 0);
    EXPECT_EQ(dragonParts(0.3), 1);
    EXPECT_EQ(dragonParts(0.89), 0);
    // The fifth burst rings the emblem point between p = 0.58 and 0.835.
    rec->clear();
    drawLunarNewYearDissolve(ctx, true, 440, 72, 0.6, 411, 36);
    bool ring = false;
    for (const auto& r : prims())
        ring |= r.op == DrawRecord::Op::stroke && std::fabs(r.strokeStyle.lineWidth - 1.2) < 1e-9 &&
                std::fabs(r.bounds.midX() - 411) < 1e-6 && std::fabs(r.bounds.midY() - 36) < 1e-6;
    EXPECT_TRUE(ring);
    rec->clear();
    drawLunarNewYearDissolve(ctx, true, 440, 72, kNaN, 411, 36);
    EXPECT_TRUE(prims().empty());
}

TEST_F(SeasonalDrawingTest, JadeThreadsAndCranesFollowTheirWindows) {
    // At p = 0.05 the first crane's window has just opened, at opacity 0: nothing is drawn.
    drawKoreanCranesDissolve(ctx, false, 0.05);
    EXPECT_TRUE(prims().empty());
    drawKoreanCranesDissolve(ctx, false, 0.3);
    EXPECT_FALSE(prims().empty());
    // A thread is skipped while its right end lies within 12 points of its left end.
    rec->clear();
    drawJadeLotusDissolve(ctx, false, 20, 72, 0.3, 0, 36);
    for (const auto& r : prims()) EXPECT_NE(r.strokeStyle.lineCap, gfx::LineCap::round);
    rec->clear();
    drawJadeLotusDissolve(ctx, false, 440, 72, 0.3, 411, 36);
    int threads = 0;
    for (const auto& r : prims()) threads += r.strokeStyle.lineCap == gfx::LineCap::round ? 1 : 0;
    EXPECT_EQ(threads, 3);
}

TEST_F(SeasonalDrawingTest, WindowSpectacleWashUnderReduceMotionAndSizeGuard) {
    ArtisanWindowSpectacleHostView::renderWindowSpectacle(ctx, {480, 600}, T::halloweenSpectacle, 0.5, false, true);
    ASSERT_EQ(prims().size(), 1u);
    EXPECT_NEAR(prims()[0].colors.front().alpha, 0.42, 1e-6);
    rec->clear();
    ArtisanWindowSpectacleHostView::renderWindowSpectacle(ctx, {480, 600}, T::halloweenSpectacle, 0.5, true, true);
    EXPECT_NEAR(prims()[0].colors.front().alpha, 0.28, 1e-6);
    rec->clear();
    ArtisanWindowSpectacleHostView::renderWindowSpectacle(ctx, {480, 600}, T::christmasSpectacle, -3, true, true);
    ArtisanWindowSpectacleHostView::renderWindowSpectacle(ctx, {40, 200}, T::christmasSpectacle, 0.5, true, false);
    ArtisanWindowSpectacleHostView::renderWindowSpectacle(ctx, {480, 600}, T::christmasSpectacle, kNaN, true, false);
    EXPECT_TRUE(prims().empty());
    for (T theme : {T::easterMeadow, T::autumnHarvestOak, T::kyotoWinterPlum, T::summerJadeLotus})
        EXPECT_FALSE(ArtisanWindowSpectacleHostView::playsAcrossWindow(theme));
}

TEST_F(SeasonalDrawingTest, IconHintAndBurstFollowTheirTimelines) {
    ArtisanIconHintCanvasView v{eggOf(T::kyotoSpringSakura), false, 0.0, 0, std::nullopt};
    rec->clear();
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, false);
    EXPECT_TRUE(prims().empty());  // h = 0: before every phase
    v.hintProgress = 1.0;
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, false);
    EXPECT_TRUE(prims().empty());  // faded out
    v.hintProgress = std::nullopt;

    // Level 1: a gold ring and four gold shards; level 2: the tinted ring and charms at 0, 3, 6.
    v.tapBurstLevel = 1;
    v.tapBurstProgress = 0.3;
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, false);
    EXPECT_EQ(prims().size(), 5u);
    rec->clear();
    v.tapBurstLevel = 2;
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, false);
    ASSERT_FALSE(prims().empty());
    EXPECT_EQ(prims().front().colors.front().withAlpha(1), v.egg.touchTintColor);
    EXPECT_EQ(prims().size(), 1u + 5u + 3u);  // ring, five shards, three petal charms
    // Reduce Motion: only the ring.
    rec->clear();
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, true);
    EXPECT_EQ(prims().size(), 1u);
    // Level 0 or a non-finite progress: no burst.
    rec->clear();
    v.tapBurstLevel = 0;
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, false);
    v.tapBurstLevel = 2;
    v.tapBurstProgress = kNaN;
    ArtisanIconHintCanvasView::renderIconHint(ctx, {440, 72}, v, false);
    EXPECT_TRUE(prims().empty());
}

}  // namespace
}  // namespace quillmar
