#include "ui/scroll_view.h"

#include <cmath>

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

struct ScrollState final : NodeState {
    AnimatedVector offset{std::vector<double>{0}};
    double maxOffset = 0;
    ScrollState() { offset.setImmediate({0}); }
};

class ScrollViewDesc final : public ModifierDesc {
public:
    bool forwardsSizing() const override { return false; }
    ScrollViewDesc(View c, bool indicators) : ModifierDesc(std::move(c)), showsIndicators(indicators) {}
    bool showsIndicators;

    static double offsetAt(const Node& node, double now) {
        auto* st = node.stateIf<ScrollState>();
        return st ? st->offset.value(now, 0) : 0;
    }

    bool isPassThrough() const override { return false; }
    Node* primaryChild(const Node&) const override { return nullptr; }
    bool isEmptyView(const Node&) const override { return false; }
    std::optional<double> spacerMinLength(const Node&) const override { return std::nullopt; }
    double layoutPriority(const Node&) const override { return 0; }

    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        const auto saved = lc.stackAxis;
        lc.stackAxis.reset();
        const Size cs = c ? lc.sizeOf(*c, ProposedSize{p.width, std::nullopt}) : Size{};
        lc.stackAxis = saved;
        return {p.width.value_or(cs.width), p.height.value_or(cs.height)};
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        auto& st = node.stateAs<ScrollState>();
        Node* c = node.firstActiveChild();
        if (!c) return;
        const auto saved = lc.stackAxis;
        lc.stackAxis.reset();
        const Size cs = lc.sizeOf(*c, ProposedSize{size.width, std::nullopt});
        lc.place(*c, Rect{(size.width - cs.width) / 2, 0, cs.width, cs.height});
        lc.stackAxis = saved;
        if (!lc.overrides) {
            st.maxOffset = std::max(0.0, cs.height - size.height);
            const double target = st.offset.target().empty() ? 0 : st.offset.target()[0];
            if (target > st.maxOffset || target < 0) st.offset.setImmediate({std::clamp(target, 0.0, st.maxOffset)});
        }
    }
    Point contentOffset(const Node& node, double now) const override { return {0, -offsetAt(node, now)}; }
    Rect drawnBounds(const Node& node, double now) const override {
        return Rect{Point{}, node.presentedFrame(now).size()}.insetBy(-1, -1);
    }
    bool isAnimating(const Node& node, double now) const override {
        auto* st = node.stateIf<ScrollState>();
        return st && st->offset.isAnimating(now);
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        gfx::GraphicsContext c = ctx;
        c.clipToRect(Rect{Point{}, rc.frameOf(node).size()});
        c.translateBy(0, -offsetAt(node, rc.now));
        const MotionScope motion(rc, !rc.inMotion && isAnimating(node, rc.now));
        for (auto& child : node.children) renderNode(*child, rc, c);
    }
    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        if (!Rect{Point{}, node.presentedFrame(hc.now).size()}.contains(p)) return nullptr;
        return ModifierDesc::hitTest(node, p, hc);
    }
};

class ScrollViewReaderDesc final : public PassThroughDesc {
public:
    explicit ScrollViewReaderDesc(std::function<View(const ScrollViewProxy&)> c) : content(std::move(c)) {}
    std::function<View(const ScrollViewProxy&)> content;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        ScrollViewProxy proxy(node.ref());
        graph.reconcileSingle(node, content ? content(proxy) : View(), node.env, node.transaction);
    }
};

Node* findIdentified(Node& node, const Id& id) {
    if (node.removing) return nullptr;
    if ((node.desc->explicitId() && *node.desc->explicitId() == id) || (!node.key.id.isNone() && node.key.id == id))
        return &node;
    for (auto& c : node.children)
        if (Node* f = findIdentified(*c, id)) return f;
    return nullptr;
}

}  // namespace

// Scrolls the nearest scroll view around `target`; false when there is none.
bool scrollToNode(Node& target, std::optional<UnitPoint> anchor) {
    Node* scroll = target.parent;
    while (scroll && !dynamic_cast<const ScrollViewDesc*>(scroll->desc.get())) scroll = scroll->parent;
    if (!scroll) return false;
    Rect r = target.layout;
    for (Node* p = target.parent; p && p != scroll; p = p->parent) {
        r.x += p->layout.x;
        r.y += p->layout.y;
    }
    auto& st = scroll->stateAs<ScrollState>();
    const double viewport = scroll->layout.height;
    const double now = scroll->graph.now();
    const double current = st.offset.value(now, 0);
    double target_;
    if (anchor) {
        target_ = r.y + r.height * anchor->y - viewport * anchor->y;
    } else if (r.y < current) {
        target_ = r.y;
    } else if (r.maxY() > current + viewport) {
        target_ = r.maxY() - viewport;
    } else {
        target_ = current;
    }
    if (!std::isfinite(target_)) return false;
    target_ = std::clamp(target_, 0.0, st.maxOffset);
    st.offset.animateTo({target_}, Transaction::current().effectiveAnimation(), now);
    scroll->graph.setNeedsDisplay();
    scroll->graph.ensureTicking();
    return true;
}

// Scrolls the scroll view under a point by `dy` points, without animation.
bool scrollBy(Node& hit, double dy) {
    Node* scroll = &hit;
    while (scroll && !dynamic_cast<const ScrollViewDesc*>(scroll->desc.get())) scroll = scroll->parent;
    if (!scroll || !std::isfinite(dy)) return false;
    auto& st = scroll->stateAs<ScrollState>();
    const double now = scroll->graph.now();
    st.offset.setImmediate({std::clamp(st.offset.value(now, 0) + dy, 0.0, st.maxOffset)});
    scroll->graph.setNeedsDisplay();
    return true;
}

}  // namespace detail

bool ScrollViewProxy::scrollTo(const Id& id, std::optional<UnitPoint> anchor) const {
    auto r = reader_.lock();
    if (!r || !*r) return false;
    detail::Node* target = detail::findIdentified(**r, id);
    return target && detail::scrollToNode(*target, anchor);
}

View ScrollView(View content, bool showsIndicators) {
    return View(std::make_shared<detail::ScrollViewDesc>(std::move(content), showsIndicators));
}

View ScrollViewReader(std::function<View(const ScrollViewProxy&)> content) {
    return View(std::make_shared<detail::ScrollViewReaderDesc>(std::move(content)));
}

}  // namespace quillmar::ui
