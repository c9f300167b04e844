// Lifecycle hooks: appear, disappear, change of a value, and subscriptions kept while a view is
// on screen. Hooks run after the update that caused them is laid out and committed.

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

class AppearDesc final : public ModifierDesc {
public:
    AppearDesc(View c, std::function<void()> a, bool onAppear)
        : ModifierDesc(std::move(c)), action(std::move(a)), isAppear(onAppear) {}
    std::function<void()> action;
    bool isAppear;
    void appeared(Node&, ViewGraph& graph) const override {
        if (isAppear && action) graph.enqueueHook(ViewGraph::HookKind::appear, action);
    }
    void disappeared(Node&, ViewGraph& graph) const override {
        if (!isAppear && action) graph.enqueueHook(ViewGraph::HookKind::disappear, action);
    }
};

struct ChangeState final : NodeState {
    AnyEquatable value;
};

class ChangeDesc final : public ModifierDesc {
public:
    ChangeDesc(View c, AnyEquatable v, std::function<void(const AnyEquatable&, const AnyEquatable&)> a)
        : ModifierDesc(std::move(c)), value(std::move(v)), action(std::move(a)) {}
    AnyEquatable value;
    std::function<void(const AnyEquatable&, const AnyEquatable&)> action;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput& in) const override {
        const bool fresh = node.state == nullptr;
        auto& st = node.stateAs<ChangeState>();
        if (!fresh && !(st.value == value) && action) {
            graph.enqueueHook(ViewGraph::HookKind::change,
                              [action = action, old = st.value, now = value] { action(old, now); });
        }
        st.value = value;
        ModifierDesc::evaluate(node, graph, in);
    }
};

struct ReceiveState final : NodeState {
    std::shared_ptr<void> cell;
    std::string sourceKey;
    runtime::Subscription subscription;
};

class ReceiveDesc final : public ModifierDesc {
public:
    ReceiveDesc(View c, ReceiveSpec s) : ModifierDesc(std::move(c)), spec(std::move(s)) {}
    ReceiveSpec spec;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput& in) const override {
        if (auto* st = node.stateIf<ReceiveState>(); st && st->cell && spec.assign) {
            if (st->sourceKey == spec.sourceKey) {
                spec.assign(st->cell.get(), spec.cell.get());
            } else {
                subscribeLater(node, graph);
            }
        }
        ModifierDesc::evaluate(node, graph, in);
    }
    void appeared(Node& node, ViewGraph& graph) const override { subscribeLater(node, graph); }
    void disappeared(Node& node, ViewGraph&) const override {
        if (auto* st = node.stateIf<ReceiveState>()) st->subscription.cancel();
    }

    // Subscribes after the update, so a value delivered at once does not run inside it.
    void subscribeLater(Node& node, ViewGraph& graph) const {
        std::weak_ptr<Node*> ref = node.ref();
        ReceiveSpec s = spec;
        graph.enqueueHook(ViewGraph::HookKind::subscribe, [ref, s] {
            auto r = ref.lock();
            if (!r || !*r || (*r)->removing) return;
            auto& st = (*r)->stateAs<ReceiveState>();
            st.subscription.cancel();
            st.cell = s.cell;
            st.sourceKey = s.sourceKey;
            if (s.subscribe) st.subscription = s.subscribe(st.cell);
        });
    }
};

}  // namespace

std::shared_ptr<const ViewDesc> makeChangeDesc(View content, AnyEquatable value,
                                               std::function<void(const AnyEquatable&, const AnyEquatable&)> action) {
    return std::make_shared<ChangeDesc>(std::move(content), std::move(value), std::move(action));
}

std::shared_ptr<const ViewDesc> makeReceiveDesc(View content, ReceiveSpec spec) {
    return std::make_shared<ReceiveDesc>(std::move(content), std::move(spec));
}

}  // namespace detail

View View::onAppear(std::function<void()> action) const {
    return View(std::make_shared<detail::AppearDesc>(*this, std::move(action), true));
}

View View::onDisappear(std::function<void()> action) const {
    return View(std::make_shared<detail::AppearDesc>(*this, std::move(action), false));
}

View View::onReceive(runtime::NotificationCenter& center, std::string name,
                     std::function<void(const runtime::Notification&)> action) const {
    using Action = std::function<void(const runtime::Notification&)>;
    detail::ReceiveSpec spec;
    spec.cell = std::make_shared<Action>(std::move(action));
    spec.sourceKey = std::to_string(reinterpret_cast<std::uintptr_t>(&center)) + ":" + name;
    spec.subscribe = [c = &center, name](const std::shared_ptr<void>& cell) {
        auto typed = std::static_pointer_cast<Action>(cell);
        return c->addObserver(name, [typed](const runtime::Notification& n) {
            auto fn = *typed;
            if (fn) fn(n);
        });
    };
    spec.assign = [](void* dst, const void* src) { *static_cast<Action*>(dst) = *static_cast<const Action*>(src); };
    return View(detail::makeReceiveDesc(*this, std::move(spec)));
}

}  // namespace quillmar::ui
