#pragma once
// A main-thread multicast callback list. Emission walks a snapshot of the connected slots, so a
// slot may connect or disconnect slots (itself included) while being called: a slot removed
// during an emission is not called afterwards, a slot added is first called by the next one.

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "runtime/subscription.h"

namespace quillmar::runtime {

template <class... Args>
class Signal {
public:
    using Slot = std::function<void(const Args&...)>;

    Signal() : slots_(std::make_shared<std::vector<std::shared_ptr<Entry>>>()) {}
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    Subscription connect(Slot slot) {
        auto entry = std::make_shared<Entry>(Entry{std::move(slot), true});
        prune();
        slots_->push_back(entry);
        std::weak_ptr<Entry> weak = entry;
        return Subscription([weak] {
            if (auto e = weak.lock()) {
                e->alive = false;
                e->slot = nullptr;  // release captured state at once
            }
        });
    }

    void emit(const Args&... args) const {
        auto snapshot = *slots_;
        for (const auto& e : snapshot) {
            if (!e->alive) continue;
            auto fn = e->slot;  // keep the callable alive even if it disconnects itself
            fn(args...);
        }
    }

    std::size_t connectionCount() const {
        return static_cast<std::size_t>(
            std::count_if(slots_->begin(), slots_->end(), [](const auto& e) { return e->alive; }));
    }

private:
    struct Entry {
        Slot slot;
        bool alive;
    };
    void prune() {
        std::erase_if(*slots_, [](const auto& e) { return !e->alive; });
    }
    std::shared_ptr<std::vector<std::shared_ptr<Entry>>> slots_;
};

}  // namespace quillmar::runtime
