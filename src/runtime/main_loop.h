#pragma once
// The one main loop: all product state lives on its thread. Work posted from any thread runs
// later on the main thread in FIFO order; timers fire in deadline order. Tests and the demo run
// it on virtual time, which only moves when told to; the binary can also run it on real time.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace quillmar::runtime {

enum class TimeMode { Virtual, Real };

class MainLoop;

// An owning handle to a scheduled timer: invalidated when the handle is destroyed or reset.
class [[nodiscard]] TimerHandle {
public:
    TimerHandle() = default;
    TimerHandle(const TimerHandle&) = delete;
    TimerHandle& operator=(const TimerHandle&) = delete;
    TimerHandle(TimerHandle&& o) noexcept : state_(std::move(o.state_)) {}
    TimerHandle& operator=(TimerHandle&& o) noexcept {
        if (this != &o) {
            invalidate();
            state_ = std::move(o.state_);
        }
        return *this;
    }
    ~TimerHandle() { invalidate(); }

    void invalidate();
    bool isValid() const;
    // Detaches the handle: the timer keeps running until it fires (one-shot) or forever.
    void release() { state_.reset(); }

private:
    friend class MainLoop;
    struct State;
    explicit TimerHandle(std::shared_ptr<State> s) : state_(std::move(s)) {}
    std::shared_ptr<State> state_;
};

class MainLoop {
public:
    // The first virtual instant. Rules that compare against "never happened" timestamps of 0
    // must not see the clock near 0.
    static constexpr double kVirtualStart = 1000.0;

    explicit MainLoop(TimeMode mode = TimeMode::Virtual);
    ~MainLoop();
    MainLoop(const MainLoop&) = delete;
    MainLoop& operator=(const MainLoop&) = delete;

    // The process's main loop. World::reset() replaces it with a fresh virtual one.
    static MainLoop& main();
    static void installMain(std::unique_ptr<MainLoop> loop);

    TimeMode mode() const { return mode_; }

    // Any thread. Runs fn on the main thread on a later turn, after everything posted before.
    void post(std::function<void()> fn);
    bool isMainThread() const { return std::this_thread::get_id() == mainThread_; }
    // Makes the calling thread the main thread (used when the loop is created elsewhere).
    void adoptCurrentThread() { mainThread_ = std::this_thread::get_id(); }

    // Seconds on the monotonic media clock.
    double now() const;

    // Main thread only. A one-shot timer after delay seconds (negative or non-finite delays count
    // as 0), or a repeating one; tolerance is accepted for fidelity and ignored.
    TimerHandle schedule(double delay, std::function<void()> fn);
    TimerHandle scheduleRepeating(double interval, std::function<void()> fn, double tolerance = 0);
    // Fire-and-forget delay.
    void after(double delay, std::function<void()> fn) { schedule(delay, std::move(fn)).release(); }

    // Virtual time: runs posted work and due timers until nothing is left to do now.
    void runUntilIdle();
    // Virtual time: moves the clock forward, firing what falls due in deadline order (posted
    // work runs between timers), then runs until idle.
    void advance(double seconds);
    // Main thread. fn runs once the current instant is over: on virtual time when the clock is
    // about to move on (before a timer of a later deadline fires, or advance() passes the
    // instant) or at finishInstant(); on real time after the turn. What a whole instant changes
    // is handed on once this way (a settings save), whatever order the instant's work ran in.
    void atEndOfInstant(std::function<void()> fn);
    // Ends the current instant now: runs what waits for its end, and then what that made ready.
    void finishInstant();
    // Virtual time: a simulated blocking call on the main thread takes this long. The clock moves
    // but nothing runs, as nothing could while the thread is blocked.
    void advanceDuringBlockingCall(double seconds);

    // Real time: runs until stop(). Also usable on virtual time, where it runs until idle.
    void run();
    // Ends run() on its next turn; has no effect when the loop is not running.
    void stop();
    // Any mode: blocks the calling (main) thread until something is posted or maxSeconds pass,
    // then runs what is ready. Returns whether anything ran.
    bool waitAndRun(double maxSeconds);

    std::size_t pendingTimerCount() const { return timers_.size(); }
    std::uint64_t processedCount() const { return processed_; }

private:
    friend class TimerHandle;
    using Key = std::pair<double, std::uint64_t>;

    bool runPosted();
    bool fireOneDueTimer(double upTo);
    void insertTimer(const std::shared_ptr<TimerHandle::State>& s);
    double realNow() const;

    TimeMode mode_;
    std::thread::id mainThread_;
    double virtualNow_ = kVirtualStart;
    double realOrigin_ = 0;
    std::uint64_t seq_ = 0;
    std::uint64_t processed_ = 0;
    bool stopRequested_ = false;
    bool running_ = false;  // inside run() on real time

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;

    std::map<Key, std::shared_ptr<TimerHandle::State>> timers_;
    std::vector<std::function<void()>> endOfInstant_;
};

// Seconds on the main loop's media clock (the product's monotonic clock).
inline double mediaTime() { return MainLoop::main().now(); }

// Runs fn at once when called on the main thread, otherwise posts it.
void runOnMain(std::function<void()> fn);

}  // namespace quillmar::runtime
