// The Christmas perimeter: how the glow trail lights the bar over time and along it, and what
// the garland and its ornaments are made of on bars of different sizes.

#include <cmath>
#include <vector>

#include "festive_hud/christmas_glow.h"
#include "festive_hud/christmas_garland.h"
#include "festive_hud/hud_christmas_perimeter_canvas_view.h"
#include "festive_hud/hud_festive_state.h"
#include "festive_test_support.h"
#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "gfx/render_target.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using gfx::DrawRecord;
using gfx::DrawRecorder;

constexpr double kW = 400, kH = 100;

// The glow at the bar's position u (0 first item, 1 last) of a horizontal 400 × 100 bar.
double glowAt(std::span<const ChristmasGlowSample> trail, double u, double now) {
    return christmasGlowIntensity(trail, false, 16 + u * (kW - 32), 50, kW, kH, now);
}

TEST(ChristmasGlow, RisesThenDecaysToNothingAtTwoPointSixSeconds) {
    const std::vector<ChristmasGlowSample> trail = {{0.5, 10.0, 1.0}};
    EXPECT_EQ(glowAt(trail, 0.5, 10.0), 0.0);  // written this instant: not lit yet
    const double risen = glowAt(trail, 0.5, 10.26);
    EXPECT_NEAR(risen, 0.56, 1e-9);  // one full sample adds 56 % of the headroom
    EXPECT_NEAR(glowAt(trail, 0.5, 10.1), 0.56 * (0.5 - 0.5 * std::cos(3.14159265358979 * 0.1 / 0.26)), 1e-9);
    // It eases in, then fades monotonically and is gone at 2.6 s.
    double previous = risen;
    for (double age = 0.4; age < 2.6; age += 0.2) {
        const double g = glowAt(trail, 0.5, 10 + age);
        EXPECT_LT(g, previous) << age;
        previous = g;
    }
    EXPECT_EQ(glowAt(trail, 0.5, 12.6), 0.0);
    EXPECT_EQ(glowAt(trail, 0.5, 40), 0.0);
    // Along the bar it falls off as a Gaussian a fifth of the bar wide.
    EXPECT_NEAR(glowAt(trail, 0.7, 10.26), 0.56 * std::exp(-0.04 / 0.08), 1e-9);
    EXPECT_LT(glowAt(trail, 1.0, 10.26), 0.06);
    // The ends of the bar read the first and last positions.
    EXPECT_EQ(christmasGlowIntensity(trail, false, 2, 50, kW, kH, 10.26),
              christmasGlowIntensity(trail, false, 16, 50, kW, kH, 10.26));
    // The vertical list reads along its height instead.
    EXPECT_NEAR(christmasGlowIntensity(trail, true, 0, 16 + 0.5 * (kH - 32), kW, kH, 10.26), 0.56, 1e-9);
    // Samples screen-combine and never pass 1; bad numbers read as no glow.
    const std::vector<ChristmasGlowSample> many(40, ChristmasGlowSample{0.5, 10.0, 1.0});
    const double g = glowAt(many, 0.5, 10.26);
    EXPECT_GT(g, 0.99);
    EXPECT_LE(g, 1.0);
    EXPECT_EQ(glowAt(trail, 0.5, std::nan("")), 0.0);
    EXPECT_EQ(christmasGlowIntensity(trail, false, std::nan(""), 50, kW, kH, 10.26), 0.0);
    EXPECT_EQ(glowAt({}, 0.5, 10.26), 0.0);
}

class ChristmasTrailTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::FixedPreferredLanguages::install(AppLanguage::en);
        testing::setToday(2025, 12, 24);
        HUDFestiveState::shared().geometry.size = {kW, kH};
    }
    static double glowNow(double u) {
        return christmasGlowIntensity(16 + u * (kW - 32), 50, kW, kH, runtime::mediaTime());
    }
};

TEST_F(ChristmasTrailTest, ScrubbingLeavesAGlowThatFollowsTheSelectionAndFadesBehindIt) {
    auto& festive = HUDFestiveState::shared();
    festive.armFestiveOverlay(0.0);
    advance(0.3);
    EXPECT_GT(glowNow(0.0), 0.3);  // the seed of the opening selection
    EXPECT_LT(glowNow(1.0), 0.01);

    // A steady scrub to the far end at display rate: close steps merge, the trail stays short.
    for (int i = 0; i < 60; ++i) {
        festive.noteChristmasFocus(1.0, 0.03);
        advance(1.0 / 60);
    }
    EXPECT_LE(festive.christmasGlowTrail().size(), 40u);
    advance(0.3);
    EXPECT_GT(glowNow(1.0), 0.4);
    // Behind the selection the glow lingers and then fades out entirely.
    const double behind = glowNow(0.3);
    advance(1.0);
    EXPECT_LT(glowNow(0.3), behind);
    advance(2.0);
    EXPECT_EQ(glowNow(1.0), 0.0);
    EXPECT_EQ(glowNow(0.0), 0.0);

    // Two quick updates at the same place glow as one sample of the stronger strength.
    festive.noteChristmasFocus(1.0, 0.0);
    advance(0.01);
    festive.noteChristmasFocus(1.0, 0.03);
    advance(0.26);
    EXPECT_NEAR(glowNow(festive.christmasSmoothedFocus()), 0.56, 1e-6);
}

// Glass fills of the bulbs (their radial gradient reaches 2.95 points), in drawing order.
std::vector<DrawRecord> bulbGlass(const DrawRecorder& r) {
    std::vector<DrawRecord> out;
    for (const auto& rec : r.ofOp(DrawRecord::Op::fill))
        if (const auto* g = rec.shading.asRadial(); g && std::fabs(g->endRadius - 2.95) < 1e-9) out.push_back(rec);
    return out;
}

// Fills of the top bow's bells (radial gradient of 1.2 × 3.1 points).
std::size_t bellCount(const DrawRecorder& r) {
    std::size_t n = 0;
    for (const auto& rec : r.ofOp(DrawRecord::Op::fill))
        if (const auto* g = rec.shading.asRadial(); g && std::fabs(g->endRadius - 3.72) < 1e-9) ++n;
    return n;
}

class ChristmasGarlandTest : public testing::FreshWorldTest {
protected:
    std::shared_ptr<DrawRecorder> draw(double w, double h, double radius, double time = 0, bool dark = true) {
        auto recorder = DrawRecorder::make();
        auto ctx = DrawRecorder::contextFor(recorder);
        drawChristmasPerimeter(ctx, {w, h}, dark, radius, time);
        return recorder;
    }
};

TEST_F(ChristmasGarlandTest, BulbsHangOnePerSwagAlongTheEdgesThatHaveRoom) {
    // 120 × 90, radius 18: two bulbs on the top, two on the bottom, one on each side.
    auto r = draw(120, 90, 18);
    const auto glass = bulbGlass(*r);
    ASSERT_EQ(glass.size(), 6u);
    auto centre = [](const DrawRecord& rec) { return rec.deviceBounds.center(); };
    EXPECT_LT(centre(glass[0]).y, 12);
    EXPECT_LT(centre(glass[1]).y, 12);
    EXPECT_GT(centre(glass[2]).y, 78);
    EXPECT_GT(centre(glass[3]).y, 78);
    EXPECT_LT(centre(glass[4]).x, 12);
    EXPECT_GT(centre(glass[5]).x, 108);
    // Bulb colours cycle amber, red, green, blue, orange, amber ...
    const auto& palette = christmasBulbPalette();
    for (std::size_t k = 0; k < glass.size(); ++k) {
        const auto body = glass[k].colors[1];
        const auto expected = palette[k % 5].body;
        EXPECT_NEAR(body.red, expected.red, 1e-9) << k;
        EXPECT_NEAR(body.blue, expected.blue, 1e-9) << k;
    }
    EXPECT_EQ(bellCount(*r), 0u);  // narrower than 150: no bow

    // Too small a canvas draws nothing at all; the bow comes at 150 points.
    EXPECT_TRUE(draw(79, 200, 18)->records().empty());
    EXPECT_TRUE(draw(200, 59, 18)->records().empty());
    EXPECT_EQ(bellCount(*draw(149, 100, 22)), 0u);
    EXPECT_EQ(bellCount(*draw(150, 100, 22)), 2u);
    // A wide bar splits its top around the bow: no bulb within 25 points of the middle.
    for (const auto& rec : bulbGlass(*draw(400, 100, 22)))
        if (rec.deviceBounds.center().y < 12) {
            EXPECT_GT(std::fabs(rec.deviceBounds.center().x - 200), 25);
        }
}

TEST_F(ChristmasGarlandTest, TimeOnlyTwinklesAndSwingsAndBadNumbersStayOffTheCanvas) {
    // Time 0 (Reduce Motion) draws the same frame at every moment; other times change the bulbs.
    const auto a = draw(300, 100, 22, 0)->records();
    advance(1.3);
    const auto b = draw(300, 100, 22, 0)->records();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].colors, b[i].colors);
    const auto c = draw(300, 100, 22, 800000000.7)->records();
    ASSERT_EQ(a.size(), c.size());
    int changed = 0;
    for (std::size_t i = 0; i < a.size(); ++i) changed += !(a[i].colors == c[i].colors) || !(a[i].transform == c[i].transform);
    EXPECT_GT(changed, 6);

    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -5.0}) {
        auto recorder = DrawRecorder::make();
        auto ctx = DrawRecorder::contextFor(recorder);
        const auto before = ctx.transform;
        drawChristmasPerimeter(ctx, {300, 100}, false, bad, bad);
        EXPECT_EQ(ctx.transform, before);
        EXPECT_FALSE(recorder->records().empty());
        for (const auto& rec : recorder->primitives()) {
            for (const auto& e : rec.path.elements())
                for (const auto& p : e.points) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
            ASSERT_TRUE(rec.transform.isFinite());
        }
        drawChristmasPerimeter(ctx, {bad, 100}, false, 20, 0);
    }
}

// The pixels a glow gives an amber bulb's halo on the dark plate, at 4x: a full glow widens the
// halo from 6.4 to 10.8 points and lifts it by a third opacity, enough to be seen at that size.
TEST(ChristmasBulbHalo, AFullGlowWidensAndBrightensTheHalo) {
    const gfx::Color plate{0.2, 0.2, 0.22, 1};
    auto bulb = [&](double glow) {
        return gfx::render({40, 40}, 4, [&](gfx::GraphicsContext& c) {
                   c.fill(gfx::Path::rect({0, 0, 40, 40}), plate);
                   drawChristmasBulb(c, 0, true, 14, 20, 0, 0, glow);
               })->image();
    };
    const auto unlit = bulb(0), lit = bulb(1);
    // The halo's centre is 3.1 points along the bulb's axis; these points lie off the glass.
    const gfx::Point nearGlass{17.1, 24}, beyondUnlitHalo{17.1, 28};
    EXPECT_GT(gfx::probe(lit, nearGlass).red - gfx::probe(unlit, nearGlass).red, 0.15);
    EXPECT_TRUE(gfx::colorsClose(gfx::probe(unlit, beyondUnlitHalo), plate, 0.5 / 255));
    EXPECT_GT(gfx::probe(lit, beyondUnlitHalo).red - plate.red, 0.03);
}

}  // namespace
}  // namespace quillmar
