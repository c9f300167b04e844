#include <atomic>
#include <thread>
#include <vector>

#include "runtime/main_loop.h"
#include "support/fresh_world.h"

namespace quillmar::runtime {
namespace {

class MainLoopThreadsTest : public testing::FreshWorldTest {};

TEST_F(MainLoopThreadsTest, PostsFromManyThreadsAllRunOnTheMainThreadInPerThreadOrder) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2000;
    auto& mainLoop = loop();
    const auto mainId = std::this_thread::get_id();
    // Touched only on the main thread: no lock, which the thread sanitizer checks.
    std::vector<int> lastSeen(kThreads, -1);
    int received = 0;
    bool inOrder = true;
    bool onMain = true;

    std::atomic<bool> go{false};
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&, t] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < kPerThread; ++i) {
                MainLoop::main().post([&, t, i] {
                    onMain = onMain && std::this_thread::get_id() == mainId;
                    inOrder = inOrder && lastSeen[t] == i - 1;
                    lastSeen[t] = i;
                    ++received;
                });
            }
        });
    }
    go = true;
    // Drain while they post; waitAndRun wakes as soon as something arrives.
    while (received < kThreads * kPerThread) mainLoop.waitAndRun(1.0);
    for (auto& p : producers) p.join();
    mainLoop.runUntilIdle();

    EXPECT_EQ(received, kThreads * kPerThread);
    EXPECT_TRUE(inOrder);
    EXPECT_TRUE(onMain);
}

TEST_F(MainLoopThreadsTest, RunOnMainFromAnotherThreadPostsAndWakesTheWaitingLoop) {
    auto& mainLoop = loop();
    int value = 0;
    std::thread worker([&] {
        runOnMain([&] { value = 42; });  // not the main thread: posted, not run here
        MainLoop::main().stop();         // not running: ignored, and must not linger
    });
    while (value == 0) mainLoop.waitAndRun(1.0);
    worker.join();
    EXPECT_EQ(value, 42);
}

TEST_F(MainLoopThreadsTest, StopFromPostedWorkEndsARealTimeRun) {
    MainLoop realLoop(TimeMode::Real);
    int ran = 0;
    std::thread worker([&] {
        realLoop.post([&] { ++ran; });
        realLoop.post([&] {
            ++ran;
            realLoop.stop();
        });
    });
    realLoop.run();  // returns once the second item has run
    worker.join();
    EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace quillmar::runtime
