// The scene frame: the scatter hash, the quintic step and the pointer wake.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

TEST(SpectacleHash, MatchesIndependentlyComputedVectors) {
    // Computed outside this code base with arbitrary-precision integers, masked to 64 bits.
    EXPECT_EQ(spectacleHash(0), 0u);
    EXPECT_EQ(spectacleHash(1), 0x3626107ec6d7f8f2ull);
    EXPECT_EQ(spectacleHash(2), 0x6c3ed3bc700dfe87ull);
    EXPECT_EQ(spectacleHash(17), 0xc3b4f7a7ff4c7feaull);
    EXPECT_EQ(spectacleHash(123456789), 0x806b6bdd410dabc1ull);
    // Negative seeds hash their two's-complement pattern with logical shifts.
    EXPECT_EQ(spectacleHash(-1), 0x67b6f0520c70d811ull);
    EXPECT_EQ(spectacleHash(-17), 0x71aef3c9d9cb74deull);
    EXPECT_EQ(spectacleHash(-987654321), 0x5d437fcf8a5673c8ull);
    EXPECT_EQ(spectacleHash(1099511627779LL), 0x6ecf8e5e48de67a8ull);
}

TEST(SpectacleHash, UnitReachesBothEnds) {
    EXPECT_EQ(spectacleUnit(0), 0.0);
    EXPECT_EQ(spectacleUnit(17952), 1.0);  // the first positive seed whose low 16 bits are all set
    EXPECT_NEAR(spectacleUnit(1), 63730.0 / 65535.0, 1e-15);
    // A 32-bit mix would give 7960 / 65535 here: the high half of the products matters.
    EXPECT_NE(spectacleHash(1) & 0xFFFF, 7960u);
}

TEST(Smootherstep, ClampsAndEasesWithFlatEnds) {
    EXPECT_EQ(smootherstep(0.2, 0.6, 0.1), 0.0);
    EXPECT_EQ(smootherstep(0.2, 0.6, 0.2), 0.0);
    EXPECT_EQ(smootherstep(0.2, 0.6, 0.6), 1.0);
    EXPECT_EQ(smootherstep(0.2, 0.6, 2.0), 1.0);
    EXPECT_NEAR(smootherstep(0.2, 0.6, 0.4), 0.5, 1e-12);
    EXPECT_NEAR(smootherstep(0, 1, 0.25), 0.103515625, 1e-12);
    // Flat at the edges: a tiny step in gives a change of third order.
    EXPECT_LT(smootherstep(0, 1, 1e-3), 1e-8);
    EXPECT_GT(smootherstep(0, 1, 1 - 1e-3), 1 - 1e-8);
}

TEST(Smootherstep, EmptyOrReversedIntervalIsAHardStepAndNaNCountsAsOne) {
    EXPECT_EQ(smootherstep(0.5, 0.5, 0.49), 0.0);
    EXPECT_EQ(smootherstep(0.5, 0.5, 0.5), 1.0);
    EXPECT_EQ(smootherstep(0.8, 0.2, 0.3), 1.0);
    EXPECT_EQ(smootherstep(0.8, 0.2, 0.1), 0.0);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(smootherstep(0, inf, inf), 1.0);  // inf / inf is not a number
    EXPECT_EQ(smootherstep(0, 1, std::nan("")), 1.0);
}

class PointerWakeTest : public testing::FreshWorldTest {
protected:
    PointerWake& wake() { return PointerWake::shared(); }
};

TEST_F(PointerWakeTest, StartsAtRestWithTheCardOrigin) {
    EXPECT_EQ(wake().aboutCardOriginInWindow, (Point{16, 83}));
    EXPECT_EQ(wake().pointerRadiusScale, 1.0);
    const WakeDisplacement d = wake().cursorWakeDisplacement(100, 100, 0, 0, 40, 1);
    EXPECT_EQ(d.dx, 0);
    EXPECT_EQ(d.dy, 0);
    EXPECT_EQ(d.spin, 0);
    EXPECT_FALSE(wake().pendingContactHaptic);
}

TEST_F(PointerWakeTest, PointerPushesAwayWithinReachAndTheCanvasOriginCounts) {
    wake().currentWindowCursor = Point{116, 183};
    // 10 points to the right of the pointer once the origin (16, 83) is added: half the reach.
    const WakeDisplacement d = wake().cursorWakeDisplacement(110, 100, 16, 83, 40, 1);
    EXPECT_NEAR(d.dx, 18 * 0.25, 1e-9);
    EXPECT_NEAR(d.dy, 0, 1e-9);
    EXPECT_NEAR(d.spin, 1.25 * 0.5, 1e-9);
    const WakeDisplacement left = wake().cursorWakeDisplacement(90, 100, 16, 83, 40, 1);
    EXPECT_LT(left.dx, 0);
    EXPECT_LT(left.spin, 0);
    // Out of reach, and the same point without the origin, stay at rest.
    EXPECT_EQ(wake().cursorWakeDisplacement(140, 100, 16, 83, 40, 1).dx, 0);
    EXPECT_EQ(wake().cursorWakeDisplacement(110, 100, 0, 0, 40, 1).dx, 0);
    wake().pointerRadiusScale = 3;
    EXPECT_GT(wake().cursorWakeDisplacement(140, 100, 16, 83, 40, 1).dx, 0);
}

TEST_F(PointerWakeTest, DisplacementIsCappedAndSpinClamped) {
    wake().currentWindowCursor = Point{0, 0};
    for (const double cap : {0.0, 2.0, 5.0}) {
        const WakeDisplacement d = wake().cursorWakeDisplacement(3, 4, 0, 0, cap, 1.3);
        EXPECT_LE(std::hypot(d.dx, d.dy), cap + 1e-9);
    }
    wake().currentWindowCursor.reset();
    for (int i = 0; i < 6; ++i) wake().wakePuffs.push_back({{0, 0}, {2000, 0}, 0});
    const WakeDisplacement d = wake().cursorWakeDisplacement(1, 1, 0, 0, 1000, 20);
    EXPECT_EQ(std::fabs(d.spin), 3.8);
    EXPECT_LE(std::hypot(d.dx, d.dy), 1000);
    // Bad numbers leave the sprite where it is.
    const WakeDisplacement bad = wake().cursorWakeDisplacement(std::nan(""), 1, 0, 0, 40, 1);
    EXPECT_EQ(bad.dx, 0);
    EXPECT_EQ(bad.spin, 0);
}

TEST_F(PointerWakeTest, ContactHapticNeedsAMovingPointerCloseByAndStrengthAboveAThird) {
    wake().currentWindowCursor = Point{50, 50};
    wake().cursorIsMoving = false;
    wake().cursorWakeDisplacement(55, 50, 0, 0, 40, 1);
    EXPECT_FALSE(wake().pendingContactHaptic);
    wake().cursorIsMoving = true;
    wake().cursorWakeDisplacement(55, 50, 0, 0, 40, 0.3);
    EXPECT_FALSE(wake().pendingContactHaptic);
    wake().cursorWakeDisplacement(60, 50, 0, 0, 40, 1);  // 10 points: pushed, but no contact
    EXPECT_FALSE(wake().pendingContactHaptic);
    wake().cursorWakeDisplacement(55, 50, 0, 0, 40, 0.31);
    EXPECT_TRUE(wake().pendingContactHaptic);
}

TEST_F(PointerWakeTest, WakePuffsDriftAgeAndFade) {
    wake().wakePuffs.push_back({{100, 100}, {100, 0}, 1.0});
    wake().lastCursorSampleTime = 1.5;  // age 0.5: drifted 6 points right, reach 23
    const WakeDisplacement atCentre = wake().cursorWakeDisplacement(116, 100, 0, 0, 40, 1);
    EXPECT_GT(atCentre.dx, 0);
    EXPECT_NEAR(atCentre.dy, 0, 1e-9);
    EXPECT_EQ(wake().cursorWakeDisplacement(130, 100, 0, 0, 40, 1).dx, 0);  // 24 from the drifted puff
    wake().lastCursorSampleTime = 2.1;  // older than 1.05 s: gone
    EXPECT_EQ(wake().cursorWakeDisplacement(106, 100, 0, 0, 40, 1).dx, 0);
    wake().lastCursorSampleTime = 0.5;  // sampled before the puff was born: age 0
    EXPECT_GT(wake().cursorWakeDisplacement(110, 100, 0, 0, 40, 1).dx, 0);
}

}  // namespace
}  // namespace quillmar
