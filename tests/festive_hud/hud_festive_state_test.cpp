#include "festive_hud/hud_festive_state.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/festive_particle_spawner.h"
#include "festive_test_support.h"
#include "platform/accessibility_display_options.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using testing::setToday;

class HUDFestiveStateTest : public quillmar::testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::FixedPreferredLanguages::install(AppLanguage::en);
        setToday(2025, 7, 4);  // fireworks in English
        festive().seedRandom(7);
        HUDFestiveGeometry g;
        g.size = {400, 100};
        g.floorY = 95;
        g.itemAnchors = {{40, 40}, {120, 40}, {200, 40}, {280, 40}, {360, 40}};
        g.rowSpanX = {0, 400};
        festive().geometry = g;
    }

    static HUDFestiveState& festive() { return HUDFestiveState::shared(); }
    static SwitcherSettings& settings() { return SwitcherSettings::shared(); }

    // Three hops 0.05 s apart: enough for a fresh burst when one is due.
    void quickHops(int index = 2) {
        for (int i = 0; i < 3; ++i) {
            if (i > 0) advance(0.05);
            festive().noteFestiveHop(index + i, 1.0);
        }
    }
};

TEST_F(HUDFestiveStateTest, ThirdQuickHopThrowsAFreshBurstAndStartsTheTimer) {
    festive().armFestiveOverlay(0.5);
    ASSERT_EQ(festive().armedTheme(), HUDFestiveTheme::fireworks);

    festive().noteFestiveHop(1, 1.0);
    festive().noteFestiveHop(2, 1.0);  // two hops, however quick, do nothing
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_FALSE(festive().isAnimating());

    advance(0.1);
    festive().noteFestiveHop(3, 1.0);
    EXPECT_EQ(festive().particles().size(), 22u);
    EXPECT_EQ(festive().activeTheme(), HUDFestiveTheme::fireworks);
    EXPECT_TRUE(festive().isAnimating());
    EXPECT_EQ(festive().frame.get(), 0);  // the burst itself publishes nothing

    // The timer steps at 60 Hz and publishes one frame per step.
    advance(0.5);
    EXPECT_NEAR(static_cast<double>(festive().frame.get()), 30, 1);

    // Particles die out; the step that removes the last publishes, stops the timer and clears
    // the active festival; the armed one stays.
    advance(10);
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_FALSE(festive().isAnimating());
    EXPECT_EQ(loop().pendingTimerCount(), 0u);
    EXPECT_EQ(festive().activeTheme(), std::nullopt);
    EXPECT_EQ(festive().armedTheme(), HUDFestiveTheme::fireworks);
    const auto frames = festive().frame.get();
    advance(1);
    EXPECT_EQ(festive().frame.get(), frames);
}

TEST_F(HUDFestiveStateTest, HopTimingRules) {
    festive().armFestiveOverlay(0.5);
    // Slower than one hop per 0.4 s: each hop finds the earlier ones expired.
    for (int i = 0; i < 6; ++i) {
        festive().noteFestiveHop(i % 5, 1.0);
        advance(0.41);
    }
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_EQ(festive().hopTimes().size(), 1u);

    // Seven hops within 0.4 s keep the last six.
    for (int i = 0; i < 7; ++i) {
        festive().noteFestiveHop(2, 1.0);
        advance(0.01);
    }
    EXPECT_EQ(festive().hopTimes().size(), 6u);
    ASSERT_EQ(festive().particles().size(), 22u);

    // While particles fly, hops top up by 8 at most every 0.2 s.
    advance(0.1);
    auto before = festive().particles().size();
    festive().noteFestiveHop(3, 1.0);
    EXPECT_EQ(festive().particles().size(), before);
    advance(0.1);
    before = festive().particles().size();
    festive().noteFestiveHop(3, 1.0);
    EXPECT_EQ(festive().particles().size(), before + 8);

    // After a stop, a new fresh burst waits for 0.9 s since the previous one.
    festive().stopFestiveOverlay();
    festive().armFestiveOverlay(0.5);
    quickHops();
    EXPECT_TRUE(festive().particles().empty());
    advance(0.6);
    quickHops();
    EXPECT_EQ(festive().particles().size(), 22u);
}

TEST_F(HUDFestiveStateTest, BurstSpacingBoundaries) {
    festive().armFestiveOverlay(0.5);
    quickHops();  // the fresh burst, at T
    ASSERT_EQ(festive().particles().size(), 22u);

    // Top-ups: not 0.17 s after the last burst, but 0.21 s after it, and again only 0.21 s later.
    auto hopAdds = [&](double wait) {
        advance(wait);
        const auto before = festive().particles().size();
        festive().noteFestiveHop(2, 1.0);
        return festive().particles().size() - before;
    };
    EXPECT_EQ(hopAdds(0.17), 0u);
    EXPECT_EQ(hopAdds(0.04), 8u);
    EXPECT_EQ(hopAdds(0.17), 0u);
    EXPECT_EQ(hopAdds(0.04), 8u);

    // Fresh bursts: a stop, then quick hops until 0.85 s after T throw nothing; one at 0.91 s does.
    festive().stopFestiveOverlay();
    festive().armFestiveOverlay(0.5);
    advance(0.85 - 0.42 - 0.10);
    quickHops();
    EXPECT_TRUE(festive().particles().empty());
    advance(0.06);
    festive().noteFestiveHop(1, 1.0);
    EXPECT_EQ(festive().particles().size(), 22u);
}

TEST_F(HUDFestiveStateTest, HopRateSetsTheBurstIntensity) {
    // Compares each burst thrown by hops with one spawned directly from a generator that follows
    // the state's own, at the intensity worked out by hand from the hop rate: (rate - 5) / 9,
    // within 0...1.
    FestiveRandom reference(7);
    auto expectLatestBurst = [&](int count, double intensity, int index, double direction = 1.0) {
        std::vector<HUDFestiveParticle> expected;
        spawnFestiveParticles(expected, festiveKindSpecs(HUDFestiveTheme::fireworks), festive().geometry,
                              {count, index, direction, intensity}, reference);
        const auto& got = festive().particles();
        ASSERT_GE(got.size(), expected.size());
        const std::size_t first = got.size() - expected.size();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(got[first + i].size, expected[i].size, 1e-9) << i;
            EXPECT_NEAR(got[first + i].x, expected[i].x, 1e-9) << i;
            EXPECT_NEAR(got[first + i].vx, expected[i].vx, 1e-9) << i;
        }
    };

    // Three hops 0.15 s apart: 2 hops in 0.3 s, 6.67 per second, intensity 0.1852.
    festive().armFestiveOverlay(0.5);
    for (int i = 0; i < 3; ++i) {
        if (i > 0) advance(0.15);
        festive().noteFestiveHop(1, 1.0);
    }
    expectLatestBurst(22, (2 / 0.3 - 5) / 9, 1);

    // A backward top-up 0.22 s later: the first hop has expired, the other three span 0.37 s
    // (5.41 per second, intensity 0.0450).
    advance(0.22);
    festive().noteFestiveHop(2, -1.0);
    expectLatestBurst(8, (2 / 0.37 - 5) / 9, 2, -1.0);

    // Three hops 0.19 s apart: 5.26 per second, intensity 0.0292.
    festive().stopFestiveOverlay();
    festive().seedRandom(7);
    reference.reseed(7);
    advance(1.0);
    festive().armFestiveOverlay(0.5);
    for (int i = 0; i < 3; ++i) {
        if (i > 0) advance(0.19);
        festive().noteFestiveHop(3, 1.0);
    }
    expectLatestBurst(22, (2 / 0.38 - 5) / 9, 3);

    // Hops 0.05 s apart run at 20 per second: full intensity.
    festive().stopFestiveOverlay();
    festive().seedRandom(7);
    reference.reseed(7);
    advance(1.0);
    festive().armFestiveOverlay(0.5);
    quickHops(4);
    expectLatestBurst(22, 1, 6);
}

TEST_F(HUDFestiveStateTest, ArmingFollowsSettingReduceMotionAndDate) {
    // A day without a festival leaves the state idle.
    setToday(2025, 6, 10);
    festive().armFestiveOverlay(0.5);
    EXPECT_EQ(festive().armedTheme(), std::nullopt);
    quickHops();
    EXPECT_TRUE(festive().particles().empty());

    // Under Reduce Motion nothing is armed, yet the perimeter still follows the date.
    setToday(2025, 12, 24);
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(true);
    festive().armFestiveOverlay(0.5);
    EXPECT_EQ(festive().armedTheme(), std::nullopt);
    EXPECT_TRUE(festive().isChristmasPerimeterVisible.get());
    EXPECT_TRUE(festive().shouldShowChristmasPerimeter());
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(false);

    // With the holiday setting off, arming disarms and turns the perimeter off.
    settings().holidaySparkle = false;
    EXPECT_FALSE(festive().shouldShowChristmasPerimeter());
    festive().armFestiveOverlay(0.5);
    EXPECT_EQ(festive().armedTheme(), std::nullopt);
    EXPECT_FALSE(festive().isChristmasPerimeterVisible.get());
    settings().holidaySparkle = true;
    festive().armFestiveOverlay(0.5);
    EXPECT_EQ(festive().armedTheme(), HUDFestiveTheme::christmas);
}

TEST_F(HUDFestiveStateTest, HolidaySwitchedOffWhileTheBarIsOpenSticks) {
    festive().armFestiveOverlay(0.5);
    quickHops();
    ASSERT_FALSE(festive().particles().empty());

    // The status menu's toggle: setting off, then stop. The armed festival survives a stop,
    // but later hops of the same presentation must not throw it again.
    settings().holidaySparkle = false;
    festive().stopFestiveOverlay();
    advance(1.0);
    quickHops();
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_FALSE(festive().isAnimating());
}

TEST_F(HUDFestiveStateTest, TopUpsKeepTheFestivalThatIsFlying) {
    setToday(2025, 10, 31);
    festive().armFestiveOverlay(0.5);
    ASSERT_EQ(festive().armedTheme(), HUDFestiveTheme::halloween);
    quickHops();
    ASSERT_EQ(festive().particles().size(), 22u);

    // A preview re-arms while particles still fly, now on another festival's day.
    setToday(2025, 7, 4);
    festive().armFestiveOverlay(0.5);
    ASSERT_EQ(festive().armedTheme(), HUDFestiveTheme::fireworks);
    advance(0.25);
    const auto before = festive().particles().size();
    quickHops();
    ASSERT_GT(festive().particles().size(), before);
    EXPECT_EQ(festive().activeTheme(), HUDFestiveTheme::halloween);
    // Halloween's last three kinds exist only in its table: the top-up drew from it.
    const auto& ps = festive().particles();
    EXPECT_TRUE(std::any_of(ps.end() - 8, ps.end(), [](const HUDFestiveParticle& p) { return p.kind >= 3; }));
}

TEST_F(HUDFestiveStateTest, StopClearsEverythingButTheArmedFestival) {
    setToday(2025, 12, 24);
    festive().armFestiveOverlay(0.5);
    quickHops();
    ASSERT_TRUE(festive().isChristmasPerimeterVisible.get());
    ASSERT_TRUE(festive().isAnimating());
    advance(0.1);
    const auto frames = festive().frame.get();

    festive().stopFestiveOverlay();
    EXPECT_EQ(festive().frame.get(), frames + 1);
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_TRUE(festive().christmasGlowTrail().empty());
    EXPECT_TRUE(festive().hopTimes().empty());
    EXPECT_FALSE(festive().isChristmasPerimeterVisible.get());
    EXPECT_FALSE(festive().isAnimating());
    EXPECT_EQ(festive().activeTheme(), std::nullopt);
    EXPECT_EQ(festive().armedTheme(), HUDFestiveTheme::christmas);

    // Stopping with no active festival publishes nothing.
    festive().stopFestiveOverlay();
    EXPECT_EQ(festive().frame.get(), frames + 1);
}

TEST_F(HUDFestiveStateTest, NoSpawnBeforeTheBarHasAGeometry) {
    festive().geometry = HUDFestiveGeometry{};
    festive().geometry.size = {20, 300};
    festive().armFestiveOverlay(0.5);
    quickHops();
    EXPECT_TRUE(festive().particles().empty());
    // The empty fresh burst still activates; the first step finds nothing and settles back.
    advance(0.1);
    EXPECT_FALSE(festive().isAnimating());
    EXPECT_EQ(festive().activeTheme(), std::nullopt);
}

TEST_F(HUDFestiveStateTest, QAModeRotatesThroughEveryFestival) {
    setToday(2025, 6, 10);  // no festival by date
    settings().setQAMode(true);
    EXPECT_EQ(festive().resolveFestiveTheme(), HUDFestiveTheme::stPatricks);
    for (int i = 0; i < 11; ++i) {
        festive().armFestiveOverlay(0.5);
        EXPECT_EQ(festive().armedTheme(), kAllHUDFestiveThemes[static_cast<std::size_t>(i)]);
        quickHops();
        festive().stopFestiveOverlay();
        advance(1.0);
    }
    EXPECT_EQ(festive().qaRotationIndex(), 0);  // wrapped after the eleventh

    // Top-ups leave the rotation where the fresh burst put it.
    festive().armFestiveOverlay(0.5);
    quickHops();
    ASSERT_EQ(festive().qaRotationIndex(), 1);
    for (int i = 0; i < 4; ++i) {
        advance(0.25);
        quickHops();
    }
    EXPECT_GT(festive().particles().size(), 22u);
    EXPECT_EQ(festive().qaRotationIndex(), 1);
    EXPECT_EQ(festive().resolveFestiveTheme(), kAllHUDFestiveThemes[1]);
    festive().stopFestiveOverlay();

    // The QA perimeter override pins christmas and shows the perimeter on any date.
    festive().qaShowChristmasPerimeter = true;
    festive().armFestiveOverlay(0.5);
    EXPECT_EQ(festive().armedTheme(), HUDFestiveTheme::christmas);
    EXPECT_TRUE(festive().isChristmasPerimeterVisible.get());
    quickHops();
    ASSERT_TRUE(festive().isAnimating());

    // Switching QA mode off drops the override and stops the overlay.
    settings().setQAMode(false);
    EXPECT_FALSE(festive().qaShowChristmasPerimeter.get());
    EXPECT_FALSE(festive().isChristmasPerimeterVisible.get());
    EXPECT_TRUE(festive().particles().empty());
    EXPECT_FALSE(festive().isAnimating());
    EXPECT_FALSE(festive().shouldShowChristmasPerimeter());
}

TEST_F(HUDFestiveStateTest, GlowTrailSamplesAndSmoothing) {
    // Not a perimeter day: focus updates change nothing.
    festive().armFestiveOverlay(0.5);
    festive().noteChristmasFocus(0.9, 0.02);
    EXPECT_TRUE(festive().christmasGlowTrail().empty());
    EXPECT_EQ(festive().christmasSmoothedFocus(), 0.5);

    setToday(2025, 12, 25);
    festive().armFestiveOverlay(1.7);  // clamped before it seeds the trail
    ASSERT_EQ(festive().christmasGlowTrail().size(), 1u);
    EXPECT_EQ(festive().christmasGlowTrail()[0].normalizedPos, 1.0);
    EXPECT_EQ(festive().christmasGlowTrail()[0].strength, 0.65);

    // A position or speed that is not a number is ignored altogether.
    festive().noteChristmasFocus(std::nan(""), 0.01);
    festive().noteChristmasFocus(0.3, std::numeric_limits<double>::infinity());
    EXPECT_EQ(festive().christmasSmoothedFocus(), 1.0);
    EXPECT_EQ(festive().christmasGlowTrail().size(), 1u);

    advance(0.1);
    festive().noteChristmasFocus(-0.3, 0);  // as 0: the focus moves 36 % of the way
    EXPECT_NEAR(festive().christmasSmoothedFocus(), 0.64, 1e-12);
    ASSERT_EQ(festive().christmasGlowTrail().size(), 2u);
    EXPECT_EQ(festive().christmasGlowTrail().back().strength, 0.55);

    // Close in time and place: merged into the last sample, keeping the stronger strength.
    advance(0.1);
    festive().noteChristmasFocus(0.64, 0.025);
    advance(0.01);
    festive().noteChristmasFocus(0.64, 0.0);
    ASSERT_EQ(festive().christmasGlowTrail().size(), 3u);
    EXPECT_EQ(festive().christmasGlowTrail().back().strength, 1.0);
    EXPECT_EQ(festive().christmasGlowTrail().back().timestamp, loop().now());

    // Never more than 40 samples, newest last.
    for (int i = 0; i < 60; ++i) {
        advance(0.03);
        festive().noteChristmasFocus((i % 2) ? 0.0 : 1.0, 0.01);
    }
    EXPECT_EQ(festive().christmasGlowTrail().size(), 40u);
    EXPECT_EQ(festive().christmasGlowTrail().back().timestamp, loop().now());

    // Samples older than 2.4 s leave with the next update.
    advance(2.41);
    festive().noteChristmasFocus(0.5, 0.01);
    EXPECT_EQ(festive().christmasGlowTrail().size(), 1u);
}

}  // namespace
}  // namespace quillmar
