// The recogniser, fed snapshots directly on virtual time.

#include <gtest/gtest.h>

#include "platform/sim/sim_system_preferences.h"
#include "trackpad_test_support.h"

namespace quillmar::testing {
namespace {

class GestureRecognizerTest : public TrackpadTest {
protected:
    void SetUp() override {
        TrackpadTest::SetUp();
        settings().triggerStyle = TriggerStyle::immediateHorizontalSlide;
        settings().fingerCount = 3;
    }
    // Three fingers land at x and slide to x + dx (y unchanged) in one frame.
    void slide(double from, double to, double y = 0.5) {
        feed(snapshot(3, from, y));
        feed(snapshot(3, to, y));
    }
    void lift() { feed(snapshot(0, 0, 0)); }
};

TEST_F(GestureRecognizerTest, StartNeedsTheStartDistanceWhichIsTakenOffTheFirstStep) {
    slide(0.5, 0.513);
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    EXPECT_TRUE(log.events.empty());
    lift();

    slide(0.5, 0.514);
    EXPECT_TRUE(phaseIs<gesture::Active>());
    EXPECT_EQ(log.kinds(), (std::vector<K>{K::start}));  // a first step of 0 is not delivered
    lift();
    EXPECT_EQ(log.kinds().back(), K::commit);
    log.clear();

    slide(0.5, 0.4855);  // leftward
    ASSERT_EQ(log.kinds(), (std::vector<K>{K::start, K::scrub}));
    EXPECT_NEAR(log.events[1].value, -0.0005, 1e-9);
    EXPECT_EQ(monitor().scrubAxis(), 1);
}

TEST_F(GestureRecognizerTest, ASlideStartsWhileItsTravelOutweighsTheDrift) {
    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.515, 0.483));  // 0.015 along, 0.017 across: past 0.8 x the drift
    EXPECT_TRUE(phaseIs<gesture::Active>());
    lift();
    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.53, 0.48));  // a drift past the cancel distance, but less than the travel
    EXPECT_TRUE(phaseIs<gesture::Active>());
}

TEST_F(GestureRecognizerTest, DriftAcrossTheBarCancelsUntilEveryFingerLifts) {
    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.51, 0.481));  // 0.019 down, 0.010 sideways
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    feed(snapshot(3, 0.7, 0.481));
    EXPECT_TRUE(log.events.empty());
    lift();
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    slide(0.5, 0.6);
    EXPECT_EQ(log.kinds().front(), K::start);
}

TEST_F(GestureRecognizerTest, ADiagonalSlideNeverOpensTheBar) {
    // Steeper than the bar's axis by 1.27: the travel along it passes the start distance while
    // the drift across is still short of cancelling, and then the drift cancels.
    for (auto style : {SwitchBarStyle::horizontal, SwitchBarStyle::vertical}) {
        settings().switchBarStyle = style;
        log.clear();
        feed(snapshot(3, 0.5, 0.5));
        for (double along : {0.007, 0.014, 0.021}) {
            const double across = 1.27 * along;
            if (style == SwitchBarStyle::horizontal) {
                feed(snapshot(3, 0.5 + along, 0.5 - across));
            } else {
                feed(snapshot(3, 0.5 + across, 0.5 - along));
            }
        }
        EXPECT_TRUE(log.events.empty()) << rawValue(style);
        EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>()) << rawValue(style);
        lift();
    }
}

TEST_F(GestureRecognizerTest, VerticalListStartsDownwardAndScalesTravel) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.5, 0.516));  // upward past the start distance: no start
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    feed(snapshot(3, 0.5, 0.52));  // upward
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    lift();

    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.51, 0.48));  // down 0.02, sideways 0.01
    ASSERT_EQ(log.kinds(), (std::vector<K>{K::start, K::scrub}));
    EXPECT_NEAR(log.events[1].value, 0.0042, 1e-9);
    EXPECT_EQ(monitor().scrubAxis(), 2);
    feed(snapshot(3, 0.51, 0.38));  // a further 0.1 down
    EXPECT_NEAR(log.events.back().value, 0.07, 1e-9);
}

TEST_F(GestureRecognizerTest, HoldStartsAfterTheHoldTimeUnlessTheFingersDrifted) {
    feed(snapshot(3, 0.5, 0.5));  // resting fingers start nothing without the hold trigger
    advance(1);
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    lift();

    settings().triggerStyle = TriggerStyle::holdAndSlide;
    settings().holdDurationMs = 10;  // kept at the 35 ms floor
    feed(snapshot(3, 0.5, 0.5));
    advance(0.034);
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    advance(0.002);
    EXPECT_TRUE(phaseIs<gesture::Active>());
    EXPECT_EQ(log.kinds(), (std::vector<K>{K::start}));  // no step until the next frame
    feed(snapshot(3, 0.52, 0.5));
    EXPECT_EQ(log.kinds(), (std::vector<K>{K::start, K::scrub}));
    EXPECT_NEAR(log.events[1].value, 0.02, 1e-9);
    lift();
    log.clear();

    // A slide before the hold time starts at once; the hold does not fire later.
    settings().holdDurationMs = 200;
    slide(0.5, 0.53);
    EXPECT_EQ(log.count(K::start), 1);
    advance(1);
    EXPECT_EQ(log.count(K::start), 1);
    lift();
    log.clear();

    // A drift along the wrong axis, too small to cancel the candidate, cancels the hold.
    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.5, 0.489));
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    advance(0.2);
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    EXPECT_TRUE(log.events.empty());
}

TEST_F(GestureRecognizerTest, VerticalListHoldCancelsOnDriftUpOrSideways) {
    // On the vertical list the hold fires into a start only when the fingers drifted no more than
    // 0.01 upward or sideways; drifting down (the list's own direction) is fine.
    settings().triggerStyle = TriggerStyle::holdAndSlide;
    settings().switchBarStyle = SwitchBarStyle::vertical;
    settings().holdDurationMs = 100;
    auto holdAfterDrift = [&](double dx, double dy) {
        log.clear();
        feed(snapshot(3, 0.5, 0.5));
        feed(snapshot(3, 0.5 + dx, 0.5 + dy));
        EXPECT_TRUE(phaseIs<gesture::Candidate>()) << dx << " " << dy;
        advance(0.11);
        const bool started = phaseIs<gesture::Active>();
        lift();
        return started;
    };
    EXPECT_FALSE(holdAfterDrift(0, 0.011));
    EXPECT_TRUE(holdAfterDrift(0, 0.009));
    EXPECT_FALSE(holdAfterDrift(0.011, 0));
    EXPECT_FALSE(holdAfterDrift(-0.011, 0.005));
    EXPECT_TRUE(holdAfterDrift(0.009, 0));
    EXPECT_TRUE(holdAfterDrift(0.005, -0.012));
}

TEST_F(GestureRecognizerTest, TopEdgeCandidateCountsExactlyTwoFingers) {
    settings().triggerStyle = TriggerStyle::topEdgeTwoFinger;
    settings().fingerCount = 4;  // ignored by the top-edge trigger
    feed(snapshot(2, 0.5, 0.8));
    ASSERT_TRUE(phaseIs<gesture::Candidate>());
    feed(snapshot(3, 0.5, 0.8));  // a third finger is too many: wait for all to lift
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    feed(snapshot(2, 0.55, 0.8));
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    lift();

    feed(snapshot(2, 0.5, 0.8));
    feed(snapshot(1, 0.5, 0.8));  // one finger lifted: too few, ready again at once
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    feed(snapshot(2, 0.5, 0.8, 0, 4));
    feed(snapshot(2, 0.53, 0.8, 0, 4));
    EXPECT_TRUE(phaseIs<gesture::Active>());
    EXPECT_EQ(log.kinds().front(), K::start);
}

TEST_F(GestureRecognizerTest, FingerCountChanges) {
    feed(snapshot(4, 0.5, 0.5));  // four with the setting 3: nothing
    EXPECT_TRUE(phaseIs<gesture::Idle>());

    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(4, 0.5, 0.5));  // one more during the candidate: too many
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    lift();

    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(2, 0.5, 0.5));  // one fewer: back to idle
    EXPECT_TRUE(phaseIs<gesture::Idle>());

    // Re-identified fingers restart the candidate from their own position.
    feed(snapshot(3, 0.5, 0.5));
    feed(snapshot(3, 0.6, 0.5, 0, 10));
    feed(snapshot(3, 0.61, 0.5, 0, 10));
    EXPECT_TRUE(phaseIs<gesture::Candidate>());

    // Dropping below the start count ends an active gesture with a commit...
    settings().allowSingleFingerContinue = false;
    lift();
    slide(0.5, 0.6);
    feed(snapshot(2, 0.6, 0.5));
    EXPECT_EQ(log.kinds().back(), K::commit);
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    lift();
    // ...unless a single finger may carry on.
    settings().allowSingleFingerContinue = true;
    slide(0.5, 0.6);
    feed(snapshot(1, 0.6, 0.5));
    EXPECT_TRUE(phaseIs<gesture::Active>());
    lift();

    // A gesture of four chosen fingers ends when one lifts; while the count is automatic, three
    // fingers start and so do four.
    settings().allowSingleFingerContinue = false;
    settings().fingerCount = 4;
    feed(snapshot(4, 0.5, 0.5));
    feed(snapshot(4, 0.6, 0.5));
    feed(snapshot(3, 0.6, 0.5));
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    lift();
    settings().fingerCount = 0;
    for (int n : {3, 4}) {
        feed(snapshot(n, 0.5, 0.5));
        feed(snapshot(n, 0.6, 0.5));
        EXPECT_TRUE(phaseIs<gesture::Active>()) << n;
        lift();
    }
}

TEST_F(GestureRecognizerTest, ThreeFingerDragLeavesOnlyFourFingersToStart) {
    auto& prefs = platform::sim::SimSystemPreferences::install();
    prefs.setValue("com.apple.driver.AppleBluetoothMultitouch.trackpad", "TrackpadThreeFingerDrag", true);
    settings().allowSingleFingerContinue = false;
    settings().fingerCount = 0;  // syncs the gate: effectively 4
    EXPECT_EQ(monitor().gateFlags().fingerCount, 4);

    slide(0.5, 0.6);
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    feed(snapshot(4, 0.5, 0.5));
    feed(snapshot(4, 0.6, 0.5));
    EXPECT_TRUE(phaseIs<gesture::Active>());
    feed(snapshot(3, 0.62, 0.5, 0, 2));  // one finger up: "3 or 4" still holds
    EXPECT_TRUE(phaseIs<gesture::Active>());
    feed(snapshot(2, 0.62, 0.5, 0, 2));
    EXPECT_TRUE(phaseIs<gesture::Idle>());
}

TEST_F(GestureRecognizerTest, ScrubDropsTinyStepsAndRebasesOnAddedFingers) {
    slide(0.5, 0.6);
    log.clear();
    feed(snapshot(3, 0.6003, 0.5));  // too small: lost, not saved up
    feed(snapshot(3, 0.6006, 0.5));
    EXPECT_TRUE(log.events.empty());
    feed(snapshot(4, 0.65, 0.5));  // a finger joins: the reference moves, no jump
    EXPECT_TRUE(log.events.empty());
    feed(snapshot(4, 0.66, 0.5));
    ASSERT_EQ(log.kinds(), (std::vector<K>{K::scrub}));
    EXPECT_NEAR(log.events[0].value, 0.01, 1e-9);
}

TEST_F(GestureRecognizerTest, CrossAxisSwipeReportsAndReanchors) {
    slide(0.5, 0.6);
    feed(snapshot(3, 0.6, 0.5));     // anchors here
    feed(snapshot(3, 0.62, 0.38));   // 0.12 down, 0.02 along
    ASSERT_EQ(log.count(K::crossAxisSwipe), 1);
    EXPECT_EQ(log.events.back().kind, K::scrub);  // the frame still scrubs
    EXPECT_EQ(log.events[log.events.size() - 2].value, 1.0);
    feed(snapshot(3, 0.62, 0.30));   // 0.08 from the new anchor: nothing
    EXPECT_EQ(log.count(K::crossAxisSwipe), 1);
    feed(snapshot(3, 0.62, 0.50));   // 0.12 back up from the anchor
    EXPECT_EQ(log.count(K::crossAxisSwipe), 2);
    EXPECT_EQ(log.events[log.events.size() - 1].value, -1.0);
    feed(snapshot(3, 0.74, 0.62));   // 0.12 across, but as far along: no swipe
    EXPECT_EQ(log.count(K::crossAxisSwipe), 2);
}

TEST_F(GestureRecognizerTest, CancelWhileIdleLeavesTheRecogniserReady) {
    monitor().cancelCurrentGesture();  // Esc on a preview: no gesture in progress
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    slide(0.5, 0.6);
    EXPECT_EQ(log.kinds().front(), K::start);

    monitor().cancelCurrentGesture();
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    EXPECT_EQ(log.kinds().back(), K::cancel);
    feed(snapshot(3, 0.8, 0.5));
    EXPECT_EQ(log.kinds().back(), K::cancel);
    lift();
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    EXPECT_EQ(log.count(K::commit), 0);
}

TEST_F(GestureRecognizerTest, PauseDisableAndOverviewKeepGesturesFromStarting) {
    bool paused = false;
    bool overview = false;
    int refreshes = 0;
    monitor().isPauseActive = [&] { return paused; };
    monitor().refreshPauseState = [&] { ++refreshes; };
    monitor().isSystemOverviewActive = [&] { return overview; };

    // Paused at snapshot time: an active gesture is cancelled, never committed.
    slide(0.5, 0.6);
    EXPECT_EQ(refreshes, 1);
    paused = true;
    feed(snapshot(3, 0.7, 0.5));
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    EXPECT_EQ(log.kinds(), (std::vector<K>{K::start, K::scrub, K::cancel}));
    lift();
    EXPECT_EQ(log.count(K::commit), 0);

    // Paused by the refresh made before leaving idle.
    paused = false;
    monitor().refreshPauseState = [&] { paused = true; };
    feed(snapshot(3, 0.5, 0.5));
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    monitor().refreshPauseState = nullptr;
    paused = false;
    lift();
    feed(snapshot(3, 0.5, 0.5));
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    lift();

    overview = true;
    feed(snapshot(3, 0.5, 0.5));
    EXPECT_TRUE(phaseIs<gesture::CancelledUntilAllLift>());
    lift();
    overview = false;

    // Switching gestures off resets an active one at once.
    log.clear();
    slide(0.5, 0.6);
    settings().isEnabled = false;
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    EXPECT_EQ(log.kinds().back(), K::cancel);
}

TEST_F(GestureRecognizerTest, TopEdgeNeedsTwoFingersNearTheTop) {
    settings().triggerStyle = TriggerStyle::topEdgeTwoFinger;
    feed(snapshot(2, 0.5, 0.6));
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    feed(snapshot(2, 0.5, 0.8));
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    feed(snapshot(2, 0.5, 0.6, 0, 5));  // new fingers below the line: back to idle
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    feed(snapshot(2, 0.5, 0.8));
    feed(snapshot(2, 0.53, 0.8));
    EXPECT_TRUE(phaseIs<gesture::Active>());
    feed(snapshot(1, 0.53, 0.8));  // single-finger continuation is on by default
    EXPECT_TRUE(phaseIs<gesture::Active>());
    feed(snapshot(3, 0.53, 0.8, 0, 7));
    EXPECT_TRUE(phaseIs<gesture::Active>());
}

}  // namespace
}  // namespace quillmar::testing
