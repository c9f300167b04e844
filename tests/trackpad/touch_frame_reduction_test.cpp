#include "trackpad/touch_frame_reduction.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/sim_multitouch.h"

namespace quillmar {
namespace {

using platform::MTTouch;
using platform::sim::SimFinger;
using platform::sim::simTouches;

platform::MTDeviceRef fakeDevice(std::uintptr_t bits) { return reinterpret_cast<platform::MTDeviceRef>(bits); }

FrameAdmissionView idleGate(int fingerCount = 3) {
    FrameAdmissionView g;
    g.fingerCount = fingerCount;
    return g;
}

FrameAdmissionView gestureGate() {
    FrameAdmissionView g;
    g.isNonIdlePhase = true;
    return g;
}

std::optional<CoalescedTouchSnapshot> reduce(const FrameAdmissionView& gate, const std::vector<MTTouch>& touches,
                                             platform::MTDeviceRef device = nullptr) {
    return reduceContactFrame(gate, device, touches.empty() ? nullptr : touches.data(),
                              static_cast<int>(touches.size()), 12.5);
}

TEST(TouchFrameReduction, AcceptsOnlyTouchingFingersWithFiniteValuesAndClampsPositions) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto touches = simTouches({
        {1, 1.3f, -0.2f, 1.0f, 4},   // clamped to (1, 0)
        {2, 0.5f, 0.5f, 1.0f, 5},    // lifting
        {3, 0.5f, 0.5f, 0.05f, 3},   // too small
        {4, nan, 0.5f, 1.0f, 4},     // no position
        {5, 0.5f, inf, 1.0f, 4},
        {6, 0.5f, 0.5f, nan, 4},     // no size
        {7, 0.5f, 0.5f, inf, 4},
        {8, 0.2f, 0.8f, 0.06f, 3},   // just above the size floor
    });
    auto s = reduce(gestureGate(), touches);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->count, 2);
    EXPECT_NEAR(s->avgX, 0.6, 1e-6);
    EXPECT_NEAR(s->avgY, 0.4, 1e-6);
    EXPECT_FALSE(s->allNearTop);
    EXPECT_EQ(s->ids.lowMask, (1u << 1) | (1u << 8));
    EXPECT_DOUBLE_EQ(s->timestamp, 12.5);
    EXPECT_TRUE(s->dots.empty());
}

TEST(TouchFrameReduction, LooksAtTheFirst32TouchesOnly) {
    std::vector<SimFinger> fingers;
    for (int i = 0; i < 33; ++i) fingers.push_back({i, 0.5f, 0.5f, 1.0f, 4});
    auto touches = simTouches(fingers);
    auto s = reduce(gestureGate(), touches);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->count, 32);
    EXPECT_EQ(s->ids.lowMask, 0xFFFFFFFFull);
    // A negative count is a frame without fingers.
    auto none = reduceContactFrame(gestureGate(), nullptr, touches.data(), -5, 1);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->count, 0);
    EXPECT_TRUE(none->allNearTop);
}

TEST(TouchFrameReduction, FingerIdentitySetsIgnoreOrderAndFoldHighIdentifiers) {
    auto a = reduce(gestureGate(), simTouches({{3, 0.4f, 0.5f}, {70, 0.6f, 0.5f}}));
    auto b = reduce(gestureGate(), simTouches({{70, 0.6f, 0.5f}, {3, 0.4f, 0.5f}}));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->ids.lowMask, 8u);
    EXPECT_NE(a->ids.overflowHash, 0u);
    EXPECT_EQ(a->ids.count, 2);
    EXPECT_EQ(a->ids, b->ids);

    FingerIDSet negative;
    negative.insert(-1);  // 0xFFFFFFFF as unsigned: folded, not a bit
    EXPECT_EQ(negative.lowMask, 0u);
    EXPECT_EQ(negative.overflowHash, FingerIDSet::mix(-1));

    FingerIDSet repeated;
    repeated.insert(5);
    repeated.insert(5);
    FingerIDSet single;
    single.insert(5);
    EXPECT_EQ(repeated.count, 2);
    EXPECT_NE(repeated, single);
}

TEST(TouchFrameReduction, IdleFramesThatCannotStartAGestureNeverLeaveTheFrameThread) {
    const auto two = simTouches({{1, 0.4f, 0.5f}, {2, 0.5f, 0.5f}});
    const auto three = simTouches({{1, 0.4f, 0.5f}, {2, 0.5f, 0.5f}, {3, 0.6f, 0.5f}});
    const auto four = simTouches({{1, 0.3f, 0.5f}, {2, 0.4f, 0.5f}, {3, 0.5f, 0.5f}, {4, 0.6f, 0.5f}});

    EXPECT_FALSE(reduce(idleGate(3), two));
    EXPECT_FALSE(reduce(idleGate(3), four));
    EXPECT_TRUE(reduce(idleGate(3), three));
    // "3 or 4".
    EXPECT_TRUE(reduce(idleGate(0), three));
    EXPECT_TRUE(reduce(idleGate(0), four));
    EXPECT_FALSE(reduce(idleGate(0), two));
    // Empty frames while idle, with nothing waiting for them.
    EXPECT_FALSE(reduce(idleGate(3), {}));

    // Top edge: two fingers, both at or above 0.72.
    auto top = idleGate(4);
    top.triggerStyle = TriggerStyle::topEdgeTwoFinger;
    EXPECT_TRUE(reduce(top, simTouches({{1, 0.4f, 0.72f}, {2, 0.5f, 0.9f}})));
    EXPECT_FALSE(reduce(top, simTouches({{1, 0.4f, 0.71f}, {2, 0.5f, 0.9f}})));

    // Disabled or paused: nothing, unless the preview watches.
    auto paused = idleGate(3);
    paused.isSuppressed = true;
    EXPECT_FALSE(reduce(paused, three));
    paused.liveTelemetryEnabled = true;
    auto forPreview = reduce(paused, two);
    ASSERT_TRUE(forPreview);
    EXPECT_EQ(forPreview->dots.size(), 2u);
}

TEST(TouchFrameReduction, IdleLiftIsAdmittedWhileTheMainThreadStillHoldsFingers) {
    // A drain took the three-finger snapshot and is about to leave idle: the lift that follows
    // must reach the main thread even though no drain is queued any more.
    auto gate = idleGate(3);
    gate.latestSnapshotCount = 3;
    auto lift = reduce(gate, {});
    ASSERT_TRUE(lift);
    EXPECT_EQ(lift->count, 0);
    // A frame whose touches are all rejected is a lift as well.
    EXPECT_TRUE(reduce(gate, simTouches({{1, 0.5f, 0.5f, 1.0f, 6}})));
    // A queued drain or dots on screen also let the lift through.
    gate.latestSnapshotCount = 0;
    gate.dispatchPending = true;
    EXPECT_TRUE(reduce(gate, {}));
    gate.dispatchPending = false;
    gate.liveTelemetryEnabled = true;
    EXPECT_FALSE(reduce(gate, {}));
    gate.lastHadTelemetryDots = true;
    EXPECT_TRUE(reduce(gate, {}));
}

TEST(TouchFrameReduction, DuringAGestureOnlyTheGesturesTrackpadCounts) {
    auto gate = gestureGate();
    gate.lockedDeviceBits = 0x1000;
    const auto three = simTouches({{1, 0.4f, 0.5f}, {2, 0.5f, 0.5f}, {3, 0.6f, 0.5f}});
    EXPECT_FALSE(reduce(gate, three, fakeDevice(0x2000)));
    EXPECT_TRUE(reduce(gate, three, fakeDevice(0x1000)));
    EXPECT_TRUE(reduce(gate, three, nullptr));
    // Any count, and empty frames, pass in gesture mode.
    EXPECT_TRUE(reduce(gate, {}, fakeDevice(0x1000)));
    EXPECT_TRUE(reduce(gate, simTouches({{1, 0.5f, 0.5f}}), fakeDevice(0x1000)));
}

TEST(TouchFrameReduction, DotsAreQuantisedAndSizesCapped) {
    auto gate = idleGate(3);
    gate.liveTelemetryEnabled = true;
    auto s = reduce(gate, simTouches({{9, 0.30001f, 0.69995f, 7.3f}, {4, 1.5f, 0.25f, 0.123f}}));
    ASSERT_TRUE(s);
    ASSERT_EQ(s->dots.size(), 2u);
    EXPECT_EQ(s->dots[0].id, 9);
    EXPECT_DOUBLE_EQ(s->dots[0].x, std::round(0.30001f * 512.0) / 512);
    EXPECT_DOUBLE_EQ(s->dots[0].y, 358.0 / 512);
    EXPECT_DOUBLE_EQ(s->dots[0].z, 4.0);
    EXPECT_DOUBLE_EQ(s->dots[1].x, 1.0);
    EXPECT_DOUBLE_EQ(s->dots[1].z, 16.0 / 128);
}

}  // namespace
}  // namespace quillmar
