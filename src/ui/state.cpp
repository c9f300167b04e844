#include "ui/state.h"

#include <atomic>

#include "ui/environment.h"
#include "ui/eval_frame.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {

EvalFrame*& currentEvalFrame() {
    static EvalFrame* frame = nullptr;  // main thread only, like everything in the view layer
    return frame;
}

std::shared_ptr<StateSlotBase> bindSlot(const void* member, std::type_index type,
                                        const std::function<std::shared_ptr<StateSlotBase>()>& make) {
    EvalFrame* f = currentEvalFrame();
    if (!f) return nullptr;
    const auto* m = static_cast<const char*>(member);
    const auto* b = static_cast<const char*>(f->base);
    if (m < b || m >= b + f->size) return nullptr;
    const std::ptrdiff_t offset = m - b;
    auto& slot = f->state->slots[{offset, type}];
    if (!slot) {
        slot = make();
        slot->owner = std::weak_ptr<void>(std::static_pointer_cast<void>(f->node->ref()));
    }
    return slot;
}

void slotChanged(const StateSlotBase& slot) {
    auto owner = slot.owner.lock();
    if (!owner) return;
    Node* node = *static_cast<Node**>(owner.get());
    if (node) node->graph.invalidate(*node);
}

std::uint64_t newNamespaceId() {
    static std::uint64_t next = 0;
    return ++next;
}

namespace {
struct NamespaceSlot final : StateSlotBase {
    std::uint64_t id = newNamespaceId();
};
}  // namespace

}  // namespace detail

std::uint64_t Namespace::idForCopy() const {
    if (id_ == 0) {
        auto s = detail::bindSlot(this, typeid(Namespace), [] { return std::make_shared<detail::NamespaceSlot>(); });
        if (s) id_ = static_cast<detail::NamespaceSlot&>(*s).id;
    }
    return id_;
}

std::uint64_t Namespace::id() const {
    if (id_ == 0) idForCopy();
    if (id_ == 0) id_ = detail::newNamespaceId();  // used outside any view
    return id_;
}

void observe(const runtime::ObservableObject& object) {
    detail::EvalFrame* f = detail::currentEvalFrame();
    if (!f) return;
    for (auto& o : f->state->observations)
        if (o.object == &object) {
            o.seen = true;
            return;
        }
    std::weak_ptr<detail::Node*> ref = f->node->ref();
    auto& signal = const_cast<runtime::ObservableObject&>(object).objectWillChange;
    f->state->observations.push_back({&object, signal.connect([ref] {
                                          auto r = ref.lock();
                                          if (r && *r) (*r)->graph.invalidate(**r);
                                      }),
                                      true});
}

const Environment& environment() {
    static const Environment defaults;
    detail::EvalFrame* f = detail::currentEvalFrame();
    return f && f->node->env ? *f->node->env : defaults;
}

}  // namespace quillmar::ui
