#pragma once
// The lifetime of an object that hands work to others: the main loop, a timer, a signal or a
// platform callback may run that work after the object is gone. The object keeps a Lifetime as
// a member; the work captures a token and does nothing once the token reports the owner gone.
//
//   runtime::MainLoop::main().post([this, token = lifetime_.token()] {
//       if (token.alive()) refresh();
//   });
//
// The owner's destructor may end the lifetime early (before its other members go); otherwise it
// ends with the member. Tokens may be checked on any thread.

#include <atomic>
#include <memory>

namespace quillmar::runtime {

class LifetimeToken {
public:
    bool alive() const {
        auto flag = flag_.lock();
        return flag && flag->load(std::memory_order_acquire);
    }

private:
    friend class Lifetime;
    explicit LifetimeToken(std::weak_ptr<const std::atomic<bool>> flag) : flag_(std::move(flag)) {}
    std::weak_ptr<const std::atomic<bool>> flag_;
};

class Lifetime {
public:
    Lifetime() = default;
    // Each owner has its own lifetime: a copy of the owner must not share it.
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;

    LifetimeToken token() const { return LifetimeToken(flag_); }
    void end() { flag_->store(false, std::memory_order_release); }

private:
    std::shared_ptr<std::atomic<bool>> flag_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace quillmar::runtime
