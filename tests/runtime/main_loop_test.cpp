#include "runtime/main_loop.h"

#include <cmath>
#include <string>
#include <vector>

#include "runtime/delayed_work_item.h"
#include "support/fresh_world.h"

namespace quillmar::runtime {
namespace {

class MainLoopTest : public testing::FreshWorldTest {
protected:
    std::vector<std::string> order;
    std::function<void()> note(std::string s) {
        return [this, s] { order.push_back(s); };
    }
};

TEST_F(MainLoopTest, PostedWorkRunsInOrderAfterTheCurrentTurnAndBeforeLaterPosts) {
    loop().post([this] {
        order.push_back("a");
        loop().post(note("c"));  // posted while running: after everything already queued
    });
    loop().post(note("b"));
    EXPECT_TRUE(order.empty());
    runUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(MainLoopTest, TimersFireInDeadlineOrderTiesInSchedulingOrderWithPostsBetween) {
    auto t1 = loop().schedule(0.3, note("0.3"));
    auto t2 = loop().schedule(0.1, [this] {
        order.push_back("0.1");
        loop().post(note("posted by 0.1"));
    });
    auto t3 = loop().schedule(0.1, note("0.1 second"));
    auto t4 = loop().schedule(-5, note("negative"));
    auto t5 = loop().schedule(std::nan(""), note("nan"));
    advance(0.05);
    EXPECT_EQ(order, (std::vector<std::string>{"negative", "nan"}));
    advance(1);
    EXPECT_EQ(order, (std::vector<std::string>{"negative", "nan", "0.1", "posted by 0.1", "0.1 second", "0.3"}));
    // Each timer saw the clock at its own deadline.
    EXPECT_DOUBLE_EQ(loop().now(), MainLoop::kVirtualStart + 1.05);
}

TEST_F(MainLoopTest, TimerSeesItsOwnDeadlineAndCancelledTimersNeverFire) {
    double firedAt = 0;
    auto keep = loop().schedule(0.25, [&] { firedAt = loop().now(); });
    auto cancelled = loop().schedule(0.1, note("cancelled"));
    cancelled.invalidate();
    {
        auto dropped = loop().schedule(0.1, note("dropped handle"));
    }
    TimerHandle cancelledByEarlier;
    auto canceller = loop().schedule(0.1, [&] { cancelledByEarlier.invalidate(); });
    cancelledByEarlier = loop().schedule(0.2, note("cancelled by an earlier timer"));
    loop().schedule(0.1, note("released")).release();
    advance(1);
    EXPECT_DOUBLE_EQ(firedAt, MainLoop::kVirtualStart + 0.25);
    EXPECT_EQ(order, (std::vector<std::string>{"released"}));
    EXPECT_EQ(loop().pendingTimerCount(), 0u);
}

TEST_F(MainLoopTest, ReplaceableWorkItemKeepsOnlyTheNewest) {
    DelayedWorkItem item;
    item.schedule(0.5, note("first"));
    advance(0.3);
    item.schedule(0.5, note("second"));  // cancels the first
    advance(0.3);
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(item.isPending());
    advance(0.3);
    EXPECT_EQ(order, (std::vector<std::string>{"second"}));
    EXPECT_FALSE(item.isPending());
    item.schedule(0.1, note("third"));
    item.cancel();
    advance(1);
    EXPECT_EQ(order.size(), 1u);
}

TEST_F(MainLoopTest, RepeatingTimerDoesNotReplayMissedTicks) {
    std::vector<double> ticks;
    auto timer = loop().scheduleRepeating(1.0, [&] { ticks.push_back(loop().now() - MainLoop::kVirtualStart); });
    advance(2.5);
    EXPECT_EQ(ticks, (std::vector<double>{1.0, 2.0}));
    // The main thread is blocked for a while: when it runs again, one tick, then back on the grid.
    loop().advanceDuringBlockingCall(3.2);  // now 5.7
    EXPECT_EQ(ticks.size(), 2u);
    runUntilIdle();
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_NEAR(ticks[2], 5.7, 1e-9);  // one late tick, when the thread is free again
    advance(1.0);                      // 6.7: the next tick is 6, not 4 or 5
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_DOUBLE_EQ(ticks[3], 6.0);
    timer.invalidate();
    advance(5);
    EXPECT_EQ(ticks.size(), 4u);
}

TEST_F(MainLoopTest, RepeatingTimerCanStopItselfAndZeroIntervalDoesNotSpin) {
    int count = 0;
    TimerHandle self;
    self = loop().scheduleRepeating(0.1, [&] {
        if (++count == 3) self.invalidate();
    });
    advance(1);
    EXPECT_EQ(count, 3);
    int fast = 0;
    auto zero = loop().scheduleRepeating(0, [&] { ++fast; });
    advance(0.01);
    EXPECT_EQ(fast, 10);  // at most one tick a millisecond
}

TEST_F(MainLoopTest, RunOnMainRunsInlineOnTheMainThread) {
    bool ran = false;
    runOnMain([&] { ran = true; });
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace quillmar::runtime
