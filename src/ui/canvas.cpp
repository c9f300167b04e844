#include "ui/canvas.h"

#include <cmath>

#include "runtime/wall_clock.h"
#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

class CanvasDesc final : public ViewDesc {
public:
    int primitiveCount(const Node&) const override { return 2; }
    explicit CanvasDesc(CanvasRenderer r) : renderer(std::move(r)) {}
    CanvasRenderer renderer;

    Size sizeThatFits(Node&, ProposedSize p, LayoutContext&) const override {
        return p.replacingUnspecified(Size{10, 10});
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const Size s = rc.frameOf(node).size();
        if (!renderer || s.isEmpty()) return;
        gfx::GraphicsContext c = ctx;
        c.clipToRect(Rect{Point{}, s});
        renderer(c, s);
    }
    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        return Rect{Point{}, node.presentedFrame(hc.now).size()}.contains(p) ? &node : nullptr;
    }
};

struct TimelineState final : NodeState {
    double lastEvaluation = -1;
};

class TimelineDesc final : public PassThroughDesc {
public:
    TimelineDesc(double interval, std::function<View(const TimelineContext&)> c, bool p)
        : minimumInterval(std::isfinite(interval) ? std::max(0.0, interval) : 0), content(std::move(c)), paused(p) {}
    double minimumInterval;
    std::function<View(const TimelineContext&)> content;
    bool paused;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        auto& st = node.stateAs<TimelineState>();
        const double now = graph.now();
        st.lastEvaluation = now;
        TimelineContext tc{runtime::WallClock::shared().now(), now};
        graph.reconcileSingle(node, content ? content(tc) : View(), node.env, node.transaction);
    }
    void appeared(Node& node, ViewGraph& graph) const override { graph.addTimeline(node); }
    void disappeared(Node& node, ViewGraph& graph) const override { graph.removeTimeline(node); }
    void frameTick(Node& node, ViewGraph& graph, double now) const override {
        if (paused) return;
        auto& st = node.stateAs<TimelineState>();
        if (now - st.lastEvaluation >= minimumInterval - 1e-9) graph.invalidate(node);
    }
};

}  // namespace
}  // namespace detail

View Canvas(CanvasRenderer renderer) { return View(std::make_shared<detail::CanvasDesc>(std::move(renderer))); }

View TimelineView(double minimumInterval, std::function<View(const TimelineContext&)> content, bool paused) {
    return View(std::make_shared<detail::TimelineDesc>(minimumInterval, std::move(content), paused));
}

}  // namespace quillmar::ui
