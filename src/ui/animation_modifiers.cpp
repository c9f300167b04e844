// Implicit animations keyed to a value, insertion and removal transitions, and matched geometry.

#include "ui/eval_frame.h"
#include "ui/state.h"
#include "ui/transition.h"
#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

struct WatchedValue final : NodeState {
    AnyEquatable value;
    bool seen = false;
};

class ImplicitAnimationDesc final : public ModifierDesc {
public:
    ImplicitAnimationDesc(View c, std::optional<Animation> a, AnyEquatable v)
        : ModifierDesc(std::move(c)), animation(std::move(a)), value(std::move(v)) {}
    std::optional<Animation> animation;
    AnyEquatable value;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        auto& w = node.stateAs<WatchedValue>();
        const bool changed = w.seen && !(w.value == value);
        w.value = value;
        w.seen = true;
        Transaction txn = node.transaction;
        if (changed) txn = Transaction{animation, false};
        graph.reconcileSingle(node, content, node.env, txn);
    }
};

class TransitionDesc final : public ModifierDesc {
public:
    TransitionDesc(View c, Transition t) : ModifierDesc(std::move(c)), t(std::move(t)) {}
    Transition t;
    const Transition* transition() const override { return &t; }
};

class MatchedGeometryDesc final : public ModifierDesc {
public:
    MatchedGeometryDesc(View c, MatchedGeometryInfo i) : ModifierDesc(std::move(c)), info(std::move(i)) {}
    MatchedGeometryInfo info;
    const MatchedGeometryInfo* matchedGeometry() const override { return &info; }

    // While the frame glides to a new size, the content is laid out again at the size drawn.
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const Rect drawn = rc.frameOf(node);
        Node* child = node.firstActiveChild();
        if (!child || (std::fabs(drawn.width - node.layout.width) < 1e-6 &&
                       std::fabs(drawn.height - node.layout.height) < 1e-6)) {
            return ModifierDesc::render(node, rc, ctx);
        }
        std::unordered_map<const Node*, Rect> overrides;
        if (rc.overrides) overrides = *rc.overrides;
        LayoutContext lc(node.graph, node.graph.newLayoutGeneration(), false, &overrides);
        const Size s{std::max(0.0, drawn.width), std::max(0.0, drawn.height)};
        lc.sizeOf(*child, ProposedSize::exactly(s));
        lc.place(*child, Rect{Point{}, s});
        RenderContext inner = rc;
        inner.overrides = &overrides;
        for (auto& c : node.children) renderNode(*c, inner, ctx);
    }
};

}  // namespace
}  // namespace detail

View View::animationImpl(std::optional<Animation> animation, AnyEquatable value) const {
    return View(std::make_shared<detail::ImplicitAnimationDesc>(*this, std::move(animation), std::move(value)));
}

View View::transition(const Transition& transition) const {
    return View(std::make_shared<detail::TransitionDesc>(*this, transition));
}

View View::matchedGeometryEffect(Id id, const Namespace& ns, const MatchedGeometryOptions& options) const {
    detail::MatchedGeometryInfo info{ns.id(),          std::move(id),    options.properties,
                                     options.anchor,   options.isSource, options.glidesFromRemovedContainer};
    return View(std::make_shared<detail::MatchedGeometryDesc>(*this, std::move(info)));
}

}  // namespace quillmar::ui
