#include "ui/view_desc.h"

#include <cmath>
#include <utility>

#include "ui/accessibility_builder.h"
#include "ui/transition.h"
#include "ui/view_graph.h"

namespace quillmar::ui::detail {

namespace {
std::optional<double> sanitizeProposal(std::optional<double> v) {
    if (!v || std::isnan(*v)) return std::nullopt;
    return *v < 0 ? 0.0 : *v;
}
Size sanitizeSize(Size s) {
    if (std::isnan(s.width) || s.width < 0) s.width = 0;
    if (std::isnan(s.height) || s.height < 0) s.height = 0;
    return s;
}
}  // namespace

// ---------------------------------------------------------------- LayoutContext

Size LayoutContext::sizeOf(Node& node, ProposedSize proposal) {
    // Modifiers that leave sizing alone answer what the first node below them that sizes answers.
    Node* sizing = &node;
    while (!sizing->removing && sizing->desc->forwardsSizing()) {
        sizing = sizing->firstActiveChild();
        if (!sizing) return {};
    }
    Node& child = *sizing;
    if (child.removing) return child.layout.size();
    proposal.width = sanitizeProposal(proposal.width);
    proposal.height = sanitizeProposal(proposal.height);
    const int axisTag = stackAxis ? static_cast<int>(*stackAxis) : -1;
    if (child.cacheGeneration != generation) {
        // Answers of an earlier pass hold while the subtree has not been evaluated since.
        if (child.changedIn > child.cachedIn || child.cachedIn < graph.trustedCacheEpoch()) child.sizeCache.clear();
        child.cacheGeneration = generation;
        child.cachedIn = graph.cacheEpoch();
    }
    for (const auto& [k, s] : child.sizeCache)
        if (k.first == proposal && k.second == axisTag) return s;
    Size s = sanitizeSize(child.desc->sizeThatFits(child, proposal, *this));
    // A frame gliding through sizes asks something new on every frame: keep the latest answers.
    constexpr std::size_t kMaxAnswers = 12;
    if (child.sizeCache.size() >= kMaxAnswers)
        child.sizeCache.erase(child.sizeCache.begin(), child.sizeCache.begin() + kMaxAnswers / 2);
    if (child.sizeCache.empty()) child.sizeCache.reserve(4);  // a stack asks up to three sizes
    child.sizeCache.push_back({{proposal, axisTag}, s});
    return s;
}

void LayoutContext::place(Node& child, Rect frame) {
    if (!frame.isFinite()) frame = Rect{frame.origin().isFinite() ? frame.origin() : Point{}, Size{}};
    if (overrides) {
        (*overrides)[&child] = frame;
        child.desc->placeChildren(child, frame.size(), *this);
        return;
    }
    // Where nothing moved and nothing below was evaluated again, the children's layout (and
    // what geometry readers below saw) is what the last pass left.
    const bool steady = ancestorsSteady && child.layout == frame;
    if (steady && child.changedIn <= child.placedIn && child.placedIn >= graph.trustedCacheEpoch()) return;
    child.layout = frame;
    const bool saved = ancestorsSteady;
    ancestorsSteady = steady;
    child.desc->placeChildren(child, frame.size(), *this);
    ancestorsSteady = saved;
    child.placedIn = graph.cacheEpoch();
}

TextMeasurer& LayoutContext::textMeasurer() { return graph.textMeasurer(); }

Rect RenderContext::frameOf(const Node& n) const {
    if (overrides) {
        auto it = overrides->find(&n);
        if (it != overrides->end()) return it->second;
    }
    return n.presentedFrame(now);
}

Size RenderContext::layoutSizeOf(const Node& n) const {
    if (overrides) {
        auto it = overrides->find(&n);
        if (it != overrides->end()) return it->second.size();
    }
    return n.layout.size();
}

// ---------------------------------------------------------------- ViewDesc defaults

std::string ViewDesc::debugName() const { return kind().name(); }

void ViewDesc::flattenInto(std::vector<KeyedView>& out, std::uint32_t slot, const View& self) const {
    out.push_back(KeyedView{ChildKey{slot, {}, 0, kind()}, self});
}

void ViewDesc::evaluate(Node&, ViewGraph&, const EvalInput&) const {}

std::vector<double> ViewDesc::animatableData(const Node&) const { return {}; }

Size ViewDesc::sizeThatFits(Node& node, ProposedSize proposal, LayoutContext& lc) const {
    // A container of several children (a group used on its own) layers them.
    Size s{};
    const auto saved = lc.stackAxis;
    lc.stackAxis.reset();
    node.forEachActiveChild([&](Node& c) {
        Size cs = lc.sizeOf(c, proposal);
        s.width = std::max(s.width, cs.width);
        s.height = std::max(s.height, cs.height);
    });
    lc.stackAxis = saved;
    return s;
}

void ViewDesc::placeChildren(Node& node, Size size, LayoutContext& lc) const {
    const auto saved = lc.stackAxis;
    lc.stackAxis.reset();
    node.forEachActiveChild([&](Node& c) {
        Size cs = lc.sizeOf(c, ProposedSize::exactly(size));
        lc.place(c, Rect{alignOffset(Alignment::center(), size, cs), cs});
    });
    lc.stackAxis = saved;
}

bool ViewDesc::isEmptyView(const Node&) const { return false; }
std::optional<double> ViewDesc::spacerMinLength(const Node&) const { return std::nullopt; }
double ViewDesc::layoutPriority(const Node&) const { return 0; }
Point ViewDesc::contentOffset(const Node&, double) const { return {}; }
bool ViewDesc::isAnimating(const Node&, double) const { return false; }
double ViewDesc::drawnOpacity(const Node&, double) const { return 1; }

void ViewDesc::render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const {
    for (auto& c : node.children) renderNode(*c, rc, ctx);
}

gfx::AffineTransform ViewDesc::childTransform(const Node& node, double now) const {
    const Point off = contentOffset(node, now);
    return gfx::AffineTransform::translation(off.x, off.y);
}

Node* ViewDesc::hitTest(Node& node, Point p, HitTestContext& hc) const {
    const auto t = childTransform(node, hc.now);
    if (!t.isInvertible()) return nullptr;
    const Point q = t.inverted().apply(p);
    for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
        Node& c = **it;
        if (c.removing) continue;
        if (Node* h = hitTestNode(c, q, hc)) return h;
    }
    return nullptr;
}

void ViewDesc::accessibility(Node& node, AccessibilityBuilder& b) const { b.visitChildren(node); }

int ViewDesc::primitiveCount(const Node& node) const {
    int n = 0;
    for (const auto& c : node.children) {
        if (c->hiddenByMatch) continue;
        n += c->desc->primitiveCount(*c);
        if (c->activeTransition) n = 2;
        if (n >= 2) return 2;
    }
    return n;
}

namespace {

// Set while a stack child's drawn bounds are found to be kept: cleared by the walk when a node
// whose frame it reads could still move on with time (main thread only, as all view state).
bool* keepableWatch = nullptr;

// The node's own animated numbers, transition or scrolling can move on with time, or it is a ghost
// the frame clock will clear.
bool inMotion(const Node& n, double now, bool frameToo) {
    return (frameToo && !n.frame.isSettled()) || !n.data.isSettled() || !n.transitionAmount.isSettled() ||
           n.activeTransition || n.removing || (n.desc && n.desc->isAnimating(n, now));
}

}  // namespace

// A node's drawn bounds in its own coordinates, kept between frames and updates while nothing
// they were found from can move on with time (the node's own frame may glide: they are kept with
// the size they were found at) and until the node is evaluated (which marks changedIn up to it)
// or laid out again. No node the bounds were found from is a ghost or in a transition the frame
// clock could clear. Children's bounds are kept the same way, so bounds found again after a change
// below reuse what did not change.
Rect keptDrawnBounds(Node& c, double now) {
    const Size size = c.presentedFrame(now).size();
    const std::uint64_t kept = c.drawnCacheEpoch;
    if (kept && c.changedIn < kept && c.placedIn < kept && c.drawnCacheSize == size) return c.drawnCache;
    bool keepable = !inMotion(c, now, false);
    bool* const outer = std::exchange(keepableWatch, &keepable);
    const Rect drawn = c.desc->drawnBounds(c, now);
    keepableWatch = outer;
    if (keepable) {
        c.drawnCache = drawn;
        c.drawnCacheSize = size;
        c.drawnCacheEpoch = c.graph.changeEpoch();
    } else {
        c.drawnCacheEpoch = 0;
    }
    return drawn;
}

Rect ViewDesc::drawnBounds(const Node& node, double now) const {
    const Rect own{Point{}, node.presentedFrame(now).size()};
    Rect r = own.insetBy(-2, -2);  // stroke overhang and antialiasing
    const auto t = childTransform(node, now);
    const bool moved = !t.isIdentity();
    for (const auto& c : node.children) {
        if (c->hiddenByMatch) continue;
        c->graph.noteDrawnBoundsFound();
        if (keepableWatch && *keepableWatch && inMotion(*c, now, true)) *keepableWatch = false;
        const Rect f = c->presentedFrame(now);
        bool* const watch = keepableWatch;
        Rect cb = keptDrawnBounds(*c, now).offsetBy(f.x, f.y);
        if (watch && c->drawnCacheEpoch == 0) *watch = false;  // something below moves
        if (c->activeTransition) cb = cb.insetBy(-cb.width, -cb.height);  // scale or offset in flight
        r = r.unionWith(moved ? t.apply(cb) : cb);
    }
    return r;
}
Node* ViewDesc::primaryChild(const Node& node) const { return isPassThrough() ? node.firstActiveChild() : nullptr; }
void ViewDesc::appeared(Node&, ViewGraph&) const {}
void ViewDesc::disappeared(Node&, ViewGraph&) const {}
void ViewDesc::frameTick(Node&, ViewGraph&, double) const {}

// ---------------------------------------------------------------- pass-through

void ModifierDesc::evaluate(Node& node, ViewGraph& graph, const EvalInput&) const {
    graph.reconcileSingle(node, content, node.env, node.transaction);
}

Size PassThroughDesc::sizeThatFits(Node& node, ProposedSize proposal, LayoutContext& lc) const {
    Node* c = node.firstActiveChild();
    return c ? lc.sizeOf(*c, proposal) : Size{};
}

void PassThroughDesc::placeChildren(Node& node, Size size, LayoutContext& lc) const {
    if (Node* c = node.firstActiveChild()) lc.place(*c, Rect{Point{}, size});
}

bool PassThroughDesc::isEmptyView(const Node& node) const {
    Node* c = node.firstActiveChild();
    return !c || c->desc->isEmptyView(*c);
}

std::optional<double> PassThroughDesc::spacerMinLength(const Node& node) const {
    Node* c = node.firstActiveChild();
    return c ? c->desc->spacerMinLength(*c) : std::nullopt;
}

double PassThroughDesc::layoutPriority(const Node& node) const {
    Node* c = node.firstActiveChild();
    return c ? c->desc->layoutPriority(*c) : 0;
}

void PassThroughDesc::accessibility(Node& node, AccessibilityBuilder& b) const {
    // Properties from above go on to the one child; they form an element here only when
    // nothing below made one.
    if (Node* c = node.firstActiveChild()) b.visit(*c);
    if (!b.pending.isEmpty()) {
        AccessibilityElement e;
        e.role = "group";
        b.add(std::move(e), node);
    }
}

// ---------------------------------------------------------------- drawing and hit testing

void renderNode(Node& node, RenderContext& rc, gfx::GraphicsContext& parent) {
    if (node.hiddenByMatch) return;
    const Rect f = rc.frameOf(node);
    if (!f.isFinite()) return;
    gfx::GraphicsContext ctx = parent;
    ctx.translateBy(f.x, f.y);
    const MotionScope motion(rc, !rc.inMotion && (node.frame.isAnimating(rc.now) ||
                                                  (node.activeTransition && node.transitionAmount.isAnimating(rc.now))));
    if (node.activeTransition) {
        const double amount = node.transitionAmount.value(rc.now, 0);
        const auto e = node.activeTransition->effect(amount, node.removing);
        if (!e.isIdentity()) {
            if (e.opacity <= 0.0005 || std::fabs(e.scale) < 1e-6) return;
            ctx.translateBy(e.offset.x, e.offset.y);
            if (e.scale != 1) {
                const double ax = f.width * e.anchor.x, ay = f.height * e.anchor.y;
                ctx.translateBy(ax, ay);
                ctx.scaleBy(e.scale, e.scale);
                ctx.translateBy(-ax, -ay);
            }
            if (e.opacity < 1) {
                ctx.opacity *= e.opacity;
                drawGroup(node, rc, ctx, [&](gfx::GraphicsContext& layer) { node.desc->render(node, rc, layer); });
                return;
            }
        }
    }
    node.desc->render(node, rc, ctx);
}

void renderVisibleChildren(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) {
    // Room for what a child draws beyond the bounds it reports (shadows, blurs, antialiasing).
    constexpr double kMargin = 32;
    const Rect visible = node.children.size() > 1 ? ctx.clipBoundingRect() : Rect{};
    const bool culls = visible.isFinite() && !visible.isEmpty();
    for (auto& c : node.children) {
        if (culls && !c->activeTransition && !c->hiddenByMatch) {
            const Rect f = rc.frameOf(*c);
            const Rect drawn = keptDrawnBounds(*c, rc.now).offsetBy(f.x, f.y).insetBy(-kMargin, -kMargin);
            if (drawn.isFinite() && !drawn.intersects(visible)) continue;
        }
        renderNode(*c, rc, ctx);
    }
}

void drawGroup(const Node& node, RenderContext& rc, gfx::GraphicsContext& ctx,
               const std::function<void(gfx::GraphicsContext&)>& draw) {
    const auto state = ctx.drawState();
    if (state.filters.empty() && node.desc->primitiveCount(node) <= 1) {
        draw(ctx);  // one primitive: its own opacity is the group's
        return;
    }
    ctx.drawLayer(draw, node.desc->drawnBounds(node, rc.now), gfx::LayerStyle{rc.inMotion});
}

Node* hitTestNode(Node& node, Point p, HitTestContext& hc) {
    if (node.removing || node.hiddenByMatch) return nullptr;
    const Rect f = node.presentedFrame(hc.now);
    return node.desc->hitTest(node, Point{p.x - f.x, p.y - f.y}, hc);
}

}  // namespace quillmar::ui::detail
