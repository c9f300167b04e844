#include "ui/geometry_reader.h"

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {

Rect GeometryProxy::frame(const CoordinateSpace& space) const {
    switch (space.kind) {
        case CoordinateSpace::Kind::local: return Rect{Point{}, size_};
        case CoordinateSpace::Kind::global: return global_;
        case CoordinateSpace::Kind::named:
            for (const auto& [name, r] : named_)
                if (name == space.name) return r;
            return global_;
    }
    return global_;
}

namespace detail {
namespace {

struct ReaderState final : NodeState {
    std::optional<GeometryProxy> proxy;
};

class GeometryReaderDesc final : public ViewDesc {
public:
    explicit GeometryReaderDesc(std::function<View(const GeometryProxy&)> c) : content(std::move(c)) {}
    std::function<View(const GeometryProxy&)> content;

    static GeometryProxy proxyFor(const Node& node) {
        Rect global = node.layout;
        std::vector<std::pair<std::string, Rect>> named;
        Point acc{node.layout.x, node.layout.y};
        for (const Node* p = node.parent; p; p = p->parent) {
            if (const auto* name = p->desc->coordinateSpaceName())
                named.emplace_back(*name, Rect{acc, node.layout.size()});
            acc.x += p->layout.x;
            acc.y += p->layout.y;
        }
        global = Rect{acc, node.layout.size()};
        return GeometryProxy(node.layout.size(), global, std::move(named));
    }

    Size sizeThatFits(Node&, ProposedSize p, LayoutContext&) const override {
        return p.replacingUnspecified(Size{10, 10});
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        auto& st = node.stateAs<ReaderState>();
        if (lc.evaluates) {
            GeometryProxy proxy = proxyFor(node);
            ViewGraph& g = lc.graph;
            const bool visited = node.visitedIn == g.generation();
            if (visited || !st.proxy || !(*st.proxy == proxy) || node.children.empty()) {
                st.proxy = proxy;
                const Transaction txn = visited ? node.transaction : g.updateTransaction();
                g.reconcileSingle(node, content ? content(proxy) : View(), node.env, txn);
            }
        }
        const auto saved = lc.stackAxis;
        lc.stackAxis.reset();
        node.forEachActiveChild([&](Node& c) {
            const Size cs = lc.sizeOf(c, ProposedSize::exactly(size));
            lc.place(c, Rect{Point{}, cs});
        });
        lc.stackAxis = saved;
    }
};

}  // namespace
}  // namespace detail

View GeometryReader(std::function<View(const GeometryProxy&)> content) {
    return View(std::make_shared<detail::GeometryReaderDesc>(std::move(content)));
}

}  // namespace quillmar::ui
