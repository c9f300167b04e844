// Sampling the pointer on each dissolve step: which window, the margin, puffs behind a moving
// pointer, their caps, and the contact haptic that a touched sprite asks for.

#include <gtest/gtest.h>

#include <cmath>

#include "seasonal/artisan_craft_state.h"
#include "seasonal/craft_test_support.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

class PointerSamplingTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::setToday(2026, 5, 10);
        haptics = &platform::sim::SimHaptics::install();
        windows = &testing::FakeWindowList::install();
        craft = &ArtisanCraftState::shared();
        wake = &PointerWake::shared();
    }
    // Moves the pointer to p and runs one dissolve step's sampling and haptic, 1/60 s later.
    void moveTo(Point p) {
        windows->settingsWindowWithPointer(p);
        step();
    }
    void step() {
        now += 1.0 / 60;
        craft->sampleWindowCursor(now);
        craft->playContactHaptic(now);
    }

    double now = runtime::mediaTime();

    platform::sim::SimHaptics* haptics = nullptr;
    testing::FakeWindowList* windows = nullptr;
    ArtisanCraftState* craft = nullptr;
    PointerWake* wake = nullptr;
};

TEST_F(PointerSamplingTest, FindsTheSettingsWindowElseTheKeyWindowWithinItsMargin) {
    moveTo({-15, 300});
    ASSERT_TRUE(wake->currentWindowCursor);
    EXPECT_DOUBLE_EQ(wake->currentWindowCursor->y, 300);  // flipped to a top-left origin
    moveTo({-17, 300});
    EXPECT_FALSE(wake->currentWindowCursor);

    windows->list = {{Rect{0, 0, 800, 600}, true, false, Size{800, 600}, Point{50, 50}}};  // not settings-sized, not key
    step();
    EXPECT_FALSE(wake->currentWindowCursor);
    windows->list[0].isKey = true;
    step();
    ASSERT_TRUE(wake->currentWindowCursor);
    EXPECT_DOUBLE_EQ(wake->currentWindowCursor->y, 550);
}

TEST_F(PointerSamplingTest, PuffsFollowAMovingPointerOnly) {
    moveTo({100, 100});
    moveTo({100, 100});
    EXPECT_FALSE(wake->cursorIsMoving);
    EXPECT_TRUE(wake->wakePuffs.empty());
    moveTo({100.5, 100});  // 0.5 points: too small a step
    EXPECT_TRUE(wake->wakePuffs.empty());
    moveTo({103, 100});  // a step, but less than 4 points from where the last puff would be
    EXPECT_TRUE(wake->cursorIsMoving);
    EXPECT_TRUE(wake->wakePuffs.empty());
    moveTo({106, 100});
    ASSERT_EQ(wake->wakePuffs.size(), 1u);
    EXPECT_NEAR(wake->wakePuffs[0].vel.x, 3 * 60, 1);

    // A flick is capped at 950 points per second; no more than 20 puffs are kept.
    for (int i = 1; i <= 30; ++i) moveTo({i % 2 ? 136.0 : 106.0, 100});  // 30 points a step: 1800 points/s
    EXPECT_EQ(wake->wakePuffs.size(), 20u);
    EXPECT_NEAR(std::hypot(wake->wakePuffs.back().vel.x, wake->wakePuffs.back().vel.y), 950, 1e-6);
    // Puffs fade out after 1.05 s even when the pointer leaves.
    windows->list.clear();
    now += 1.2;
    step();
    EXPECT_TRUE(wake->wakePuffs.empty());
    EXPECT_FALSE(wake->currentWindowCursor);
}

TEST_F(PointerSamplingTest, ASpriteTouchedByTheMovingPointerPlaysOneHapticPerSpacing) {
    craft->sessionHapticsEnabled = true;  // as an unlock with haptics on sets it
    moveTo({200, 200});
    moveTo({210, 200});
    const Point origin{0, 0};
    // A weak sprite (strength 0.3) does not count as a contact; a stronger one does.
    craft->cursorWakeDisplacement({212, 200}, origin, 30, 0.3);
    EXPECT_FALSE(wake->pendingContactHaptic);
    const auto d = craft->cursorWakeDisplacement({212, 200}, origin, 30, 0.9);
    EXPECT_GT(d.dx, 0);  // pushed away from the pointer
    EXPECT_TRUE(wake->pendingContactHaptic);
    moveTo({216, 200});
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 1);
    // A second contact 1/60 s later is dropped, not deferred.
    craft->cursorWakeDisplacement({216, 200}, origin, 30, 0.9);
    moveTo({222, 200});
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 1);
    now += 0.1;
    craft->cursorWakeDisplacement({228, 200}, origin, 30, 0.9);
    moveTo({228, 200});
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 2);
    // A pointer at rest touching a sprite plays nothing.
    moveTo({228, 200});
    craft->cursorWakeDisplacement({228, 200}, origin, 30, 0.9);
    moveTo({228, 200});
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 2);

    // Stopping the dissolve forgets the pointer, its wake and the contact.
    craft->cursorWakeDisplacement({222, 200}, origin, 30, 0.9);
    craft->stopDissolve();
    EXPECT_FALSE(wake->currentWindowCursor);
    EXPECT_TRUE(wake->wakePuffs.empty());
    EXPECT_FALSE(wake->pendingContactHaptic);
    const auto none = craft->cursorWakeDisplacement({222, 200}, origin, 30, 0.9);
    EXPECT_EQ(none.dx, 0);
    EXPECT_EQ(none.spin, 0);
}

}  // namespace
}  // namespace quillmar
