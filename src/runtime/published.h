#pragma once
// Published values and their change streams.
//
// Semantics the product relies on:
// - subscribing delivers the current value at once;
// - every assignment emits, even of an unchanged value;
// - subscribers see the new value before it is stored (will-set): reading the property from a
//   subscriber still gives the old value;
// - the owner's objectWillChange fires before each emission (views re-evaluate on it);
// - a per-property observer (onDidSet) runs after the store and may assign the property again;
//   that nested assignment runs completely (emits, stores, observes) before the outer observer
//   continues.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "runtime/main_loop.h"
#include "runtime/signal.h"
#include "runtime/subscription.h"

namespace quillmar::runtime {

class ObservableObject {
public:
    ObservableObject() = default;
    ObservableObject(const ObservableObject&) = delete;
    ObservableObject& operator=(const ObservableObject&) = delete;
    virtual ~ObservableObject() = default;

    Signal<> objectWillChange;
};

// A stream of values: something that can be subscribed to. Operators build new streams.
template <class T>
class Stream {
public:
    using Receiver = std::function<void(const T&)>;
    using SubscribeFn = std::function<Subscription(Receiver)>;

    Stream() = default;
    explicit Stream(SubscribeFn fn) : subscribe_(std::move(fn)) {}

    Subscription sink(Receiver r) const { return subscribe_ ? subscribe_(std::move(r)) : Subscription(); }

    // Delivers only while owner is alive (the owner is held weakly).
    template <class Owner>
    Subscription sink(std::weak_ptr<Owner> owner, std::function<void(Owner&, const T&)> r) const {
        return sink([owner = std::move(owner), r = std::move(r)](const T& v) {
            if (auto o = owner.lock()) r(*o, v);
        });
    }

    Stream dropFirst(std::size_t n = 1) const {
        auto up = subscribe_;
        return Stream([up, n](Receiver r) {
            auto left = std::make_shared<std::size_t>(n);
            return up([left, r = std::move(r)](const T& v) {
                if (*left > 0) {
                    --*left;
                    return;
                }
                r(v);
            });
        });
    }

    template <class F>
    auto map(F f) const -> Stream<std::decay_t<std::invoke_result_t<F, const T&>>> {
        using U = std::decay_t<std::invoke_result_t<F, const T&>>;
        auto up = subscribe_;
        return Stream<U>([up, f](typename Stream<U>::Receiver r) {
            return up([f, r = std::move(r)](const T& v) { r(f(v)); });
        });
    }

    // Subscribes to this stream first, then to other.
    Stream merge(const Stream& other) const {
        auto a = subscribe_;
        auto b = other.subscribe_;
        return Stream([a, b](Receiver r) {
            auto s1 = std::make_shared<Subscription>(a(r));
            auto s2 = std::make_shared<Subscription>(b(r));
            return Subscription([s1, s2] {
                s1->cancel();
                s2->cancel();
            });
        });
    }

    Stream removeDuplicates() const {
        auto up = subscribe_;
        return Stream([up](Receiver r) {
            auto last = std::make_shared<std::optional<T>>();
            return up([last, r = std::move(r)](const T& v) {
                if (*last && **last == v) return;
                *last = v;
                r(v);
            });
        });
    }

    // Each value is delivered on a later turn of the main loop, never inline, in order. Values
    // still queued when the subscription ends are dropped.
    Stream receiveOnMain() const {
        auto up = subscribe_;
        return Stream([up](Receiver r) {
            auto alive = std::make_shared<bool>(true);
            auto shared = std::make_shared<Receiver>(std::move(r));
            auto inner = std::make_shared<Subscription>(up([alive, shared](const T& v) {
                MainLoop::main().post([alive, shared, v] {
                    if (*alive) (*shared)(v);
                });
            }));
            return Subscription([alive, inner] {
                *alive = false;
                inner->cancel();
            });
        });
    }

private:
    SubscribeFn subscribe_;
};

template <class T>
class Published {
public:
    explicit Published(T initial = T{}, ObservableObject* owner = nullptr)
        : value_(std::move(initial)), owner_(owner), signal_(std::make_shared<Signal<T>>()) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }
    operator const T&() const { return value_; }  // NOLINT(google-explicit-constructor)
    const T* operator->() const { return &value_; }

    Published& operator=(T v) {
        set(std::move(v));
        return *this;
    }

    void set(T v) {
        if (owner_) owner_->objectWillChange.emit();
        signal_->emit(v);
        T old = std::exchange(value_, std::move(v));
        if (didSet_) {
            auto observer = didSet_;  // may be replaced while running
            observer(old);
        }
    }

    // Runs after each store with the previous value.
    void onDidSet(std::function<void(const T& oldValue)> fn) { didSet_ = std::move(fn); }

    // Delivers the current value at once, then every assignment.
    Subscription subscribe(std::function<void(const T&)> fn) const {
        fn(value_);
        return signal_->connect(std::move(fn));
    }

    // The property's change stream (current value first).
    Stream<T> publisher() const {
        std::weak_ptr<Signal<T>> weakSignal = signal_;
        const T* value = &value_;
        auto alive = alive_;
        return Stream<T>([weakSignal, value, alive](std::function<void(const T&)> r) {
            auto sig = weakSignal.lock();
            if (!sig) return Subscription();
            if (*alive) r(*value);
            return sig->connect(std::move(r));
        });
    }

    ~Published() { *alive_ = false; }

private:
    T value_;
    ObservableObject* owner_;
    std::shared_ptr<Signal<T>> signal_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::function<void(const T&)> didSet_;
};

}  // namespace quillmar::runtime
