#pragma once
// State a component keeps between evaluations, bindings to state owned elsewhere, animation
// namespaces, and the observation of published objects.
//
//     struct Counter {
//         State<int> count{0};            // kept by the view's identity, survives re-evaluation
//         Namespace ns;                   // one namespace per view, for matched geometry
//         View body() const {
//             observe(SwitcherSettings::shared());  // re-evaluate when the settings change
//             return Button([c = count] { c.set(c.get() + 1); }, Text(std::to_string(count.get())));
//         }
//     };
//
// State and Namespace must be direct members of the component: the layer finds their storage
// by their place in the component. Reading them outside an evaluation (in an action) uses the
// storage bound when the copy was made inside body(). Writing state re-evaluates the component
// (coalesced per main-loop turn, or at the end of a withAnimation block).

#include <functional>
#include <memory>
#include <typeindex>
#include <utility>

#include "runtime/published.h"

namespace quillmar::ui {

struct Environment;

namespace detail {

struct StateSlotBase {
    virtual ~StateSlotBase() = default;
    std::weak_ptr<void> owner;  // the node that keeps the slot; invalidated on writes
};

template <class T>
struct StateSlot final : StateSlotBase {
    explicit StateSlot(T v) : value(std::move(v)) {}
    T value;
};

// The storage of the member at `member` of the component being evaluated, made by `make` the
// first time; null outside an evaluation or when `member` is not inside the component.
std::shared_ptr<StateSlotBase> bindSlot(const void* member, std::type_index type,
                                        const std::function<std::shared_ptr<StateSlotBase>()>& make);
// Re-evaluates the slot's owner.
void slotChanged(const StateSlotBase& slot);
std::uint64_t newNamespaceId();

}  // namespace detail

template <class T>
class State {
public:
    State() : initial_() {}
    State(T initial) : initial_(std::move(initial)) {}  // NOLINT(google-explicit-constructor)
    State(const State& o) : initial_(o.initial_), slot_(o.slotForCopy()) {}
    State& operator=(const State& o) {
        initial_ = o.initial_;
        slot_ = o.slotForCopy();
        return *this;
    }

    const T& get() const { return resolve()->value; }
    const T& operator*() const { return get(); }
    const T* operator->() const { return &get(); }
    void set(T v) const {
        auto s = resolve();
        s->value = std::move(v);
        detail::slotChanged(*s);
    }

    // State is not part of a component's value: components compare equal whatever it holds.
    friend bool operator==(const State&, const State&) { return true; }

private:
    using Slot = detail::StateSlot<T>;
    std::shared_ptr<Slot> tryBind() const {
        auto s = detail::bindSlot(this, typeid(T), [this] { return std::make_shared<Slot>(initial_); });
        return std::static_pointer_cast<Slot>(s);
    }
    std::shared_ptr<Slot> slotForCopy() const {
        if (!slot_) slot_ = tryBind();
        return slot_;
    }
    std::shared_ptr<Slot> resolve() const {
        if (!slot_) slot_ = tryBind();
        if (!slot_) slot_ = std::make_shared<Slot>(initial_);  // used outside any view
        return slot_;
    }

    T initial_;
    mutable std::shared_ptr<Slot> slot_;
};

// A two-way reference to a value owned elsewhere.
template <class T>
class Binding {
public:
    Binding() = default;
    Binding(std::function<T()> get, std::function<void(const T&)> set) : get_(std::move(get)), set_(std::move(set)) {}

    static Binding constant(T v) {
        return Binding([v] { return v; }, [](const T&) {});
    }
    static Binding to(const State<T>& state) {
        return Binding([state] { return state.get(); }, [state](const T& v) { state.set(v); });
    }

    T get() const { return get_ ? get_() : T{}; }
    T operator*() const { return get(); }
    void set(const T& v) const {
        if (set_) set_(v);
    }
    explicit operator bool() const { return static_cast<bool>(get_); }

private:
    std::function<T()> get_;
    std::function<void(const T&)> set_;
};

// A binding to a published property: reads its value, writes through set() (which runs the
// property's observers). The property must outlive the binding.
template <class T>
Binding<T> bind(runtime::Published<T>& property) {
    auto* p = &property;
    return Binding<T>([p] { return p->get(); }, [p](const T& v) { p->set(v); });
}

// A namespace for matched-geometry ids, one per view that declares it.
class Namespace {
public:
    Namespace() = default;
    Namespace(const Namespace& o) : id_(o.idForCopy()) {}
    Namespace& operator=(const Namespace& o) {
        id_ = o.idForCopy();
        return *this;
    }
    std::uint64_t id() const;

    friend bool operator==(const Namespace&, const Namespace&) { return true; }

private:
    std::uint64_t idForCopy() const;
    mutable std::uint64_t id_ = 0;
};

// Inside body(): re-evaluate this component whenever `object` announces a change.
void observe(const runtime::ObservableObject& object);
// Inside body(): the environment this component is evaluated in (defaults outside body()).
const Environment& environment();

}  // namespace quillmar::ui
