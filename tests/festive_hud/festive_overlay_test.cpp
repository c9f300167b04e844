// The festive overlay: each particle's fade envelope, the order and context particles are drawn
// in, and the two layers the Switch Bar shows over its content as the festive state changes.

#include <cmath>
#include <limits>

#include "festive_hud/hud_festive_overlay_view.h"
#include "festive_hud/hud_festive_state.h"
#include "festive_test_support.h"
#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "platform/accessibility_display_options.h"
#include "support/fresh_world.h"
#include "ui/hosting_view.h"

namespace quillmar {
namespace {

using gfx::DrawRecorder;

HUDFestiveParticle flyingAt(double x, double y, double age, double life, int kind = 0) {
    HUDFestiveParticle p;
    p.x = x;
    p.y = y;
    p.size = 12;
    p.kind = kind;
    p.seed = 0.3;
    p.age = age;
    p.life = life;
    return p;
}

TEST(FestiveParticleOpacity, FadesInOverATenthOfASecondAndOutOverTheLastThirdOfLife) {
    EXPECT_NEAR(festiveParticleOpacity(0.05, 0.25), 0.5, 1e-12);  // 20 % of its life, half faded in
    EXPECT_EQ(festiveParticleOpacity(0.1, 2), 1.0);
    EXPECT_EQ(festiveParticleOpacity(1.36, 2), 1.0);                // 68 % of its life
    EXPECT_NEAR(festiveParticleOpacity(1.68, 2), 0.5, 1e-12);       // 84 %
    EXPECT_NEAR(festiveParticleOpacity(1.99, 2), 0.015625, 1e-9);   // 99.5 %: still drawn
    EXPECT_EQ(festiveParticleOpacity(2.5, 2), 0.0);
    EXPECT_EQ(festiveParticleOpacity(0.01, 0), 0.0);                // no life: gone at once
    EXPECT_EQ(festiveParticleOpacity(std::nan(""), 2), 0.0);
    EXPECT_EQ(festiveParticleOpacity(1, std::nan("")), 0.0);
}

TEST(FestiveParticleDrawing, EachParticleIsMovedRotatedFadedAndFaintOnesAreSkipped) {
    auto recorder = DrawRecorder::make();
    auto ctx = DrawRecorder::contextFor(recorder);
    ctx.opacity = 0.8;
    const auto before = ctx.transform;
    std::vector<HUDFestiveParticle> ps = {flyingAt(30, 20, 0.05, 0.25), flyingAt(90, 40, 1.998, 2),
                                          flyingAt(150, 30, 1.99, 2)};
    ps[0].rot = 1.2;
    drawFestiveParticles(ctx, ps, HUDFestiveTheme::lunarNewYear, true);
    EXPECT_EQ(ctx.transform, before);
    EXPECT_EQ(ctx.opacity, 0.8);

    const auto records = recorder->primitives();
    ASSERT_FALSE(records.empty());
    // The 99.9 % particle is skipped; the first is drawn before the third, each around its own centre.
    double lastX = 0;
    int first = 0, third = 0;
    for (const auto& r : records) {
        const double cx = r.deviceBounds.midX();
        EXPECT_TRUE(std::fabs(cx - 30) < 12 || std::fabs(cx - 150) < 12) << cx;
        EXPECT_GE(cx + 12, lastX);  // later particles over earlier ones
        lastX = cx;
        if (std::fabs(cx - 30) < 12) {
            ++first;
            EXPECT_NEAR(r.opacity, 0.8 * 0.5, 1e-9);
            EXPECT_NEAR(std::atan2(r.transform.b, r.transform.a), 1.2, 1e-9);
        } else {
            ++third;
            EXPECT_NEAR(r.opacity, 0.8 * 0.015625, 1e-6);
        }
    }
    EXPECT_GT(first, 0);
    EXPECT_GT(third, 0);

    // A particle whose place is not a number is not drawn.
    recorder->clear();
    ps = {flyingAt(std::nan(""), 20, 0.5, 2)};
    drawFestiveParticles(ctx, ps, HUDFestiveTheme::christmas, true);
    EXPECT_TRUE(recorder->records().empty());
}

class FestiveOverlayViewTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::FixedPreferredLanguages::install(AppLanguage::en);
        festive().geometry = testing::barOfFourItems();
        festive().seedRandom(11);
    }
    static HUDFestiveState& festive() { return HUDFestiveState::shared(); }

    gfx::Image render(ui::HostingView& host) { return host.renderImage(1.0); }
    // Summed alpha of the pixels within 12 points of a point.
    static double alphaAround(const gfx::Image& image, gfx::Point at) {
        double sum = 0;
        for (int y = static_cast<int>(at.y) - 12; y <= static_cast<int>(at.y) + 12; ++y)
            for (int x = static_cast<int>(at.x) - 12; x <= static_cast<int>(at.x) + 12; ++x) sum += image.pixel(x, y).alpha;
        return sum;
    }
    void quickHops() {
        for (int i = 0; i < 3; ++i) {
            advance(0.05);
            festive().noteFestiveHop(1 + i, 1.0);
        }
    }
};

TEST_F(FestiveOverlayViewTest, PerimeterUnderParticlesEachShownWhileItsStateSaysSo) {
    testing::setToday(2025, 12, 25);  // Christmas: garland and Christmas particles
    ui::HostingView host(HUDFestiveOverlayView{true, 22}, {400, 110});
    EXPECT_EQ(gfx::opaqueBounds(render(host)).width, 0);  // nothing armed: nothing drawn

    festive().armFestiveOverlay(0.0);
    advance(0.05);
    const auto perimeterOnly = render(host);
    const auto bounds = gfx::opaqueBounds(perimeterOnly);
    EXPECT_LT(bounds.x, 3);
    EXPECT_GT(bounds.maxX(), 397);
    // The garland keeps to the edges: the middle of the bar stays clear.
    EXPECT_LT(gfx::probe(perimeterOnly, {200, 60}).alpha, 0.05);

    quickHops();
    advance(0.3);
    const auto withParticles = render(host);
    EXPECT_GT(gfx::compareImages(perimeterOnly, withParticles).differingPixels, 50);

    // Dismissal takes both layers down on the next frame.
    festive().stopFestiveOverlay();
    advance(0.05);
    EXPECT_EQ(gfx::opaqueBounds(render(host)).width, 0);
}

TEST_F(FestiveOverlayViewTest, QuickHopsOnAnyFestivalThrowParticlesThatLeaveWithTheirLives) {
    testing::setToday(2025, 10, 31);
    festive().armFestiveOverlay(0.5);
    ui::HostingView host(HUDFestiveOverlayView{false, 18}, {400, 110});
    quickHops();
    advance(0.2);
    const auto midBurst = render(host);
    EXPECT_GT(gfx::opaqueBounds(midBurst).width, 20);
    advance(8);  // every particle has died
    EXPECT_EQ(festive().activeTheme(), std::nullopt);
    EXPECT_EQ(gfx::opaqueBounds(render(host)).width, 0);
}

TEST_F(FestiveOverlayViewTest, UnderReduceMotionTheGarlandHoldsStillButTheGlowFollowsTheSelection) {
    testing::setToday(2025, 12, 24);
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(true);
    festive().armFestiveOverlay(0.0);
    ui::HostingView host(HUDFestiveOverlayView{true, 22}, {400, 110});
    advance(3);  // the seeded glow has faded
    const auto still = render(host);
    advance(1.7);
    EXPECT_EQ(gfx::compareImages(still, render(host)).differingPixels, 0);  // no twinkle

    // Scrubbing toward the far end lights the bulbs there once the glow has risen.
    for (int i = 0; i < 12; ++i) {
        festive().noteChristmasFocus(1.0, 0.03);
        festive().noteFestiveHop(i, 1.0);  // nothing is armed under Reduce Motion
        advance(0.03);
    }
    advance(0.3);
    const auto glowing = render(host);
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_GT(gfx::compareImages(still, glowing).differingPixels, 20);
    // The last bulb of the top edge glows (its halo spreads) far more than the first, left behind.
    const double nearGain = alphaAround(glowing, {347, 8}) - alphaAround(still, {347, 8});
    const double farGain = alphaAround(glowing, {54, 8}) - alphaAround(still, {54, 8});
    EXPECT_GT(nearGain, 5);
    EXPECT_GT(nearGain, 3 * farGain);
}

TEST_F(FestiveOverlayViewTest, AnimatedGarlandTwinklesWithTime) {
    testing::setToday(2025, 12, 25);
    festive().armFestiveOverlay(0.5);
    ui::HostingView host(HUDFestiveOverlayView{true, 22}, {400, 110});
    advance(3);
    const auto a = render(host);
    advance(0.9);
    EXPECT_GT(gfx::compareImages(a, render(host)).differingPixels, 20);
}

}  // namespace
}  // namespace quillmar
