#pragma once
// RAII handles for observations: a Subscription ends its observation when it is destroyed or
// cancelled; a SubscriptionBag keeps many for the life of their owner.

#include <functional>
#include <utility>
#include <vector>

namespace quillmar::runtime {

class SubscriptionBag;

class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            cancel();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    ~Subscription() { cancel(); }

    void cancel() {
        if (auto fn = std::exchange(cancel_, nullptr)) fn();
    }
    bool isActive() const { return static_cast<bool>(cancel_); }

    // Moves this subscription into the bag, which keeps it until the bag is cleared or destroyed.
    void store(SubscriptionBag& bag);

private:
    std::function<void()> cancel_;
};

class SubscriptionBag {
public:
    SubscriptionBag() = default;
    SubscriptionBag(const SubscriptionBag&) = delete;
    SubscriptionBag& operator=(const SubscriptionBag&) = delete;
    SubscriptionBag(SubscriptionBag&&) = default;
    SubscriptionBag& operator=(SubscriptionBag&&) = default;
    ~SubscriptionBag() { clear(); }

    void insert(Subscription s) { items_.push_back(std::move(s)); }
    // Cancels in reverse order of insertion.
    void clear() {
        while (!items_.empty()) {
            auto last = std::move(items_.back());
            items_.pop_back();
            last.cancel();
        }
    }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

private:
    std::vector<Subscription> items_;
};

inline void Subscription::store(SubscriptionBag& bag) { bag.insert(std::move(*this)); }

}  // namespace quillmar::runtime
