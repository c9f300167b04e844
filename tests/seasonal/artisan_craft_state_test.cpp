// The craft state on virtual time: tap counting and unlock, the three animations and their
// timers, haptics through the simulated engine, QA rotation, and QA mode turning off anywhere.

#include <gtest/gtest.h>

#include "platform/accessibility_display_options.h"
#include "seasonal/artisan_craft_state.h"
#include "seasonal/craft_test_support.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using platform::HapticPattern;
using T = ArtisanCanvasTheme;

class CraftStateTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::setToday(2026, 10, 28);  // Halloween week
        haptics = &platform::sim::SimHaptics::install();
        craft = &ArtisanCraftState::shared();
    }
    void tapIcon(bool haptic = true) { craft->handleIconTap(haptic); }

    platform::sim::SimHaptics* haptics = nullptr;
    ArtisanCraftState* craft = nullptr;
};

TEST_F(CraftStateTest, ThreeQuickTapsUnlockTheEggOfTheDayWithTheirHaptics) {
    tapIcon();
    EXPECT_EQ(craft->tapBurstLevel.get(), 1);
    EXPECT_EQ(haptics->patterns(), (std::vector{HapticPattern::alignment}));
    advance(0.5);
    tapIcon();
    EXPECT_EQ(craft->tapBurstLevel.get(), 2);
    advance(0.1);  // the level change follows 0.058 s later
    EXPECT_EQ(haptics->patterns(), (std::vector{HapticPattern::alignment, HapticPattern::alignment, HapticPattern::levelChange}));
    advance(2.3);  // still within 2.4 s of the second tap
    tapIcon();
    ASSERT_TRUE(craft->activeEasterEgg.get());
    EXPECT_EQ(craft->activeEasterEgg.get()->canvasTheme, T::halloweenSpectacle);
    EXPECT_FALSE(craft->tapBurstProgress.get());
    EXPECT_EQ(craft->tapBurstLevel.get(), 0);
    EXPECT_EQ(craft->dissolveProgress.get(), 0.0);
    advance(0.2);
    const std::vector tail(haptics->patterns().end() - 3, haptics->patterns().end());
    EXPECT_EQ(tail, (std::vector{HapticPattern::generic, HapticPattern::alignment, HapticPattern::levelChange}));
}

TEST_F(CraftStateTest, APauseLongerThanTheSeriesGapStartsCountingAgain) {
    tapIcon();
    advance(0.3);
    tapIcon();
    advance(2.5);
    tapIcon();
    EXPECT_FALSE(craft->activeEasterEgg.get());
    EXPECT_EQ(craft->tapBurstLevel.get(), 1);
}

TEST_F(CraftStateTest, ProgressRunsLinearlyOnItsTimerAndEndsAbsent) {
    craft->startHint();
    advance(1.3);
    ASSERT_TRUE(craft->hintProgress.get());
    EXPECT_NEAR(*craft->hintProgress.get(), 0.5, 0.01);
    advance(1.4);
    EXPECT_FALSE(craft->hintProgress.get());
    EXPECT_FALSE(craft->isHintRunning());

    craft->startTapBurst(2, false);
    advance(0.525);
    EXPECT_NEAR(*craft->tapBurstProgress.get(), 0.5, 0.02);
    advance(0.6);
    EXPECT_FALSE(craft->tapBurstProgress.get());
    EXPECT_EQ(craft->tapBurstLevel.get(), 0);

    // A Halloween dissolve lasts 5.6 s and keeps the egg afterwards; others 5.15 s.
    craft->beginUnlockAnimation(SeasonalEasterEgg::qaRotation()[1], false);
    EXPECT_DOUBLE_EQ(PointerWake::shared().pointerRadiusScale, 1.5);
    advance(5.5);
    EXPECT_TRUE(craft->dissolveProgress.get());
    advance(0.2);
    EXPECT_FALSE(craft->dissolveProgress.get());
    EXPECT_TRUE(craft->activeEasterEgg.get());
    craft->beginUnlockAnimation(SeasonalEasterEgg::qaRotation()[4], false);
    EXPECT_DOUBLE_EQ(PointerWake::shared().pointerRadiusScale, 1.0);
    advance(5.2);
    EXPECT_FALSE(craft->dissolveProgress.get());
}

TEST_F(CraftStateTest, ReduceMotionShortensHintAndEveryDissolve) {
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(true);
    craft->startHint();
    advance(1.25);
    EXPECT_FALSE(craft->hintProgress.get());
    craft->beginUnlockAnimation(SeasonalEasterEgg::qaRotation()[0], false);
    advance(1.25);
    EXPECT_FALSE(craft->dissolveProgress.get());
}

TEST_F(CraftStateTest, TheHintRefusesToStartDuringADissolve) {
    craft->beginUnlockAnimation(SeasonalEasterEgg::qaRotation()[6], false);
    craft->startHint();
    EXPECT_FALSE(craft->hintProgress.get());
}

TEST_F(CraftStateTest, ReplaysAreSpacedAfterAnUnlock) {
    for (int i = 0; i < 3; ++i) tapIcon(false);
    ASSERT_TRUE(craft->activeEasterEgg.get());
    advance(0.4);
    craft->handleEmblemTap(false);  // 0.4 s: ignored while the dissolve runs
    EXPECT_GT(*craft->dissolveProgress.get(), 0.05);
    advance(0.1);
    tapIcon(false);  // 0.5 s: ignored
    EXPECT_GT(*craft->dissolveProgress.get(), 0.05);
    advance(0.3);
    tapIcon(false);  // 0.8 s: replays from the start
    EXPECT_EQ(craft->dissolveProgress.get(), 0.0);
}

TEST_F(CraftStateTest, QAModeStepsThroughTheSeventeenEggsAndWrapsAround) {
    SwitcherSettings::shared().setQAMode(true);
    for (int i = 0; i < 3; ++i) tapIcon(false);
    EXPECT_EQ(craft->activeEasterEgg.get()->badgeTitle, SeasonalEasterEgg::qaRotation()[0].badgeTitle);
    advance(0.2);
    tapIcon(false);  // 0.2 s after the unlock: too soon on the icon in QA mode
    EXPECT_EQ(craft->qaRotationIndex, 0);
    for (int i = 1; i < 17; ++i) {
        advance(0.16);
        craft->handleEmblemTap(false);
        EXPECT_EQ(craft->qaRotationIndex, i);
    }
    advance(0.4);
    tapIcon(false);
    EXPECT_EQ(craft->qaRotationIndex, 0);
    EXPECT_EQ(craft->activeEasterEgg.get()->canvasTheme, T::stPatricksWindowSpectacle);
}

// QA mode may be switched off from the status menu or a URL command, not only from the card's
// badge: the QA egg must go and every animation stop in each case.
TEST_F(CraftStateTest, QAModeOffFromAnywhereClearsTheQAEggAndStopsTheAnimations) {
    auto& settings = SwitcherSettings::shared();
    settings.setQAMode(true);
    for (int i = 0; i < 3; ++i) tapIcon(false);
    craft->startTapBurst(1, false);
    ASSERT_TRUE(craft->activeEasterEgg.get());
    settings.setQAMode(false);  // as the status menu does
    EXPECT_FALSE(craft->activeEasterEgg.get());
    EXPECT_FALSE(craft->dissolveProgress.get());
    EXPECT_FALSE(craft->tapBurstProgress.get());
    EXPECT_FALSE(craft->isDissolveRunning());

    // An egg of the day unlocked outside QA mode survives a repeated "off".
    for (int i = 0; i < 3; ++i) tapIcon(false);
    ASSERT_TRUE(craft->activeEasterEgg.get());
    settings.setQAMode(false);
    EXPECT_TRUE(craft->activeEasterEgg.get());
}

TEST_F(CraftStateTest, NoHapticsAtAllWhenTheyAreOff) {
    testing::FakeWindowList::install().settingsWindowWithPointer({200, 200});
    for (int i = 0; i < 3; ++i) tapIcon(false);
    advance(0.5);
    EXPECT_TRUE(haptics->patterns().empty());
}

TEST_F(CraftStateTest, StoppingIdleAnimationsPublishesNothing) {
    int changes = 0;
    auto sub = craft->objectWillChange.connect([&changes] { ++changes; });
    craft->stopHint();
    craft->stopTapBurst();
    craft->stopDissolve();
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace quillmar
