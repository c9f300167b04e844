// The frame path under real threads: the simulated framework's thread delivers 100,000 frames
// while the main loop drains them. Run under ThreadSanitizer as well.

#include <thread>

#include <gtest/gtest.h>

#include "trackpad_test_support.h"

namespace quillmar::testing {
namespace {

using platform::sim::SimContactFrame;
using platform::sim::SimFinger;
using platform::sim::simTouches;

constexpr int kTotalFrames = 100'000;
constexpr int kFramesPerSlide = 40;  // then one lift frame

// Cycles of three fingers landing, sliding right and lifting, each with new identifiers.
std::vector<SimContactFrame> slideCycles(int frames, int& cycles) {
    std::vector<SimContactFrame> out;
    out.reserve(static_cast<std::size_t>(frames));
    double t = 0;
    int id = 1;
    while (static_cast<int>(out.size()) < frames) {
        for (int i = 0; i < kFramesPerSlide && static_cast<int>(out.size()) < frames - 1; ++i) {
            const float x = 0.3f + 0.01f * static_cast<float>(i);
            t += 1.0 / 120;
            out.push_back({simTouches({{id, x - 0.05f, 0.5f}, {id + 1, x, 0.5f}, {id + 2, x + 0.05f, 0.5f}}, t), t});
        }
        t += 1.0 / 120;
        out.push_back({{}, t});
        id += 3;
        ++cycles;
    }
    return out;
}

class TrackpadFramesThreadsTest : public SimTrackpadTest {};

TEST_F(TrackpadFramesThreadsTest, HundredThousandFramesWhileTheMainLoopDrains) {
    auto& m = started();
    m.setLiveTelemetryEnabled(true);
    int cycles = 0;
    auto frames = slideCycles(kTotalFrames, cycles);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(kTotalFrames));

    // Handed over in batches, so the frame thread and the main thread overlap throughout.
    constexpr std::size_t kBatch = 10'000;
    for (std::size_t i = 0; i < frames.size(); i += kBatch) {
        const auto end = std::min(frames.size(), i + kBatch);
        mt->deliverOnFrameThread(pad, std::vector<SimContactFrame>(frames.begin() + static_cast<long>(i),
                                                                   frames.begin() + static_cast<long>(end)));
    }
    while (!mt->isFrameThreadIdle()) loop().waitAndRun(0.05);
    loop().runUntilIdle();
    // How many of those slides the main thread saw depends on the scheduler (coalescing may hide
    // whole slides from it). One last slide handed over frame by frame is always seen.
    int lastCycle = 0;
    for (auto& frame : slideCycles(kFramesPerSlide + 1, lastCycle)) {
        mt->deliverOnFrameThread(pad, {frame});
        while (!mt->isFrameThreadIdle()) loop().waitAndRun(0.05);
        loop().runUntilIdle();
    }
    cycles += lastCycle;

    EXPECT_EQ(mt->framesDeliveredOnThread(), static_cast<std::uint64_t>(kTotalFrames + kFramesPerSlide + 1));
    // Every lift reached the recogniser: each started gesture ended, and none is left over.
    const int starts = log.count(K::start);
    EXPECT_GT(starts, 0);
    EXPECT_LE(starts, cycles);
    EXPECT_EQ(starts, log.count(K::commit) + log.count(K::cancel));
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    EXPECT_TRUE(m.telemetry.liveTouches->empty());
    const auto gate = m.gateFlags();
    EXPECT_FALSE(gate.dispatchPending);
    EXPECT_FALSE(gate.isNonIdlePhase);
    EXPECT_EQ(gate.latestSnapshotCount, 0);
    // Scrub travel never runs backwards in a rightward slide.
    for (const auto& e : log.events) {
        if (e.kind == K::scrub) {
            EXPECT_GT(e.value, 0);
        }
    }
}

TEST_F(TrackpadFramesThreadsTest, CancellingFromAnotherThreadTakesEffectOnTheMainLoop) {
    auto& m = monitor();
    SwitcherSettings::shared().triggerStyle = TriggerStyle::immediateHorizontalSlide;
    SwitcherSettings::shared().fingerCount = 3;
    m.advanceGesture(snapshot(3, 0.5, 0.5));
    m.advanceGesture(snapshot(3, 0.6, 0.5));
    ASSERT_TRUE(m.isGestureActive());

    std::thread([&m] { m.cancelCurrentGesture(); }).join();
    // Nothing changes off the main thread: the cancel waits for the main loop.
    EXPECT_TRUE(m.isGestureActive());
    EXPECT_EQ(log.count(K::cancel), 0);
    runUntilIdle();
    EXPECT_TRUE(std::holds_alternative<gesture::CancelledUntilAllLift>(m.phase()));
    EXPECT_EQ(log.kinds().back(), K::cancel);

    // Further movement does nothing until every finger lifts.
    m.advanceGesture(snapshot(3, 0.8, 0.5));
    EXPECT_EQ(log.count(K::scrub), 1);
    m.advanceGesture(snapshot(0, 0, 0));
    EXPECT_EQ(log.count(K::commit), 0);
    EXPECT_TRUE(std::holds_alternative<gesture::Idle>(m.phase()));
}

}  // namespace
}  // namespace quillmar::testing
