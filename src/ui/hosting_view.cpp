#include "ui/hosting_view.h"

#include <cmath>

#include "gfx/banded_png.h"
#include "gfx/render_target.h"
#include "ui/accessibility_builder.h"
#include "ui/transition.h"
#include "ui/view_graph.h"

namespace quillmar::ui {

namespace detail {
bool scrollBy(Node& hit, double dy);
}

namespace {

using detail::Node;

HostingView*& keyHost() {
    static HostingView* key = nullptr;
    return key;
}

// Maps the node's own coordinates to the hosting view's, as drawn at `now`.
gfx::AffineTransform hostTransform(const Node& n, double now) {
    std::vector<const Node*> chain;
    for (const Node* p = &n; p; p = p->parent) chain.push_back(p);
    gfx::AffineTransform t;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Node& node = **it;
        const Rect f = node.presentedFrame(now);
        t = t.translatedBy(f.x, f.y);
        if (node.activeTransition) {
            const auto e = node.activeTransition->effect(node.transitionAmount.value(now, 0), node.removing);
            t = t.translatedBy(e.offset.x, e.offset.y);
            if (e.scale != 1) {
                const double ax = f.width * e.anchor.x, ay = f.height * e.anchor.y;
                t = t.translatedBy(ax, ay).scaledBy(e.scale, e.scale).translatedBy(-ax, -ay);
            }
        }
        if (&node != &n) t = t.concatenating(node.desc->childTransform(node, now));
    }
    return t;
}

bool isEnabled(const Node& n) { return !n.env || n.env->isEnabled; }

template <class F>
void walk(Node& n, F&& f) {
    if (n.removing || n.hiddenByMatch) return;
    if (!f(n)) return;
    for (auto& c : n.children) walk(*c, f);
}

}  // namespace

struct HostingView::Press {
    std::weak_ptr<Node*> node;
    Point start;
};

HostingView::HostingView(View root, Size size) : graph_(std::make_unique<detail::ViewGraph>(std::move(root))) {
    graph_->setEnvironment(Environment::fromSystem());
    graph_->setSize(size);
}

HostingView::~HostingView() {
    if (keyHost() == this) keyHost() = nullptr;
}

void HostingView::setRootView(View root) { graph_->setRoot(std::move(root)); }
void HostingView::setSize(Size size) { graph_->setSize(size); }
Size HostingView::size() const { return graph_->size(); }
Size HostingView::fittingSize() { return graph_->fittingSize(); }
void HostingView::setEnvironment(const Environment& environment) { graph_->setEnvironment(environment); }
const Environment& HostingView::environment() const { return graph_->environment(); }
void HostingView::setTextMeasurer(std::shared_ptr<TextMeasurer> measurer) {
    graph_->setTextMeasurer(std::move(measurer));
}
void HostingView::layoutIfNeeded() { graph_->updateIfNeeded(); }
void HostingView::setOnDisplayNeeded(std::function<void()> callback) { graph_->onDisplayNeeded = std::move(callback); }

std::uint64_t HostingView::bodyEvaluationCount() const { return graph_->bodyEvaluations(); }
std::uint64_t HostingView::drawnBoundsFoundCount() const { return graph_->drawnBoundsFound(); }
std::uint64_t HostingView::updateCount() const { return graph_->updateCount(); }
bool HostingView::isAnimating() { return graph_->isAnimating(); }

// ---------------------------------------------------------------- drawing

void HostingView::draw(gfx::GraphicsContext& context) {
    layoutIfNeeded();
    if (!graph_->root()) return;
    detail::RenderContext rc;
    rc.now = graph_->now();
    rc.scale = context.deviceScale();
    detail::renderNode(*graph_->root(), rc, context);
}

gfx::Image HostingView::renderImage(double scale, std::optional<Color> background) {
    layoutIfNeeded();
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    const Size s = size();
    gfx::RenderTarget target(Size{std::max(1.0, s.width), std::max(1.0, s.height)}, scale);
    auto ctx = target.context();
    if (background) ctx.fill(gfx::Path::rect(Rect{Point{}, s}), *background);
    draw(ctx);
    return target.takeImage();  // the target ends here: no copy needed
}

bool HostingView::writePng(const std::string& path, double scale, std::optional<Color> background,
                           std::string* error) {
    return renderImage(scale, background).writePng(path, error);
}

bool HostingView::writePngInBands(const std::string& path, double scale, std::optional<Color> background,
                                  std::string* error) {
    layoutIfNeeded();
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    const Size s = size();
    return gfx::writePngInBands(path, Size{std::max(1.0, s.width), std::max(1.0, s.height)}, scale,
                                [&](gfx::GraphicsContext& ctx) {
                                    if (background) ctx.fill(gfx::Path::rect(Rect{Point{}, s}), *background);
                                    draw(ctx);
                                },
                                error);
}

// ---------------------------------------------------------------- input

Node* HostingView::hitTest(Point p) {
    layoutIfNeeded();
    Node* root = graph_->root();
    if (!root) return nullptr;
    detail::HitTestContext hc;
    hc.now = graph_->now();
    return detail::hitTestNode(*root, p, hc);
}

void HostingView::updateHover(std::optional<Point> p) {
    layoutIfNeeded();
    Node* root = graph_->root();
    const double now = graph_->now();
    std::vector<Node*> inside;
    if (root && p) {
        walk(*root, [&](Node& n) {
            if (!n.desc->allowsHitTesting()) return false;
            const auto* h = n.desc->interaction();
            if (h && (h->hover || h->continuousHover) && isEnabled(n)) {
                const auto t = hostTransform(n, now);
                if (t.isInvertible()) {
                    const Point local = t.inverted().apply(*p);
                    if (Rect{Point{}, n.presentedFrame(now).size()}.contains(local)) inside.push_back(&n);
                }
            }
            return true;
        });
    }
    // Exits first, then entries, then moves.
    std::vector<HoverEntry> still;
    std::vector<std::function<void()>> calls;
    for (auto& e : hovered_) {
        auto r = e.node.lock();
        Node* n = r ? *r : nullptr;
        if (n && std::find(inside.begin(), inside.end(), n) != inside.end()) {
            still.push_back(e);
            continue;
        }
        if (!n) continue;
        if (const auto* h = n->desc->interaction()) {
            if (h->hover) calls.push_back([f = h->hover] { f(false); });
            if (h->continuousHover) calls.push_back([f = h->continuousHover] { f(HoverPhase::ended()); });
        }
    }
    for (Node* n : inside) {
        const bool known = std::any_of(still.begin(), still.end(), [n](const HoverEntry& e) {
            auto r = e.node.lock();
            return r && *r == n;
        });
        const auto* h = n->desc->interaction();
        if (!known) {
            if (h->hover) calls.push_back([f = h->hover] { f(true); });
            still.push_back(HoverEntry{n->ref(), static_cast<bool>(h->continuousHover)});
        }
        if (h->continuousHover) {
            const Point local = hostTransform(*n, now).inverted().apply(*p);
            calls.push_back([f = h->continuousHover, local] { f(HoverPhase::at(local)); });
        }
    }
    hovered_ = std::move(still);
    for (auto& c : calls) c();
}

void HostingView::pointerMoved(Point p) {
    updateHover(p);
    if (!press_) return;
    layoutIfNeeded();
    auto r = press_->node.lock();
    if (!r || !*r) return;
    Node& n = **r;
    const auto* h = n.desc->interaction();
    if (!h || !h->dragChanged) return;
    const Point local = hostTransform(n, graph_->now()).inverted().apply(p);
    auto f = h->dragChanged;
    f(DragValue{press_->start, local, n.presentedFrame(graph_->now()).size()});
}

void HostingView::pointerExited() { updateHover(std::nullopt); }

void HostingView::pointerDown(Point p) {
    press_.reset();
    Node* hit = hitTest(p);
    Node* target = nullptr;
    for (Node* n = hit; n; n = n->parent) {
        const auto* h = n->desc->interaction();
        if (h && (h->tap || h->dragChanged || h->dragEnded)) {
            target = n;
            break;
        }
    }
    if (!target || !isEnabled(*target)) return;
    const Point local = hostTransform(*target, graph_->now()).inverted().apply(p);
    press_ = std::make_unique<Press>(Press{target->ref(), local});
    const auto* h = target->desc->interaction();
    if (h->dragChanged) {
        auto f = h->dragChanged;
        f(DragValue{local, local, target->presentedFrame(graph_->now()).size()});
    }
}

void HostingView::pointerUp(Point p) {
    if (!press_) return;
    auto press = std::move(press_);
    layoutIfNeeded();  // before looking at the node: an update may replace its description
    auto r = press->node.lock();
    if (!r || !*r) return;
    Node* n = *r;
    bool inside = false;
    for (Node* x = hitTest(p); x; x = x->parent)
        if (x == n) inside = true;
    const auto* h = n->desc->interaction();
    if (!h) return;
    auto ended = h->dragEnded;
    auto tap = h->tap;
    const Point local = hostTransform(*n, graph_->now()).inverted().apply(p);
    const Size size = n->presentedFrame(graph_->now()).size();
    if (ended) ended(DragValue{press->start, local, size}, inside);
    if (tap && inside) tap();
}

void HostingView::click(Point p) {
    pointerMoved(p);
    pointerDown(p);
    pointerUp(p);
}

void HostingView::drag(Point from, Point to, int steps) {
    pointerMoved(from);
    pointerDown(from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        const double k = static_cast<double>(i) / steps;
        pointerMoved(Point{from.x + (to.x - from.x) * k, from.y + (to.y - from.y) * k});
    }
    pointerUp(to);
}

void HostingView::scrollWheel(Point p, double deltaY) {
    if (Node* hit = hitTest(p)) detail::scrollBy(*hit, deltaY);
}

bool HostingView::keyDown(const KeyEvent& event) {
    layoutIfNeeded();
    std::vector<std::function<bool(const KeyEvent&)>> handlers;
    if (Node* root = graph_->root())
        walk(*root, [&](Node& n) {
            if (const auto* h = n.desc->interaction(); h && h->keyPress && isEnabled(n)) handlers.push_back(h->keyPress);
            return true;
        });
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it)
        if ((*it)(event)) return true;
    return false;
}

void HostingView::makeKey() { keyHost() = this; }
bool HostingView::isKey() const { return keyHost() == this; }
bool HostingView::sendKeyToKeyWindow(const KeyEvent& event) { return keyHost() && keyHost()->keyDown(event); }

// ---------------------------------------------------------------- inspection

Node* HostingView::findNamed(std::string_view name) {
    layoutIfNeeded();
    Node* found = nullptr;
    if (Node* root = graph_->root())
        walk(*root, [&](Node& n) {
            if (found) return false;
            if (const auto* nm = n.desc->nodeName(); nm && *nm == name) found = &n;
            return !found;
        });
    return found;
}

bool HostingView::contains(std::string_view name) { return findNamed(name) != nullptr; }

std::optional<Rect> HostingView::frame(std::string_view name) {
    Node* n = findNamed(name);
    if (!n) return std::nullopt;
    return n->layoutFrameInHost();
}

std::vector<Rect> HostingView::frames(std::string_view name) {
    layoutIfNeeded();
    std::vector<Rect> out;
    if (Node* root = graph_->root())
        walk(*root, [&](Node& n) {
            if (const auto* nm = n.desc->nodeName(); nm && *nm == name) out.push_back(n.layoutFrameInHost());
            return true;
        });
    return out;
}

std::optional<Rect> HostingView::presentedFrame(std::string_view name) {
    Node* n = findNamed(name);
    if (!n) return std::nullopt;
    const double now = graph_->now();
    return hostTransform(*n, now).apply(Rect{Point{}, n->presentedFrame(now).size()});
}

namespace {
double composedOpacity(const Node& n, double now) {
    double o = 1;
    for (const Node* p = &n; p; p = p->parent) {
        if (p != &n) o *= p->desc->drawnOpacity(*p, now);
        if (p->activeTransition)
            o *= p->activeTransition->effect(p->transitionAmount.value(now, 0), p->removing).opacity;
    }
    return o;
}

// Like walk(), but into views that are leaving too.
template <class F>
void walkDrawn(Node& n, F&& f) {
    if (n.hiddenByMatch) return;
    f(n);
    for (auto& c : n.children) walkDrawn(*c, f);
}
}  // namespace

std::optional<double> HostingView::presentedOpacity(std::string_view name) {
    Node* n = findNamed(name);
    if (!n) return std::nullopt;
    return composedOpacity(*n, graph_->now());
}

std::vector<HostingView::PresentedView> HostingView::presentedViews(std::string_view name) {
    layoutIfNeeded();
    std::vector<PresentedView> out;
    const double now = graph_->now();
    if (Node* root = graph_->root())
        walkDrawn(*root, [&](Node& n) {
            if (const auto* nm = n.desc->nodeName(); nm && *nm == name)
                out.push_back({hostTransform(n, now).apply(Rect{Point{}, n.presentedFrame(now).size()}),
                               composedOpacity(n, now)});
        });
    return out;
}

std::optional<std::string> HostingView::nameAt(Point p) {
    for (Node* n = hitTest(p); n; n = n->parent)
        if (const auto* nm = n->desc->nodeName()) return *nm;
    return std::nullopt;
}

AccessibilityElement HostingView::accessibilityTree() {
    layoutIfNeeded();
    AccessibilityElement window;
    window.role = "window";
    window.frame = Rect{Point{}, size()};
    if (Node* root = graph_->root()) {
        detail::AccessibilityBuilder b(graph_->now());
        b.out = &window.children;
        b.visit(*root);
    }
    return window;
}

std::optional<std::string> HostingView::tooltip(Point p) {
    for (Node* n = hitTest(p); n; n = n->parent)
        if (const auto* h = n->desc->interaction(); h && h->help) return *h->help;
    return std::nullopt;
}

std::vector<std::pair<std::string, Rect>> HostingView::tooltips() {
    layoutIfNeeded();
    std::vector<std::pair<std::string, Rect>> out;
    const double now = graph_->now();
    if (Node* root = graph_->root())
        walk(*root, [&](Node& n) {
            if (const auto* h = n.desc->interaction(); h && h->help)
                out.emplace_back(*h->help, hostTransform(n, now).apply(Rect{Point{}, n.presentedFrame(now).size()}));
            return true;
        });
    return out;
}

}  // namespace quillmar::ui
