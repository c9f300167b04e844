#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/sim/sim_user_feedback.h"
#include "settings_ui/hardware_stage_state.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using platform::HapticPattern;

// Five fingers side by side, all moved right by `dx` from x0.
std::vector<TouchDot> hand(double x0, int fingers = 5) {
    std::vector<TouchDot> dots;
    for (int i = 0; i < fingers; ++i) dots.push_back({i + 1, x0 + 0.05 * i, 0.5, 1});
    return dots;
}

class HardwareStageStateTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        haptics = &platform::sim::SimHaptics::install();
    }
    HardwareStageState& stage() { return HardwareStageState::shared(); }
    platform::sim::SimHaptics* haptics = nullptr;
};

TEST_F(HardwareStageStateTest, ZenBeginsWithFiveFingersEndsWithFourAndRestartsFresh) {
    stage().ingestTouches(hand(0.2, 4), true);
    EXPECT_FALSE(stage().isFiveFingerZen);
    EXPECT_TRUE(haptics->patterns().empty());

    stage().ingestTouches(hand(0.2), true);
    EXPECT_TRUE(stage().isFiveFingerZen);
    advance(0.1);  // the two delayed taps of the entry
    EXPECT_EQ(haptics->patterns(),
              (std::vector<HapticPattern>{HapticPattern::levelChange, HapticPattern::levelChange, HapticPattern::alignment}));

    stage().ingestTouches(hand(0.21), true);  // some travel left in the accumulator
    stage().ingestTouches(hand(0.21, 4), true);
    EXPECT_FALSE(stage().isFiveFingerZen);
    EXPECT_EQ(stage().sandDistanceAccumulator(), 0);

    stage().ingestTouches(hand(0.3), true);
    EXPECT_TRUE(stage().isFiveFingerZen);
    advance(0.1);
    EXPECT_EQ(haptics->count(HapticPattern::alignment), 2);  // a second triple tap
    EXPECT_EQ(stage().sandDistanceAccumulator(), 0);
}

TEST_F(HardwareStageStateTest, FirstFrameAndRestingOrNewFingersRakeNothing) {
    stage().ingestTouches(hand(0.2), false);
    EXPECT_EQ(stage().zenSandWavePhase, 0);
    stage().ingestTouches(hand(0.2005), false);  // 0.0005 per finger: resting
    EXPECT_EQ(stage().zenSandWavePhase, 0);
    EXPECT_EQ(stage().sandDistanceAccumulator(), 0);

    // A whole new hand: every touch is new, so the frame only records them.
    std::vector<TouchDot> other;
    for (int i = 0; i < 5; ++i) other.push_back({100 + i, 0.9, 0.1, 1});
    stage().ingestTouches(other, false);
    EXPECT_EQ(stage().zenSandWavePhase, 0);
    EXPECT_EQ(stage().sandDistanceAccumulator(), 0);
}

TEST_F(HardwareStageStateTest, GrainsBeyondThreePerFrameCarryOverToLaterFrames) {
    stage().ingestTouches(hand(0.2), false);
    stage().ingestTouches(hand(0.25), false);  // mean travel 0.05 = six grains' worth
    EXPECT_NEAR(stage().zenSandWavePhase, 0.225, 1e-12);
    EXPECT_NEAR(stage().sandDistanceAccumulator(), 0.05 - 3 * 0.0082, 1e-12);

    stage().ingestTouches(hand(0.251), false);  // a small step still yields three more grains
    EXPECT_NEAR(stage().zenSandWavePhase, 0.45, 1e-12);
    EXPECT_EQ(stage().sandGrainCount(), 0);  // haptics off: the phase moves silently

    // The phase wraps around 1.
    for (int i = 0; i < 3; ++i) stage().ingestTouches(hand(0.3 + 0.05 * i), false);
    EXPECT_GE(stage().zenSandWavePhase, 0);
    EXPECT_LT(stage().zenSandWavePhase, 1);
}

TEST_F(HardwareStageStateTest, GrainTicksAreThrottledAndEveryEighthFeelsDifferent) {
    stage().ingestTouches(hand(0.1), true);
    advance(0.1);
    const auto entryTicks = haptics->patterns().size();

    double x = 0.1;
    stage().ingestTouches(hand(x += 0.01), true);
    stage().ingestTouches(hand(x += 0.01), true);  // same instant: no second tick
    EXPECT_EQ(haptics->patterns().size(), entryTicks + 1);
    EXPECT_EQ(stage().sandGrainCount(), 1);

    for (int i = 0; i < 7; ++i) {
        advance(0.025);
        stage().ingestTouches(hand(x += 0.01), true);
    }
    EXPECT_EQ(stage().sandGrainCount(), 8);
    EXPECT_EQ(haptics->patterns().back(), HapticPattern::alignment);
    EXPECT_EQ(haptics->patterns()[haptics->patterns().size() - 2], HapticPattern::levelChange);
}

TEST_F(HardwareStageStateTest, JumpsAndNonFiniteTravelAreIgnored) {
    stage().ingestTouches(hand(0.2), false);
    auto far = hand(0.2);
    for (auto& d : far) d.x += 2.5;  // a jump of more than the pad
    stage().ingestTouches(far, false);
    auto bad = far;
    bad[0].x = std::numeric_limits<double>::quiet_NaN();
    stage().ingestTouches(bad, false);
    EXPECT_EQ(stage().zenSandWavePhase, 0);
    EXPECT_EQ(stage().sandDistanceAccumulator(), 0);
}

TEST_F(HardwareStageStateTest, ResetForgetsPointerAndZenButKeepsHeightAndIndex) {
    stage().hoverRatioX = 0.4;
    stage().hoverRatioY = 0.3;
    stage().simulatedIndex = 3;
    stage().ingestTouches(hand(0.2), false);
    stage().ingestTouches(hand(0.25), false);
    stage().reset();
    EXPECT_FALSE(stage().hoverRatioX->has_value());
    EXPECT_FALSE(stage().isFiveFingerZen);
    EXPECT_EQ(stage().sandDistanceAccumulator(), 0);
    EXPECT_EQ(stage().hoverRatioY, 0.3);
    EXPECT_EQ(stage().simulatedIndex, 3);
    EXPECT_NEAR(stage().zenSandWavePhase, 0.225, 1e-12);
}

}  // namespace
}  // namespace quillmar
