// When a tap replays the egg and when it is swallowed: the icon and the emblem each keep their
// own spacing after an unlock while the dissolve plays, QA mode steps the rotation with shorter
// spacings and starts it from the first place, and the window-wide scenes play longer.

#include <gtest/gtest.h>

#include "seasonal/artisan_craft_state.h"
#include "seasonal/craft_test_support.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

class CraftReplayTiming : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::setToday(2026, 5, 12);  // spring: an ordinary egg of the day
        craft = &ArtisanCraftState::shared();
    }
    void unlock() {
        for (int i = 0; i < 3; ++i) craft->handleIconTap(false);
        ASSERT_TRUE(craft->activeEasterEgg.get());
        ASSERT_EQ(craft->dissolveProgress.get(), 0.0);
    }
    bool restarted() const { return craft->dissolveProgress.get() == 0.0; }
    ArtisanCraftState* craft = nullptr;
};

TEST_F(CraftReplayTiming, TheIconWaitsThreeQuartersOfASecondTheEmblemLessThanHalfOfOne) {
    unlock();
    advance(0.7);
    craft->handleIconTap(false);
    EXPECT_FALSE(restarted()) << "an icon tap 0.7 s after the unlock replays";
    advance(0.07);
    craft->handleIconTap(false);
    EXPECT_TRUE(restarted()) << "an icon tap 0.77 s after the unlock is swallowed";

    advance(0.5);
    craft->handleEmblemTap(false);
    EXPECT_FALSE(restarted()) << "an emblem tap 0.5 s after the replay replays";
    advance(0.07);
    craft->handleEmblemTap(false);
    EXPECT_TRUE(restarted()) << "an emblem tap 0.57 s after the replay is swallowed";

    // Once the dissolve is over any tap replays at once.
    advance(5.2);
    ASSERT_FALSE(craft->dissolveProgress.get());
    advance(0.1);
    craft->handleEmblemTap(false);
    advance(0.1);
    EXPECT_TRUE(craft->dissolveProgress.get());
}

TEST_F(CraftReplayTiming, InQAModeTheIconKeepsAThirdOfASecondAndTheRotationStartsAtTheFirstPlace) {
    SwitcherSettings::shared().setQAMode(true);
    // With no egg shown, a tap on the emblem starts the rotation at its first place.
    advance(1.0);
    craft->handleEmblemTap(false);
    ASSERT_TRUE(craft->activeEasterEgg.get());
    EXPECT_EQ(craft->activeEasterEgg.get()->badgeTitle, SeasonalEasterEgg::qaRotation()[0].badgeTitle);
    advance(0.3);
    craft->handleIconTap(false);
    EXPECT_EQ(craft->qaRotationIndex, 0) << "an icon tap 0.3 s after the last step moved on";
    advance(0.06);
    craft->handleIconTap(false);
    EXPECT_EQ(craft->qaRotationIndex, 1);
    EXPECT_EQ(craft->activeEasterEgg.get()->badgeTitle, SeasonalEasterEgg::qaRotation()[1].badgeTitle);
}

TEST_F(CraftReplayTiming, WindowWideScenesPlayLongerThanTheCardScenes) {
    for (const auto& egg : SeasonalEasterEgg::qaRotation()) {
        craft->beginUnlockAnimation(egg, false);
        advance(5.3);
        const bool windowWide = egg.canvasTheme == ArtisanCanvasTheme::stPatricksWindowSpectacle ||
                                egg.canvasTheme == ArtisanCanvasTheme::fireworksCelebration ||
                                egg.canvasTheme == ArtisanCanvasTheme::halloweenSpectacle ||
                                egg.canvasTheme == ArtisanCanvasTheme::christmasSpectacle;
        EXPECT_EQ(craft->dissolveProgress.get().has_value(), windowWide) << egg.badgeTitle;
        advance(0.4);
        EXPECT_FALSE(craft->dissolveProgress.get()) << egg.badgeTitle;
    }
}

}  // namespace
}  // namespace quillmar
