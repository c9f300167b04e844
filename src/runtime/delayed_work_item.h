#pragma once
// A replaceable delayed work item: scheduling a new one cancels the pending one, so debounces
// and "do this later unless something newer comes" are one member each.

#include <functional>

#include "runtime/main_loop.h"

namespace quillmar::runtime {

class DelayedWorkItem {
public:
    DelayedWorkItem() = default;
    DelayedWorkItem(const DelayedWorkItem&) = delete;
    DelayedWorkItem& operator=(const DelayedWorkItem&) = delete;

    void schedule(double delay, std::function<void()> fn) {
        timer_ = MainLoop::main().schedule(delay, std::move(fn));
    }
    void cancel() { timer_.invalidate(); }
    bool isPending() const { return timer_.isValid(); }

private:
    TimerHandle timer_;
};

}  // namespace quillmar::runtime
