// The particle art of every festival, through the recorded draw stream: what each figure is made
// of, which figure an out-of-range kind falls back to, the choices a seed makes, and that no bad
// input ever puts a non-finite number on the canvas or disturbs the caller's context.

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "festive_hud/easter_festive_art.h"
#include "festive_hud/festive_art_table.h"
#include "festive_hud/fireworks_festive_art.h"
#include "gfx/draw_recorder.h"

namespace quillmar {
namespace {

using gfx::DrawRecord;
using gfx::DrawRecorder;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

HUDFestiveParticle particle(int kind, double seed = 0.3, double size = 12, double age = 0.4, double rot = 0.2) {
    HUDFestiveParticle p;
    p.kind = kind;
    p.seed = seed;
    p.size = size;
    p.age = age;
    p.life = 2.0;
    p.rot = rot;
    p.vx = 60;
    p.vy = -90;
    return p;
}

std::vector<DrawRecord> drawn(HUDFestiveTheme theme, const HUDFestiveParticle& p, bool isDark = true,
                              double strength = 1.0) {
    auto recorder = DrawRecorder::make();
    auto ctx = DrawRecorder::contextFor(recorder);
    withFestiveArt(theme, [&]<class Art>() { Art::draw(p, ctx, isDark, strength); });
    return recorder->primitives();
}

int kindCount(HUDFestiveTheme theme) { return static_cast<int>(festiveKindSpecs(theme).size()); }

bool finite(gfx::Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(const gfx::Rect& r) { return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height); }
bool finite(const gfx::Color& c) {
    return std::isfinite(c.red) && std::isfinite(c.green) && std::isfinite(c.blue) && std::isfinite(c.alpha);
}

// Every number a record carries to the canvas.
bool allFinite(const DrawRecord& r) {
    for (const auto& e : r.path.elements())
        for (const auto& pt : e.points)
            if (!finite(pt)) return false;
    if (!finite(r.deviceBounds) || !std::isfinite(r.opacity) || !std::isfinite(r.strokeStyle.lineWidth)) return false;
    if (!r.transform.isFinite()) return false;
    for (const auto& c : r.colors)
        if (!finite(c)) return false;
    if (const auto* l = r.shading.asLinear()) return finite(l->start) && finite(l->end);
    if (const auto* g = r.shading.asRadial())
        return finite(g->center) && std::isfinite(g->startRadius) && std::isfinite(g->endRadius);
    return true;
}

// The fill and stroke colours of a stream, for comparing two figures.
std::vector<gfx::Color> colorsOf(const std::vector<DrawRecord>& records) {
    std::vector<gfx::Color> out;
    for (const auto& r : records) out.insert(out.end(), r.colors.begin(), r.colors.end());
    return out;
}

class EveryFestival : public ::testing::TestWithParam<HUDFestiveTheme> {};

TEST_P(EveryFestival, EachKindDrawsAFigureAndStrayKindsDrawTheLast) {
    const auto theme = GetParam();
    const int n = kindCount(theme);
    for (int kind = 0; kind < n; ++kind) EXPECT_FALSE(drawn(theme, particle(kind)).empty()) << "kind " << kind;
    // Kinds past the table and negative kinds fall back to the last figure.
    const auto last = drawn(theme, particle(n - 1));
    for (int stray : {n, n + 3, -1, std::numeric_limits<int>::min()}) {
        const auto records = drawn(theme, particle(stray));
        ASSERT_EQ(records.size(), last.size()) << "kind " << stray;
        EXPECT_EQ(colorsOf(records), colorsOf(last)) << "kind " << stray;
    }
    // Neighbouring figures differ (the dispatch really picks by kind).
    for (int kind = 1; kind < n; ++kind)
        EXPECT_NE(colorsOf(drawn(theme, particle(kind))), colorsOf(drawn(theme, particle(kind - 1)))) << kind;
}

TEST_P(EveryFestival, StrengthScalesEveryOpacityAndClampsIt) {
    const auto theme = GetParam();
    for (int kind = 0; kind < kindCount(theme); ++kind) {
        for (const auto& r : drawn(theme, particle(kind), true, 0.0))
            for (const auto& c : r.colors) EXPECT_EQ(c.alpha, 0.0) << "kind " << kind;
        // Doubling the strength never lowers an opacity and saturates at 1.
        const auto one = drawn(theme, particle(kind), true, 1.0);
        const auto two = drawn(theme, particle(kind), true, 2.0);
        ASSERT_EQ(one.size(), two.size());
        bool anyRaised = false;
        for (std::size_t i = 0; i < one.size(); ++i)
            for (std::size_t j = 0; j < one[i].colors.size() && j < two[i].colors.size(); ++j) {
                EXPECT_GE(two[i].colors[j].alpha + 1e-9, one[i].colors[j].alpha);
                EXPECT_LE(two[i].colors[j].alpha, 1.0);
                anyRaised |= two[i].colors[j].alpha > one[i].colors[j].alpha + 1e-9;
            }
        EXPECT_TRUE(anyRaised) << "kind " << kind << ": no partial opacity follows the strength";
    }
}

TEST_P(EveryFestival, BadNumbersNeverReachTheCanvasAndTheCallersContextIsUntouched) {
    const auto theme = GetParam();
    const double seeds[] = {0, 0.2499, 0.25, 0.5, 0.62, 0.7, 0.999, 1, -0.3, 7.5, kNaN, kInf, -kInf};
    const double sizes[] = {0.5, 3, 12, 40, 0, -4, kNaN, kInf};
    const double rots[] = {0, 1.5707963, -3, 100, kNaN};
    const double ages[] = {0, 0.05, 1.2, 30, -1, kNaN};
    const double lives[] = {0, 2, kNaN, kInf};
    auto recorder = DrawRecorder::make();
    auto ctx = DrawRecorder::contextFor(recorder);
    ctx.translateBy(40, 30);
    ctx.rotateBy(0.4);
    ctx.opacity = 0.7;
    const auto before = ctx.transform;
    std::size_t drawnRecords = 0;
    int i = 0;
    for (int kind = -1; kind <= kindCount(theme); ++kind)
        for (double seed : seeds)
            for (double size : sizes) {
                ++i;
                HUDFestiveParticle p = particle(kind, seed, size, ages[i % 6], rots[i % 5]);
                p.life = lives[i % 4];
                if (i % 7 == 0) p.vx = kNaN;
                withFestiveArt(theme, [&]<class Art>() { Art::draw(p, ctx, i % 2 == 0, 1.0); });
                for (const auto& r : recorder->primitives()) {
                    ASSERT_TRUE(allFinite(r)) << "kind " << kind << " seed " << seed << " size " << size;
                    // A figure that is not a positive finite size draws nothing at all.
                    ASSERT_TRUE(std::isfinite(size) && size > 0) << "size " << size;
                }
                drawnRecords += recorder->records().size();
                recorder->clear();
            }
    EXPECT_GT(drawnRecords, 0u);
    EXPECT_EQ(ctx.transform, before);
    EXPECT_EQ(ctx.opacity, 0.7);
    EXPECT_EQ(recorder->ofOp(DrawRecord::Op::beginLayer).size(), recorder->ofOp(DrawRecord::Op::endLayer).size());
}

TEST_P(EveryFestival, ANonFiniteSeedDrawsAsSeedZero) {
    const auto theme = GetParam();
    for (int kind = 0; kind < kindCount(theme); ++kind)
        EXPECT_EQ(colorsOf(drawn(theme, particle(kind, kNaN))), colorsOf(drawn(theme, particle(kind, 0)))) << kind;
}

INSTANTIATE_TEST_SUITE_P(Festivals, EveryFestival, ::testing::ValuesIn(kAllHUDFestiveThemes),
                         [](const auto& info) { return std::to_string(rawValue(info.param)); });

bool hasColor(const std::vector<DrawRecord>& records, gfx::Color c) {
    for (const auto& r : records)
        for (const auto& x : r.colors)
            if (std::fabs(x.red - c.red) < 1e-6 && std::fabs(x.green - c.green) < 1e-6 && std::fabs(x.blue - c.blue) < 1e-6)
                return true;
    return false;
}

TEST(FestiveArtChoices, SeedsPickPalettesAndVariants) {
    using T = HUDFestiveTheme;
    // Christmas gifts: red, green, cream; a seed of exactly 1 wraps round to red.
    EXPECT_TRUE(hasColor(drawn(T::christmas, particle(0, 0.1)), {0.80, 0.18, 0.24}));
    EXPECT_TRUE(hasColor(drawn(T::christmas, particle(0, 0.5)), {0.20, 0.50, 0.32}));
    EXPECT_TRUE(hasColor(drawn(T::christmas, particle(0, 0.9)), {0.98, 0.94, 0.84}));
    EXPECT_TRUE(hasColor(drawn(T::christmas, particle(0, 1.0)), {0.80, 0.18, 0.24}));
    // A snowflake grows a second pair of twigs on each arm above seed 0.35.
    auto crystal = [](double seed) { return drawn(T::christmas, particle(1, seed))[1].path.elements().size(); };
    EXPECT_GT(crystal(0.36), crystal(0.35));
    // Seollal's lucky pouch is red up to seed 0.62 and indigo above.
    EXPECT_TRUE(hasColor(drawn(T::seollal, particle(2, 0.62)), {0.86, 0.18, 0.18}));
    EXPECT_TRUE(hasColor(drawn(T::seollal, particle(2, 0.63)), {0.24, 0.3, 0.62}));
    // Oshogatsu petals are red below seed 0.5 and white from there.
    EXPECT_TRUE(hasColor(drawn(T::oshogatsu, particle(0, 0.49)), {0.8, 0.12, 0.22}));
    EXPECT_TRUE(hasColor(drawn(T::oshogatsu, particle(0, 0.5)), {0.98, 0.86, 0.88}));
    // Halloween sweets: a wrapped candy up to seed 0.7, a lollipop (with its stick) above.
    EXPECT_FALSE(hasColor(drawn(T::halloween, particle(5, 0.7)), {0.94, 0.92, 0.86}));
    EXPECT_TRUE(hasColor(drawn(T::halloween, particle(5, 0.71)), {0.94, 0.92, 0.86}));
    // Easter eggs take their palette row from the seed, the last row for a seed of 1.
    EXPECT_TRUE(hasColor(drawn(T::easter, particle(0, 0.1)), {0.52, 0.78, 0.90}));
    EXPECT_TRUE(hasColor(drawn(T::easter, particle(0, 1.0)), {0.83, 0.78, 0.95}));
    // Harvest leaves: a negative seed picks the first colour, a seed of 1 or more the last.
    EXPECT_TRUE(hasColor(drawn(T::harvest, particle(1, -0.5)), {0.8, 0.18, 0.12}));
    EXPECT_TRUE(hasColor(drawn(T::harvest, particle(1, 3.0)), {0.96, 0.7, 0.22}));
}

TEST(FestiveArtChoices, OnlySomeFestivalsLookAtTheAppearance) {
    for (auto theme : kAllHUDFestiveThemes)
        for (int kind = 0; kind < kindCount(theme); ++kind) {
            const auto dark = drawn(theme, particle(kind), true);
            const auto light = drawn(theme, particle(kind), false);
            ASSERT_EQ(dark.size(), light.size());
            const bool outlines = theme == HUDFestiveTheme::christmas || theme == HUDFestiveTheme::stPatricks ||
                                  (theme == HUDFestiveTheme::newYear && kind < 3);
            if (!outlines) {
                EXPECT_EQ(colorsOf(dark), colorsOf(light)) << rawValue(theme) << " kind " << kind;
                continue;
            }
            // Where it does, a light bar only strengthens dark outlines: fills stay as they are.
            bool stronger = false;
            for (std::size_t i = 0; i < dark.size(); ++i) {
                if (dark[i].op == DrawRecord::Op::fill) EXPECT_EQ(dark[i].colors, light[i].colors);
                else
                    for (std::size_t j = 0; j < dark[i].colors.size(); ++j)
                        stronger |= light[i].colors[j].alpha > dark[i].colors[j].alpha;
            }
            if (!(theme == HUDFestiveTheme::stPatricks && kind == 2)) {
                EXPECT_TRUE(stronger) << rawValue(theme) << " " << kind;
            }
        }
}

TEST(FestiveArtShapes, EggPatternStaysInsideTheShellAndStarsHaveTheirPoints) {
    // The painted egg: shadow and outline unclipped, the pattern drawn through the shell's clip.
    for (double seed : {0.0, 0.3, 0.61}) {
        const auto records = drawn(HUDFestiveTheme::easter, particle(0, seed));
        ASSERT_GE(records.size(), 4u);
        EXPECT_FALSE(records.front().clipped);
        EXPECT_FALSE(records.back().clipped);
        int clipped = 0;
        for (const auto& r : records) clipped += r.clipped;
        EXPECT_EQ(clipped, 1) << seed;
    }
    EXPECT_TRUE(festiveStarPath(0, 5, 2).isEmpty());
    EXPECT_EQ(festiveStarPath(5, 5, 2).flattened().front().points.size(), 10u);
    const auto top = festiveStarPath(4, 5, 2).elements().front().points[0];
    EXPECT_NEAR(top.x, 0, 1e-12);
    EXPECT_NEAR(top.y, -5, 1e-12);  // vertex 0 straight up
}

TEST(FestiveArtShapes, CoinEdgeOnHidesEmblemAndGlintAndTheSharedDispatcherPicksByKind) {
    const auto faceOn = drawn(HUDFestiveTheme::stPatricks, particle(0, 0.3, 12, 0.4, 0.0));
    const auto edgeOn = drawn(HUDFestiveTheme::stPatricks, particle(0, 0.3, 12, 0.4, 1.5707963));
    EXPECT_EQ(faceOn.size(), edgeOn.size() + 2);

    std::vector<int> calls;
    static std::vector<int>* sink = nullptr;
    sink = &calls;
    auto ctx = DrawRecorder::contextFor(DrawRecorder::make());
    for (int kind : {0, 1, 2, 5, -2})
        drawFestiveParticleByKind3(
            particle(kind), ctx, true, 1, [](const HUDFestiveParticle&, gfx::GraphicsContext, bool, double) { sink->push_back(0); },
            [](const HUDFestiveParticle&, gfx::GraphicsContext, bool, double) { sink->push_back(1); },
            [](const HUDFestiveParticle&, gfx::GraphicsContext, bool, double) { sink->push_back(2); });
    EXPECT_EQ(calls, (std::vector<int>{0, 1, 2, 2, 2}));
}

}  // namespace
}  // namespace quillmar
