// What the festive overlay does to the Switch Bar it lies on: clicks reach the bar through it,
// the particles fly over the garland, every figure is drawn in the bar's own appearance at full
// strength, and the garland's glow fades on its own clock after the selection has moved on.

#include <cmath>
#include <vector>

#include "festive_hud/christmas_glow.h"
#include "festive_hud/festive_art_table.h"
#include "festive_hud/hud_festive_overlay_view.h"
#include "festive_hud/hud_festive_state.h"
#include "festive_test_support.h"
#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "support/fresh_world.h"
#include "ui/hosting_view.h"

namespace quillmar {
namespace {

using gfx::DrawRecord;
using gfx::DrawRecorder;

class FestiveOverlayOverTheBar : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::FixedPreferredLanguages::install(AppLanguage::en);
        testing::setToday(2025, 12, 25);  // the garland and the Christmas particles
        festive().geometry = testing::barOfFourItems();
        festive().seedRandom(5);
    }
    static HUDFestiveState& festive() { return HUDFestiveState::shared(); }
    void throwParticles() {
        festive().armFestiveOverlay(0.3);
        for (int i = 0; i < 3; ++i) {
            advance(0.05);
            festive().noteFestiveHop(1 + i, 1.0);
        }
        advance(0.2);
        ASSERT_FALSE(festive().particles().empty());
        ASSERT_TRUE(festive().isChristmasPerimeterVisible.get());
    }
};

TEST_F(FestiveOverlayOverTheBar, ClicksAnywhereOnTheBarReachItThroughTheDecoration) {
    throwParticles();
    int taps = 0;
    ui::HostingView host(ui::View(gfx::Color::rgb(0.2, 0.2, 0.2))
                             .frame(400, 110)
                             .onTapGesture([&] { ++taps; })
                             .overlay(ui::View(HUDFestiveOverlayView{true, 22})),
                         {400, 110});
    // On the garland at the top edge, on a corner sprig, in the middle where particles fly.
    for (gfx::Point at : {gfx::Point{200, 3}, gfx::Point{8, 8}, gfx::Point{200, 55}, gfx::Point{392, 100}})
        host.click(at);
    EXPECT_EQ(taps, 4);
}

TEST_F(FestiveOverlayOverTheBar, ParticlesFlyOverTheGarland) {
    throwParticles();
    ui::HostingView host(HUDFestiveOverlayView{true, 22}, {400, 110});
    auto recorder = DrawRecorder::make({400, 110});
    auto ctx = DrawRecorder::contextFor(recorder);
    host.draw(ctx);
    const auto drawn = recorder->primitives();
    ASSERT_GT(drawn.size(), 10u);
    // The garland's rope opens the frame; the bow's knot, the garland's last piece, comes before
    // every particle.
    const auto rope = gfx::Color::rgb(0.05, 0.24, 0.13);
    EXPECT_TRUE(gfx::colorsClose(drawn.front().colors.at(0).withAlpha(1), rope, 0.002));
    std::size_t knot = drawn.size();
    for (std::size_t i = 0; i < drawn.size(); ++i)
        if (drawn[i].op == DrawRecord::Op::stroke && !drawn[i].colors.empty() &&
            gfx::colorsClose(drawn[i].colors[0].withAlpha(1), gfx::Color::rgb(1, 0.88, 0.5), 0.002))
            knot = i;
    ASSERT_LT(knot, drawn.size());
    EXPECT_GT(drawn.size() - knot - 1, 3u) << "no particle drawn after the garland";
}

// The colours of a stream, opacity included.
std::vector<gfx::Color> colorsOf(const std::vector<DrawRecord>& records) {
    std::vector<gfx::Color> out;
    for (const auto& r : records) out.insert(out.end(), r.colors.begin(), r.colors.end());
    return out;
}

TEST(FestiveOverlayFigures, EachParticleIsDrawnInTheBarsAppearanceAtFullStrength) {
    // New Year's confetti strengthens its outline on a light bar; Christmas and St Patrick's
    // figures do too. Through the overlay each looks as its art draws it for that appearance.
    for (auto theme : {HUDFestiveTheme::newYear, HUDFestiveTheme::christmas, HUDFestiveTheme::stPatricks})
        for (bool dark : {true, false}) {
            HUDFestiveParticle p;
            p.x = 50;
            p.y = 40;
            p.size = 12;
            p.seed = 0.3;
            p.age = 0.8;
            p.life = 2.4;
            auto viaOverlay = DrawRecorder::make();
            auto overlayCtx = DrawRecorder::contextFor(viaOverlay);
            drawFestiveParticles(overlayCtx, std::vector{p}, theme, dark);

            auto direct = DrawRecorder::make();
            auto directCtx = DrawRecorder::contextFor(direct);
            directCtx.translateBy(p.x, p.y);
            withFestiveArt(theme, [&]<class Art>() { Art::draw(p, directCtx, dark, 1.0); });
            EXPECT_EQ(colorsOf(viaOverlay->primitives()), colorsOf(direct->primitives()))
                << rawValue(theme) << (dark ? " dark" : " light");
        }
}

TEST(ChristmasGlowFade, AScrubbedPlaceDimsToAQuarterWithinASecondAndAHalfAndIsDarkAt2Point6) {
    const std::vector<ChristmasGlowSample> trail = {{0.5, 10.0, 1.0}};
    auto glow = [&](double age) { return christmasGlowIntensity(trail, false, 200, 50, 400, 100, 10 + age); };
    EXPECT_NEAR(glow(0.26), 0.56, 1e-9);
    EXPECT_NEAR(glow(0.76), 0.2795, 5e-4);
    EXPECT_NEAR(glow(1.26), 0.1292, 5e-4);
    EXPECT_NEAR(glow(1.76), 0.0514, 5e-4);
    EXPECT_NEAR(glow(2.5), 0.0031, 3e-4);
    EXPECT_EQ(glow(2.6), 0.0);
}

}  // namespace
}  // namespace quillmar
