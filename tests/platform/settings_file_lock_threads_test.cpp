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
// it again. A turn ends only once the waiter has looked at it, and the runs' clock moves on by
// `turn` as a turn ends and by nothing else: however slowly the threads run, no turn outlasts the
// patience, nor does a holder stop letting the waiter in. Once the waiter is done, the clock moves
// on at every look too, so that a holder letting in a waiter that gave up does not wait for ever.
// The turns done when the waiter had the lock, or -1 and why it gave up.
struct WaiterIn {
    int afterTurns = -1;
    std::string problem;
};
WaiterIn waiterAmongTurns(bool newRunEachTurn, int turns, milliseconds turn) {
    const quillmar::testing::ScratchFolder folder("lock");
    const FileDescriptor dir(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::atomic<bool> isFree{false}, waiterDone{false};
    std::atomic<Clock::rep> freeSince{0}, elapsed{0};
    std::atomic<int> looks{0}, done{0}, inAfter{-1};
    auto now = [&] {
        if (waiterDone) elapsed += Clock::duration(milliseconds(1)).count();
        return Clock::time_point(Clock::duration(elapsed.load()));
    };
    WaiterIn in;
    std::string problem;
    auto take = [&](SettingsFileLock& lock, std::string* why) {
        return lock.take(dir.get(), "prefs.json", folder.path(), why);
    };
    const LockWait holding{.patience = kPatience, .tick = kTick, .lock = [&](int fd, int operation) {
                               isFree = false;
                               return ::flock(fd, operation);
                           }, .now = now};
    auto run = std::make_unique<SettingsFileLock>(holding);
    FileDescriptor held = take(*run, &problem);

    std::thread waiter([&] {
        SettingsFileLock lock({.patience = kPatience, .tick = kTick, .lock = [&](int fd, int operation) {
                                   ++looks;
                                   std::this_thread::sleep_for(milliseconds(1));
                                   const Clock::time_point since{Clock::duration(freeSince.load())};
                                   if (isFree && Clock::now() - since >= milliseconds(3))
                                       return ::flock(fd, operation | LOCK_NB);
                                   errno = (operation & LOCK_NB) ? EWOULDBLOCK : EINTR;  // as a flock a tick woke
                                   return -1;
                               }, .now = now});
        if (take(lock, &in.problem).get() >= 0) inAfter = done.load();
        waiterDone = true;
    });
    // Two looks after a turn is taken, the waiter has read it and said it waits it out.
    for (int i = 1, looked = 0; i <= turns && inAfter < 0 && held.get() >= 0; ++i, looked = looks) {
        while (looks < looked + 2 && !waiterDone) std::this_thread::sleep_for(milliseconds(1));
        std::this_thread::sleep_for(turn);
        elapsed += Clock::duration(turn).count();
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
