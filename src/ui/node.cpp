#include "ui/node.h"

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui::detail {

Node::Node(ViewGraph& g, Node* p, ChildKey k)
    : graph(g), parent(p), depth(p ? p->depth + 1 : 0), key(std::move(k)) {}

Node::~Node() {
    if (ref_) *ref_ = nullptr;
    // Children first, so their own clean-up still finds the graph consistent.
    children.clear();
    state.reset();
    graph.forget(*this);
}

Rect Node::presentedFrame(double now) const {
    if (!frame.hasTarget()) return layout;
    if (frame.isSettled()) {
        const auto& t = frame.target();
        return t.size() == 4 ? Rect{t[0], t[1], t[2], t[3]} : layout;
    }
    double v[4];
    if (!frame.valueInto(now, v, 4)) return layout;
    return Rect{v[0], v[1], v[2], v[3]};
}

Rect Node::layoutFrameInHost() const {
    Rect r = layout;
    for (const Node* p = parent; p; p = p->parent) {
        r.x += p->layout.x;
        r.y += p->layout.y;
    }
    return r;
}

Rect Node::presentedFrameInHost(double now) const {
    Rect r = presentedFrame(now);
    for (const Node* p = parent; p; p = p->parent) {
        const Rect pf = p->presentedFrame(now);
        const Point off = p->desc ? p->desc->contentOffset(*p, now) : Point{};
        r.x += pf.x + off.x;
        r.y += pf.y + off.y;
    }
    return r;
}

}  // namespace quillmar::ui::detail
