// Frames from the simulated framework through the gate and the drain into the recogniser, and
// the live dots, stepped on the test's thread.

#include <gtest/gtest.h>

#include "trackpad_test_support.h"

namespace quillmar::testing {
namespace {

using platform::sim::SimFinger;

class TrackpadFramePathTest : public SimTrackpadTest {};

TEST_F(TrackpadFramePathTest, AStalledMainThreadSeesTheLastPositionBeforeTheLift) {
    started();
    frame(three(0.5f));
    runUntilIdle();
    EXPECT_TRUE(phaseIs<gesture::Candidate>());
    // The main thread is busy while the fingers slide on and lift.
    frame(three(0.6f));
    frame(three(0.7f));
    frame({});
    runUntilIdle();
    ASSERT_EQ(log.kinds(), (std::vector<K>{K::start, K::scrub, K::commit}));
    EXPECT_NEAR(log.events[1].value, 0.2 - 0.014, 1e-6);
    EXPECT_TRUE(phaseIs<gesture::Idle>());
}

TEST_F(TrackpadFramePathTest, FingersThatLandAgainBeforeTheDrainDoNotHideTheLift) {
    started();
    frame(three(0.5f));
    runUntilIdle();
    // While the main thread is busy, the fingers slide, lift and land again further left, with
    // new identities, then slide right once more.
    frame(three(0.6f));
    frame(three(0.7f));
    frame({});
    frame(three(0.3f, 0.5f, 20));
    runUntilIdle();
    ASSERT_EQ(log.kinds(), (std::vector<K>{K::start, K::scrub, K::commit}));
    frame(three(0.35f, 0.5f, 20));
    runUntilIdle();
    for (const auto& e : log.events) {
        if (e.kind == K::scrub) {
            EXPECT_GT(e.value, 0);  // no jump back to where the new fingers landed
        }
    }
    // A tap that came and went entirely between two hand-overs after such a lift is dropped,
    // and the order of what remains is kept.
    frame({});
    frame(three(0.5f, 0.5f, 40));
    frame({});
    runUntilIdle();
    EXPECT_TRUE(phaseIs<gesture::Idle>());
}

TEST_F(TrackpadFramePathTest, ALiftDuringTheFirstDrainIsNotLost) {
    settings().triggerStyle = TriggerStyle::holdAndSlide;
    auto& m = started();
    // The lift arrives just as the first drain moves the recogniser out of idle: no drain is
    // queued any more and the gate still says idle.
    bool lifted = false;
    m.refreshPauseState = [&] {
        if (lifted) return;
        lifted = true;
        frame({});
    };
    frame(three(0.5f));
    runUntilIdle();
    advance(1.0);  // well past the hold time
    EXPECT_TRUE(lifted);
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    EXPECT_TRUE(log.events.empty());
    // And a later one-finger touch commits nothing.
    frame({{9, 0.5f, 0.5f}});
    frame({});
    runUntilIdle();
    EXPECT_TRUE(log.events.empty());
}

TEST_F(TrackpadFramePathTest, AGestureBelongsToTheTrackpadItBeganOn) {
    auto second = mt->addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    started();
    frame(three(0.5f));
    runUntilIdle();
    frame(three(0.6f));
    runUntilIdle();
    ASSERT_EQ(log.count(K::start), 1);
    log.clear();
    frame(three(0.2f, 0.5f, 20), second.get());
    frame({}, second.get());
    runUntilIdle();
    EXPECT_TRUE(log.events.empty());
    frame(three(0.65f));
    frame({});
    runUntilIdle();
    EXPECT_EQ(log.kinds(), (std::vector<K>{K::scrub, K::commit}));
}

TEST_F(TrackpadFramePathTest, IdleFramesThatCannotStartAreDroppedBeforeTheHandOver) {
    started();
    const auto before = loop().processedCount();
    for (int i = 0; i < 10; ++i) frame({{1, 0.4f, 0.5f}, {2, 0.5f, 0.5f}});
    EXPECT_EQ(loop().processedCount(), before);
    runUntilIdle();
    EXPECT_EQ(loop().processedCount(), before);
}

class LiveTelemetryTest : public SimTrackpadTest {
protected:
    int publications() const { return publications_; }
    void watch(TrackpadTouchMonitor& m) {
        subscription_ = m.telemetry.liveTouches.publisher().dropFirst().sink([this](const auto&) { ++publications_; });
    }
    const std::vector<TouchDot>& dots() { return monitor().telemetry.liveTouches.get(); }

private:
    int publications_ = 0;
    runtime::Subscription subscription_;
};

TEST_F(LiveTelemetryTest, DotsPublishOnlyWhenTheyChange) {
    auto& m = started();
    watch(m);
    m.setLiveTelemetryEnabled(true);
    const std::vector<SimFinger> resting{{1, 0.25f, 0.5f}, {2, 0.75f, 0.5f}};
    frame(resting);
    runUntilIdle();
    ASSERT_EQ(dots().size(), 2u);
    EXPECT_EQ(publications(), 1);
    frame(resting);
    frame({{1, 0.2501f, 0.5f}, {2, 0.75f, 0.5f}});  // within the same 1/512 step
    runUntilIdle();
    frame({{1, 0.2501f, 0.5f}, {2, 0.75f, 0.5f}});
    runUntilIdle();
    EXPECT_EQ(publications(), 1);
    frame({});  // the lift empties the list even while idle
    runUntilIdle();
    EXPECT_TRUE(dots().empty());
    EXPECT_EQ(publications(), 2);
}

TEST_F(LiveTelemetryTest, SwitchingOffEmptiesAtOnceAndKeepsItEmpty) {
    auto& m = started();
    m.setLiveTelemetryEnabled(true);
    frame({{1, 0.5f, 0.5f}});
    runUntilIdle();
    ASSERT_EQ(dots().size(), 1u);
    m.setLiveTelemetryEnabled(false);
    EXPECT_TRUE(dots().empty());
    frame(three(0.5f));  // a gesture-start frame still travels, without dots
    runUntilIdle();
    EXPECT_TRUE(dots().empty());
}

TEST_F(LiveTelemetryTest, PausedGesturesStillShowTheFingers) {
    auto& m = started();
    m.setLiveTelemetryEnabled(true);
    frame(three(0.5f));
    runUntilIdle();
    frame(three(0.6f));
    runUntilIdle();
    ASSERT_EQ(log.count(K::start), 1);
    m.isPauseActive = [] { return true; };
    m.updateSuppressionGate(true);  // the recogniser resets at once
    EXPECT_EQ(log.kinds().back(), K::cancel);
    frame(three(0.7f));
    runUntilIdle();
    EXPECT_EQ(dots().size(), 3u);
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    EXPECT_EQ(log.count(K::commit), 0);
}

}  // namespace
}  // namespace quillmar::testing
