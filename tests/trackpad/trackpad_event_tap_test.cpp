// The session event tap: on only during an active gesture, swallowing background scrolling and
// system gestures, handing keys to the Switch Bar.

#include <gtest/gtest.h>

#include "trackpad_test_support.h"

namespace quillmar::testing {
namespace {

using platform::TapDecision;
using platform::sim::SimEventTap;
namespace et = platform::event_type;

constexpr int kQ = 12;
constexpr int kW = 13;
constexpr int kEsc = 53;

class TrackpadEventTapTest : public SimTrackpadTest {
protected:
    void SetUp() override {
        SimTrackpadTest::SetUp();
        taps = &SimEventTap::install();
    }
    // A monitor with the permission and its tap, and a Switch Bar that takes Esc, W and Q.
    TrackpadTouchMonitor& trusted() {
        auto& m = started();
        m.isAccessibilityTrusted = [] { return true; };
        m.ensureEventTapCreated();
        m.onForwardedKeyDown = [this](int code) {
            forwarded.push_back(code);
            return code == kEsc || code == kW || code == kQ;
        };
        return m;
    }
    void beginCandidate() {
        frame(three(0.5f));
        runUntilIdle();
    }
    void beginGesture() {
        beginCandidate();
        frame(three(0.6f));
        runUntilIdle();
        ASSERT_TRUE(monitor().isGestureActive());
    }
    void endGesture() {
        frame({});
        runUntilIdle();
    }
    bool tapOn() { return monitor().hasEventTap() && taps->isEnabled(*taps->lastTap()); }

    SimEventTap* taps = nullptr;
    std::vector<int> forwarded;
};

TEST_F(TrackpadEventTapTest, TheTapNeedsThePermissionAndIsOnOnlyDuringAGesture) {
    auto& m = started();
    EXPECT_FALSE(m.hasEventTap());  // not trusted
    m.isAccessibilityTrusted = [] { return true; };
    m.ensureEventTapCreated();
    ASSERT_TRUE(m.hasEventTap());
    EXPECT_EQ(taps->tapCount(), 1u);
    EXPECT_FALSE(tapOn());
    EXPECT_EQ(taps->post(SimEventTap::scroll(-2)), TapDecision::pass);
    EXPECT_EQ(taps->callbackCalls(), 0);  // outside a gesture, nothing is inspected

    beginCandidate();
    EXPECT_FALSE(tapOn());
    frame(three(0.6f));
    runUntilIdle();
    EXPECT_TRUE(tapOn());
    endGesture();
    EXPECT_FALSE(tapOn());
    m.ensureEventTapCreated();
    EXPECT_EQ(taps->tapCount(), 1u);
}

TEST_F(TrackpadEventTapTest, ARefusedTapIsTriedAgainLater) {
    taps->setRefusesCreation(true);
    auto& m = trusted();
    EXPECT_FALSE(m.hasEventTap());
    taps->setRefusesCreation(false);
    beginGesture();
    m.installEventTap();  // as the Switch Bar does when it presents
    ASSERT_TRUE(m.hasEventTap());
    EXPECT_TRUE(tapOn());  // created during a gesture: on at once
}

TEST_F(TrackpadEventTapTest, BackgroundScrollingAndSystemGesturesDuringAGesture) {
    trusted();
    beginGesture();
    EXPECT_EQ(taps->post(SimEventTap::scroll(-3)), TapDecision::swallow);
    // The horizontal bar leaves the system's gestures alone.
    EXPECT_EQ(taps->post(SimEventTap::systemGesture(et::swipe)), TapDecision::pass);
    EXPECT_EQ(taps->post(SimEventTap::systemGesture(et::magnify)), TapDecision::pass);

    settings().suppressBackgroundScroll = false;
    EXPECT_EQ(taps->post(SimEventTap::scroll(-3)), TapDecision::pass);
    settings().switchBarStyle = SwitchBarStyle::vertical;
    EXPECT_EQ(taps->post(SimEventTap::systemGesture(et::swipe)), TapDecision::swallow);
    EXPECT_EQ(taps->post(SimEventTap::systemGesture(et::rotate)), TapDecision::swallow);

    endGesture();
    settings().suppressBackgroundScroll = true;
    EXPECT_EQ(taps->post(SimEventTap::scroll(-3)), TapDecision::pass);
    EXPECT_EQ(taps->post(SimEventTap::systemGesture(et::swipe)), TapDecision::pass);
}

TEST_F(TrackpadEventTapTest, KeysGoToTheSwitchBarOnlyDuringAnActiveGesture) {
    trusted();
    beginCandidate();
    EXPECT_EQ(taps->post(SimEventTap::keyDown(kW)), TapDecision::pass);
    EXPECT_TRUE(forwarded.empty());
    frame(three(0.6f));
    runUntilIdle();
    EXPECT_EQ(taps->post(SimEventTap::keyDown(kW, platform::event_flags::command)), TapDecision::swallow);
    EXPECT_EQ(taps->post(SimEventTap::keyDown(0)), TapDecision::pass);  // "a": not the bar's
    EXPECT_EQ(forwarded, (std::vector<int>{kW, 0}));
}

TEST_F(TrackpadEventTapTest, AHeldQuickKeyActsOnceAndItsRepeatsAreSwallowed) {
    trusted();
    beginGesture();
    EXPECT_EQ(taps->post(SimEventTap::keyDown(kQ)), TapDecision::swallow);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(taps->post(SimEventTap::keyDown(kQ, 0, true)), TapDecision::swallow);
    EXPECT_EQ(forwarded, (std::vector<int>{kQ}));
    // A fresh press acts again.
    EXPECT_EQ(taps->post(SimEventTap::keyDown(kQ)), TapDecision::swallow);
    EXPECT_EQ(forwarded.size(), 2u);
    // A key held since before the gesture was never the bar's: its repeats reach the app.
    EXPECT_EQ(taps->post(SimEventTap::keyDown(kW, 0, true)), TapDecision::pass);
    EXPECT_EQ(forwarded.size(), 2u);
    // The next gesture starts with a clean slate.
    endGesture();
    beginGesture();
    EXPECT_EQ(taps->post(SimEventTap::keyDown(kQ, 0, true)), TapDecision::pass);
    EXPECT_EQ(forwarded.size(), 2u);
}

TEST_F(TrackpadEventTapTest, TheSystemSwitchingTheTapOff) {
    auto& m = trusted();
    beginGesture();
    const auto tap = *taps->lastTap();
    taps->disableByTimeout(tap);
    EXPECT_TRUE(taps->isEnabled(tap));  // back on before the next event
    EXPECT_EQ(taps->post(SimEventTap::scroll(-1)), TapDecision::swallow);

    taps->disableByUserInput(tap);
    EXPECT_FALSE(m.isScrollTapEnabled());
    EXPECT_EQ(taps->post(SimEventTap::scroll(-1)), TapDecision::pass);
    endGesture();
    // Recorded as off, so the next gesture really switches it on again.
    beginGesture();
    EXPECT_TRUE(taps->isEnabled(tap));

    endGesture();
    taps->setEnabled(tap, true);
    taps->disableByTimeout(tap);  // no gesture: stays off
    EXPECT_FALSE(taps->isEnabled(tap));
    EXPECT_FALSE(m.isScrollTapEnabled());
}

TEST_F(TrackpadEventTapTest, SwitchingGesturesOffOrStoppingDevicesTurnsTheTapOff) {
    auto& m = trusted();
    beginGesture();
    settings().isEnabled = false;
    EXPECT_FALSE(tapOn());
    settings().isEnabled = true;
    beginGesture();
    EXPECT_TRUE(tapOn());
    m.stopDevices(true);
    EXPECT_FALSE(tapOn());
}

}  // namespace
}  // namespace quillmar::testing
