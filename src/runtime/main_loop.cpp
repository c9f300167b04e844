#include "runtime/main_loop.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillmar::runtime {

struct TimerHandle::State {
    std::function<void()> fn;
    double interval = 0;  // 0 for one-shot
    double deadline = 0;
    std::uint64_t seq = 0;
    bool valid = true;
    MainLoop* loop = nullptr;
};

void TimerHandle::invalidate() {
    if (!state_) return;
    auto s = std::move(state_);
    if (s->valid && s->loop) {
        s->valid = false;
        s->loop->timers_.erase({s->deadline, s->seq});
    }
    s->valid = false;
    s->fn = nullptr;
}

bool TimerHandle::isValid() const { return state_ && state_->valid; }

namespace {
std::unique_ptr<MainLoop>& mainSlot() {
    static std::unique_ptr<MainLoop> loop;
    return loop;
}
std::mutex& mainSlotMutex() {
    static std::mutex m;
    return m;
}
double sanitizeDelay(double d) { return std::isfinite(d) && d > 0 ? d : 0.0; }
}  // namespace

MainLoop::MainLoop(TimeMode mode) : mode_(mode), mainThread_(std::this_thread::get_id()) {
    realOrigin_ = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

MainLoop::~MainLoop() {
    for (auto& [key, s] : timers_) {
        s->valid = false;
        s->loop = nullptr;
    }
}

MainLoop& MainLoop::main() {
    std::lock_guard lock(mainSlotMutex());
    auto& slot = mainSlot();
    if (!slot) slot = std::make_unique<MainLoop>(TimeMode::Virtual);
    return *slot;
}

void MainLoop::installMain(std::unique_ptr<MainLoop> loop) {
    std::unique_ptr<MainLoop> old;
    {
        std::lock_guard lock(mainSlotMutex());
        old = std::exchange(mainSlot(), std::move(loop));
    }
}

double MainLoop::realNow() const {
    auto t = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    return kVirtualStart + (t - realOrigin_);
}

double MainLoop::now() const { return mode_ == TimeMode::Virtual ? virtualNow_ : realNow(); }

void MainLoop::post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(fn));
    }
    wake_.notify_one();
}

void MainLoop::insertTimer(const std::shared_ptr<TimerHandle::State>& s) {
    s->seq = ++seq_;
    timers_.emplace(Key{s->deadline, s->seq}, s);
}

TimerHandle MainLoop::schedule(double delay, std::function<void()> fn) {
    auto s = std::make_shared<TimerHandle::State>();
    s->fn = std::move(fn);
    s->deadline = now() + sanitizeDelay(delay);
    s->loop = this;
    insertTimer(s);
    return TimerHandle(s);
}

TimerHandle MainLoop::scheduleRepeating(double interval, std::function<void()> fn, double /*tolerance*/) {
    auto s = std::make_shared<TimerHandle::State>();
    s->fn = std::move(fn);
    // A zero interval would spin forever on virtual time; a repeating timer ticks at least once a ms.
    s->interval = std::max(sanitizeDelay(interval), 0.001);
    s->deadline = now() + s->interval;
    s->loop = this;
    insertTimer(s);
    return TimerHandle(s);
}

bool MainLoop::runPosted() {
    bool any = false;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            if (posted_.empty()) break;
            fn = std::move(posted_.front());
            posted_.pop_front();
        }
        any = true;
        ++processed_;
        if (fn) fn();
    }
    return any;
}

bool MainLoop::fireOneDueTimer(double upTo) {
    if (timers_.empty()) return false;
    auto it = timers_.begin();
    if (it->first.first > upTo) return false;
    auto s = it->second;
    timers_.erase(it);
    if (mode_ == TimeMode::Virtual && s->deadline > virtualNow_) virtualNow_ = s->deadline;
    auto fn = s->fn;  // the callback may invalidate its own timer
    if (s->interval > 0) {
        // Missed ticks are not replayed: the next tick is the first grid point after now.
        double next = s->deadline + s->interval;
        const double current = now();
        if (next <= current) next += std::ceil((current - next) / s->interval + 1e-9) * s->interval;
        s->deadline = next;
        insertTimer(s);
    } else {
        s->valid = false;
        s->loop = nullptr;
    }
    ++processed_;
    if (fn) fn();
    return true;
}

void MainLoop::runUntilIdle() {
    for (int guard = 0; guard < 10'000'000; ++guard) {
        bool ran = runPosted();
        ran = fireOneDueTimer(now()) || ran;
        if (!ran) return;
    }
    std::fputs("MainLoop::runUntilIdle: work keeps posting itself; giving up\n", stderr);
}

void MainLoop::atEndOfInstant(std::function<void()> fn) { endOfInstant_.push_back(std::move(fn)); }

void MainLoop::finishInstant() {
    while (!endOfInstant_.empty()) {
        auto work = std::exchange(endOfInstant_, {});
        for (auto& fn : work)
            if (fn) fn();
        runUntilIdle();
    }
}

void MainLoop::advance(double seconds) {
    const double target = virtualNow_ + sanitizeDelay(seconds);
    for (;;) {
        runPosted();
        // The clock is about to move: the instant it leaves ends first.
        const bool dueNow = !timers_.empty() && timers_.begin()->first.first <= virtualNow_;
        if (!dueNow && !endOfInstant_.empty() && target > virtualNow_) {
            finishInstant();
            continue;
        }
        if (!fireOneDueTimer(target)) break;
    }
    virtualNow_ = std::max(virtualNow_, target);
    runUntilIdle();
}

void MainLoop::advanceDuringBlockingCall(double seconds) { virtualNow_ += sanitizeDelay(seconds); }

void MainLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        // Only a running loop can be stopped; a request outside run() would linger and cut
        // every later wait short.
        if (!running_) return;
        stopRequested_ = true;
    }
    wake_.notify_one();
}

bool MainLoop::waitAndRun(double maxSeconds) {
    {
        std::unique_lock lock(mutex_);
        double wait = sanitizeDelay(maxSeconds);
        if (mode_ == TimeMode::Real && !timers_.empty())
            wait = std::min(wait, std::max(0.0, timers_.begin()->first.first - realNow()));
        wake_.wait_for(lock, std::chrono::duration<double>(wait),
                       [&] { return !posted_.empty() || stopRequested_; });
    }
    bool ran = runPosted();
    while (fireOneDueTimer(now())) {
        ran = true;
        runPosted();
    }
    if (mode_ == TimeMode::Real) finishInstant();
    return ran;
}

void MainLoop::run() {
    if (mode_ == TimeMode::Virtual) {
        runUntilIdle();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        running_ = true;
    }
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_) {
                stopRequested_ = false;
                running_ = false;
                return;
            }
        }
        waitAndRun(timers_.empty() ? 1.0 : timers_.begin()->first.first - realNow());
    }
}

void runOnMain(std::function<void()> fn) {
    auto& loop = MainLoop::main();
    if (loop.isMainThread()) {
        fn();
    } else {
        loop.post(std::move(fn));
    }
}

}  // namespace quillmar::runtime
