#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "platform/settings_file_lock.h"
#include "support/temp_path.h"

namespace quillmar::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kPatience{40};
constexpr milliseconds kTick{2};

// Holders take `turns` turns of `turn` one after another (one run throughout, or a new run each
// turn) while a waiter, slow to wake as one blocked in flock may be, tries the lock only once it
// has been free for a few ms, so never in the moment between a holder's letting it go and taking
// it again. The turns done when the waiter had the lock, or -1 and why it gave up.
struct WaiterIn {
    int afterTurns = -1;
    std::string problem;
};
WaiterIn waiterAmongTurns(bool newRunEachTurn, int turns, milliseconds turn) {
    const quillmar::testing::ScratchFolder folder("lock");
    const FileDescriptor dir(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::atomic<bool> isFree{false}, waiting{false};
    std::atomic<Clock::rep> freeSince{0};
    std::atomic<int> done{0}, inAfter{-1};
    WaiterIn in;
    std::string problem;
    auto take = [&](SettingsFileLock& lock, std::string* why) {
        return lock.take(dir.get(), "prefs.json", folder.path(), why);
    };
    const LockWait holding{kPatience, kTick, [&](int fd, int operation) {
                               isFree = false;
                               return ::flock(fd, operation);
                           }};
    auto run = std::make_unique<SettingsFileLock>(holding);
    FileDescriptor held = take(*run, &problem);

    std::thread waiter([&] {
        SettingsFileLock lock({kPatience, kTick, [&](int fd, int operation) {
                                   waiting = true;
                                   std::this_thread::sleep_for(milliseconds(1));
                                   const Clock::time_point since{Clock::duration(freeSince)};
                                   if (isFree && Clock::now() - since >= milliseconds(3))
                                       return ::flock(fd, operation | LOCK_NB);
                                   errno = (operation & LOCK_NB) ? EWOULDBLOCK : EINTR;  // as a flock a tick woke
                                   return -1;
                               }});
        if (take(lock, &in.problem).get() >= 0) inAfter = done.load();
    });
    while (!waiting) std::this_thread::sleep_for(milliseconds(1));
    for (int i = 1; i <= turns && inAfter < 0 && held.get() >= 0; ++i) {
        std::this_thread::sleep_for(turn);
        freeSince = Clock::now().time_since_epoch().count();
        isFree = true;
        held.reset();
        if (newRunEachTurn) run = std::make_unique<SettingsFileLock>(holding);
        held = take(*run, &problem);
        done = i;
    }
    EXPECT_GE(held.get(), 0) << problem;
    freeSince = Clock::now().time_since_epoch().count();
    isFree = true;
    held.reset();
    waiter.join();
    in.afterTurns = inAfter;
    return in;
}

TEST(SettingsFileLockThreadsTest, AWaiterOutlastsManyPatiencesOfOtherRunsTurnsAndGetsTheLock) {
    // Turns of an eighth of the patience, for four patiences in all (no new run lets it in).
    const WaiterIn in = waiterAmongTurns(/*newRunEachTurn=*/true, 32, kPatience / 8);
    EXPECT_GE(in.afterTurns, 0) << in.problem;
}

TEST(SettingsFileLockThreadsTest, ARunTakingTheLockAgainAndAgainLetsAWaiterIn) {
    const WaiterIn in = waiterAmongTurns(/*newRunEachTurn=*/false, 20, milliseconds(5));
    EXPECT_GE(in.afterTurns, 0) << in.problem;
    EXPECT_LT(in.afterTurns, 20);
}

TEST(SettingsFileLockThreadsTest, ALockFileRemovedAgainAndAgainIsTakenAgain) {
    // Another program removes the lock file's name while runs take the lock (as `rm -f` in a loop
    // would), a few times during each take: every take ends with the lock held, never refused.
    const quillmar::testing::ScratchFolder folder("lock");
    const FileDescriptor dir(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::atomic<bool> stop{false};
    std::atomic<int> removals{0};
    std::thread remover([&] {
        while (!stop) {
            if (removals > 0 && ::unlinkat(dir.get(), "prefs.json.lock", 0) == 0) --removals;
            std::this_thread::sleep_for(std::chrono::microseconds(10));
        }
    });
    SettingsFileLock lock({kPatience, kTick, {}});
    std::string problem;
    for (int i = 0; i < 40'000 && problem.empty(); ++i) {
        removals = 3;
        if (lock.take(dir.get(), "prefs.json", folder.path(), &problem, /*wait=*/false).get() >= 0) problem.clear();
    }
    stop = true;
    remover.join();
    EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace quillmar::platform
