// The autumn harvest oak and summer starlight dissolves and the nature marks of the icon hint:
// when their layers grow in, and which motif a mark shows.

#include <gtest/gtest.h>

#include "scene_recording.h"
#include "seasonal/scenes/oak_pieces.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using gfx::Color;
using gfx::DrawRecord;
using testing::countGradientsFrom;
using testing::countInColour;
using testing::recordFrame;
using testing::RecordedFrame;

constexpr gfx::Size kCard{448, 80};

RecordedFrame autumn(double p, bool isDark = true) {
    return recordFrame(kCard, [&](gfx::GraphicsContext& ctx) {
        drawAutumnHarvestOakDissolve(ctx, isDark, kCard.width, kCard.height, p);
    });
}

RecordedFrame summer(double p, bool isDark = true) {
    return recordFrame(kCard, [&](gfx::GraphicsContext& ctx) {
        drawSummerStarlightDissolve(ctx, isDark, kCard.width, kCard.height, p);
    });
}

RecordedFrame mark(ArtisanCanvasTheme theme, int variant, double intensity = 0.5) {
    return recordFrame({40, 40}, [&](gfx::GraphicsContext& ctx) {
        drawNatureSeasonalMark(ctx, theme, variant, true, 5.6, intensity);
    });
}

class HarvestAndSummer : public testing::FreshWorldTest {};

TEST_F(HarvestAndSummer, DissolvesDrawNothingAtTheirEnds) {
    for (double p : {0.0, 1.0}) {
        EXPECT_TRUE(autumn(p).empty()) << p;
        EXPECT_TRUE(summer(p).empty()) << p;
    }
}

TEST_F(HarvestAndSummer, WheatGrowsBeforeThePumpkinPops) {
    const Color straw = Color::rgb(0.82, 0.68, 0.36);
    const Color pumpkinRib = Color::rgb(0.98, 0.62, 0.22);
    EXPECT_EQ(countInColour(autumn(0.02), straw, DrawRecord::Op::stroke), 0);
    EXPECT_EQ(countGradientsFrom(autumn(0.15), pumpkinRib), 0);
    // Each grown stalk strokes its straw and outlines its kernels.
    EXPECT_EQ(countInColour(autumn(0.5), straw, DrawRecord::Op::stroke), 2 * 8);
    EXPECT_EQ(countGradientsFrom(autumn(0.5), pumpkinRib), 5);
}

TEST_F(HarvestAndSummer, ShortStalksStandLeftOfTheThreshold) {
    // Stalks rooted left of x = 215 are 0.8 as tall; grown tips of the left group stay lower.
    const Color straw = Color::rgb(0.82, 0.68, 0.36);
    double leftTop = 0, rightTop = 1e9;
    for (const auto& r : autumn(0.6)) {
        if (r.op != DrawRecord::Op::stroke || r.strokeStyle.lineWidth != 0.9) continue;
        if (r.colors.size() != 1 || !gfx::colorsClose(r.colors[0].withAlpha(1), straw, 0.002)) continue;
        const double root = r.path.elements()[0].points[0].x;
        if (root < 215) leftTop = std::max(leftTop, r.bounds.y);
        else rightTop = std::min(rightTop, r.bounds.y);
    }
    EXPECT_GT(leftTop, 0);
    EXPECT_LT(rightTop, 1e9);
    EXPECT_LT(kCard.height - leftTop, 1 + 32 * 0.8 + 1e-6);
}

TEST_F(HarvestAndSummer, VineAndFlowersGrowIn) {
    const Color vine = Color::rgb(0.40, 0.30, 0.14);
    EXPECT_EQ(countInColour(summer(0.035), vine, DrawRecord::Op::stroke), 0);
    EXPECT_EQ(countInColour(summer(0.3), vine, DrawRecord::Op::stroke), 1);
    // Flower heads pop open after their stems: the poppy centre is one dark disc per poppy.
    const Color poppyCentre = Color::rgb(0.14, 0.08, 0.12);
    EXPECT_EQ(countInColour(summer(0.2), poppyCentre, DrawRecord::Op::fill), 0);
    EXPECT_EQ(countInColour(summer(0.6), poppyCentre, DrawRecord::Op::fill), 3);
}

TEST_F(HarvestAndSummer, NatureMarksCycleThroughTheirMotifs) {
    const Color acornCap = Color::rgb(0.46, 0.27, 0.11);
    for (int v : {3, 7, 11}) EXPECT_EQ(countInColour(mark(ArtisanCanvasTheme::autumnHarvestOak, v), acornCap, DrawRecord::Op::fill), 1) << v;
    for (int v : {0, 1, 2, 4, -1, -3, -5}) {
        EXPECT_EQ(countInColour(mark(ArtisanCanvasTheme::autumnHarvestOak, v), acornCap, DrawRecord::Op::fill), 0) << v;
    }
    // The leaf's colours follow the variant; a negative variant takes the third set.
    EXPECT_EQ(countGradientsFrom(mark(ArtisanCanvasTheme::autumnHarvestOak, -1), Color::rgb(0.88, 0.58, 0.16)), 1);
    EXPECT_EQ(countGradientsFrom(mark(ArtisanCanvasTheme::autumnHarvestOak, 4), Color::rgb(0.82, 0.44, 0.17)), 1);

    // Spring: daisy, blossom, leaf; summer: leaf, star, daisy; the fourth variant starts again.
    const Color stamens = Color::rgb(0.98, 0.82, 0.34);
    const Color leafStart = Color::rgb(0.44, 0.8, 0.56);
    const Color star = Color::rgb(1.0, 0.9, 0.52);
    EXPECT_EQ(countInColour(mark(ArtisanCanvasTheme::springMeadow, 1), stamens, DrawRecord::Op::fill), 1);
    EXPECT_EQ(countGradientsFrom(mark(ArtisanCanvasTheme::springMeadow, 2), leafStart), 1);
    EXPECT_EQ(countGradientsFrom(mark(ArtisanCanvasTheme::summerStarlight, 0), leafStart), 1);
    EXPECT_EQ(countGradientsFrom(mark(ArtisanCanvasTheme::summerStarlight, 3), leafStart), 1);
    EXPECT_EQ(countInColour(mark(ArtisanCanvasTheme::summerStarlight, 1), star, DrawRecord::Op::fill), 1);
}

TEST_F(HarvestAndSummer, IntensityBrightensTheAutumnLeafTipAndTheSummerStar) {
    auto stops = [](const RecordedFrame& f) {
        for (const auto& r : f) {
            if (r.colors.size() == 3) return r.colors;
        }
        return std::vector<Color>{};
    };
    const auto dim = stops(mark(ArtisanCanvasTheme::autumnHarvestOak, 0, 0.45));
    const auto bright = stops(mark(ArtisanCanvasTheme::autumnHarvestOak, 0, 0.46));
    ASSERT_EQ(dim.size(), 3u);
    ASSERT_EQ(bright.size(), 3u);
    EXPECT_EQ(dim[2], dim[1]);
    EXPECT_TRUE(gfx::colorsClose(bright[2], Color::rgb(1.0, 0.86, 0.5), 1e-9));

    auto glow = [](double intensity) {
        for (const auto& r : mark(ArtisanCanvasTheme::summerStarlight, 1, intensity)) {
            if (r.colors.size() > 1) return r.colors[0].alpha;
        }
        return -1.0;
    };
    EXPECT_NEAR(glow(0), 0.3, 1e-9);
    EXPECT_NEAR(glow(1), 0.55, 1e-9);
}

TEST(OakLeaf, OutlineIsAClosedLeafSymmetricAboutItsMidrib) {
    const gfx::Path leaf = oakLeafPath(10);
    const gfx::Rect box = leaf.boundingRect();
    EXPECT_NEAR(box.x, -box.width / 2, 1e-6);
    EXPECT_NEAR(box.width / 2, 7.36, 0.05);  // the widest lobe
    EXPECT_NEAR(box.y + box.height, 10, 1e-9);
    EXPECT_EQ(leaf.elements().back().kind, gfx::Path::ElementKind::close);
    int inside = 0;
    for (double y = -9.75; y < 10; y += 0.5) {
        for (double x = 0.25; x < 8; x += 0.5) {
            EXPECT_EQ(leaf.contains({x, y}), leaf.contains({-x, y})) << x << ", " << y;
            inside += leaf.contains({x, y});
        }
    }
    EXPECT_GT(inside, 100);
}

}  // namespace
}  // namespace quillmar
