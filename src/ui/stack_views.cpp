#include "ui/stack_views.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

constexpr double kDefaultSpacing = 8;
constexpr double kDefaultSpacerLength = 8;

// Children of a list-like description, flattened for a container.
void flattenChildren(const ViewList& children, std::vector<KeyedView>& out) {
    for (std::uint32_t i = 0; i < children.size(); ++i) children[i].desc()->flattenInto(out, i, children[i]);
}

class GroupDesc final : public ViewDesc {
public:
    explicit GroupDesc(ViewList c) : children(std::move(c)) {}
    ViewList children;

    void flattenInto(std::vector<KeyedView>& out, std::uint32_t slot, const View&) const override {
        for (std::uint32_t j = 0; j < children.size(); ++j)
            out.push_back(KeyedView{ChildKey{slot, {}, j + 1, children[j].desc()->kind()}, children[j]});
    }
    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        std::vector<KeyedView> specs;
        flattenChildren(children, specs);
        graph.reconcileChildren(node, specs, node.env, node.transaction);
    }
};

class ForEachDesc final : public ViewDesc {
public:
    explicit ForEachDesc(std::vector<std::pair<Id, View>> e) : elements(std::move(e)) {}
    std::vector<std::pair<Id, View>> elements;

    void flattenInto(std::vector<KeyedView>& out, std::uint32_t slot, const View&) const override {
        for (const auto& [id, view] : elements) {
            if (const auto* g = dynamic_cast<const GroupDesc*>(view.desc().get())) {
                for (std::uint32_t j = 0; j < g->children.size(); ++j)
                    out.push_back(KeyedView{ChildKey{slot, id, j + 1, g->children[j].desc()->kind()}, g->children[j]});
            } else {
                out.push_back(KeyedView{ChildKey{slot, id, 0, view.desc()->kind()}, view});
            }
        }
    }
    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        std::vector<KeyedView> specs;
        flattenInto(specs, 0, View());
        graph.reconcileChildren(node, specs, node.env, node.transaction);
    }
};

class ConditionalDesc final : public PassThroughDesc {
public:
    ConditionalDesc(std::uint32_t b, View v) : branch(b), view(std::move(v)) {}
    std::uint32_t branch;
    View view;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        graph.reconcileSingle(node, view, node.env, node.transaction, branch);
    }
};

class SpacerDesc final : public ViewDesc {
public:
    explicit SpacerDesc(std::optional<double> m) : minLength(m) {}
    std::optional<double> minLength;

    double minimum() const {
        return minLength && std::isfinite(*minLength) ? std::max(0.0, *minLength) : kDefaultSpacerLength;
    }
    Size sizeThatFits(Node&, ProposedSize p, LayoutContext& lc) const override {
        const double m = minimum();
        if (lc.stackAxis) {
            const Axis a = *lc.stackAxis;
            const double along = std::max(m, p.along(a).value_or(m));
            return makeSize(a, along, 0);
        }
        return {std::max(m, p.width.value_or(m)), std::max(m, p.height.value_or(m))};
    }
    std::optional<double> spacerMinLength(const Node&) const override { return minimum(); }
};

class StackDesc final : public ViewDesc {
public:
    StackDesc(Axis a, std::optional<double> s, HorizontalAlignment h, VerticalAlignment v, ViewList c)
        : axis(a), spacing(s), hAlign(h), vAlign(v), children(std::move(c)) {}

    Axis axis;
    std::optional<double> spacing;
    HorizontalAlignment hAlign;  // VStack: how children line up across
    VerticalAlignment vAlign;    // HStack
    ViewList children;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        std::vector<KeyedView> specs;
        flattenChildren(children, specs);
        graph.reconcileChildren(node, specs, node.env, node.transaction);
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        renderVisibleChildren(node, rc, ctx);
    }

    struct Item {
        Node* node;
        bool spacer;
        Size size;
    };

    std::vector<Item> items(const Node& node) const {
        std::vector<Item> out;
        node.forEachActiveChild([&](Node& c) {
            if (!c.desc->isEmptyView(c)) out.push_back(Item{&c, c.desc->spacerMinLength(c).has_value(), {}});
        });
        return out;
    }

    double gap(const Item& a, const Item& b) const {
        if (spacing) return std::isfinite(*spacing) ? *spacing : 0;
        return a.spacer || b.spacer ? 0 : kDefaultSpacing;
    }

    double totalSpacing(const std::vector<Item>& it) const {
        double s = 0;
        for (std::size_t i = 1; i < it.size(); ++i) s += gap(it[i - 1], it[i]);
        return s;
    }

    // Sizes every child for the proposal. Views share the space first: higher layout priority
    // first, and within a priority the least flexible first, each offered an equal share of what
    // is left (the spacers' minimum lengths held back). Spacers then share what remains.
    void sizeChildren(std::vector<Item>& it, ProposedSize p, LayoutContext& lc) const {
        const auto crossP = p.across(axis);
        const auto alongP = p.along(axis);
        if (!alongP) {
            for (auto& i : it) i.size = lc.sizeOf(*i.node, ProposedSize::make(axis, std::nullopt, crossP));
            return;
        }
        struct Info {
            std::size_t index;
            double minAlong, flexibility, priority;
        };
        std::vector<Info> views, spacers;
        for (std::size_t k = 0; k < it.size(); ++k) {
            Node& c = *it[k].node;
            const double lo = along(axis, lc.sizeOf(c, ProposedSize::make(axis, 0.0, crossP)));
            if (it[k].spacer) {
                spacers.push_back(Info{k, lo, 0, 0});
                continue;
            }
            const double hi = along(axis, lc.sizeOf(c, ProposedSize::make(axis, infinity, crossP)));
            views.push_back(Info{k, lo, hi - lo, c.desc->layoutPriority(c)});
        }
        double spacerMin = 0;
        for (const auto& s : spacers) spacerMin += s.minAlong;
        double remaining = *alongP - totalSpacing(it);
        auto serve = [&](std::vector<Info>& group, double lowerMin) {
            std::stable_sort(group.begin(), group.end(),
                             [](const Info& a, const Info& b) { return a.flexibility < b.flexibility; });
            double budget = remaining - lowerMin;
            std::size_t left = group.size();
            for (const auto& i : group) {
                const double offer = std::max(0.0, budget / static_cast<double>(left));
                Size s = lc.sizeOf(*it[i.index].node, ProposedSize::make(axis, offer, crossP));
                it[i.index].size = s;
                budget -= along(axis, s);
                remaining -= along(axis, s);
                --left;
            }
        };
        const bool onePriority = std::all_of(views.begin(), views.end(),
                                             [&](const Info& i) { return i.priority == views.front().priority; });
        if (onePriority) {
            serve(views, spacerMin);  // the usual case: one group, nothing held back for lower ones
        } else {
            std::map<double, std::vector<Info>, std::greater<>> groups;
            for (const auto& i : views) groups[i.priority].push_back(i);
            for (auto g = groups.begin(); g != groups.end(); ++g) {
                double lowerMin = spacerMin;
                for (auto h = std::next(g); h != groups.end(); ++h)
                    for (const auto& i : h->second) lowerMin += i.minAlong;
                serve(g->second, lowerMin);
            }
        }
        std::size_t left = spacers.size();
        for (const auto& s : spacers) {
            const double offer = std::max(0.0, remaining / static_cast<double>(left));
            Size sz = lc.sizeOf(*it[s.index].node, ProposedSize::make(axis, offer, crossP));
            it[s.index].size = sz;
            remaining -= along(axis, sz);
            --left;
        }
    }

    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        auto it = items(node);
        if (it.empty()) return {};
        const auto saved = lc.stackAxis;
        lc.stackAxis = axis;
        sizeChildren(it, p, lc);
        lc.stackAxis = saved;
        double main = totalSpacing(it), cross = 0;
        for (const auto& i : it) {
            main += along(axis, i.size);
            cross = std::max(cross, ui::across(axis, i.size));
        }
        return makeSize(axis, main, cross);
    }

    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        auto it = items(node);
        const auto saved = lc.stackAxis;
        lc.stackAxis = axis;
        sizeChildren(it, ProposedSize::exactly(size), lc);
        double pos = 0;
        std::size_t k = 0;
        node.forEachActiveChild([&](Node& c) {
            if (k < it.size() && it[k].node == &c) {
                const Size s = it[k].size;
                const double crossOffset =
                    axis == Axis::horizontal ? alignOffset(vAlign, size.height, s.height) : alignOffset(hAlign, size.width, s.width);
                const Rect r = axis == Axis::horizontal ? Rect{pos, crossOffset, s.width, s.height}
                                                        : Rect{crossOffset, pos, s.width, s.height};
                lc.place(c, r);
                pos += along(axis, s);
                if (k + 1 < it.size()) pos += gap(it[k], it[k + 1]);
                ++k;
            } else {
                lc.place(c, axis == Axis::horizontal ? Rect{pos, 0, 0, 0} : Rect{0, pos, 0, 0});
            }
        });
        lc.stackAxis = saved;
    }
};

class ZStackDesc final : public ViewDesc {
public:
    ZStackDesc(Alignment a, ViewList c) : alignment(a), children(std::move(c)) {}
    Alignment alignment;
    ViewList children;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        std::vector<KeyedView> specs;
        flattenChildren(children, specs);
        graph.reconcileChildren(node, specs, node.env, node.transaction);
    }
    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        const auto saved = lc.stackAxis;
        lc.stackAxis.reset();
        Size s{};
        node.forEachActiveChild([&](Node& c) {
            if (c.desc->isEmptyView(c)) return;
            const Size cs = lc.sizeOf(c, p);
            s.width = std::max(s.width, cs.width);
            s.height = std::max(s.height, cs.height);
        });
        lc.stackAxis = saved;
        return s;
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        const auto saved = lc.stackAxis;
        lc.stackAxis.reset();
        node.forEachActiveChild([&](Node& c) {
            const Size cs = lc.sizeOf(c, ProposedSize::exactly(size));
            lc.place(c, Rect{alignOffset(alignment, size, cs), cs});
        });
        lc.stackAxis = saved;
    }
};

}  // namespace

View makeForEach(std::vector<std::pair<Id, View>> elements) {
    return View(std::make_shared<ForEachDesc>(std::move(elements)));
}

}  // namespace detail

View HStack(ViewList children) { return HStack(VerticalAlignment::center, std::nullopt, std::move(children)); }
View HStack(std::optional<double> spacing, ViewList children) {
    return HStack(VerticalAlignment::center, spacing, std::move(children));
}
View HStack(VerticalAlignment alignment, std::optional<double> spacing, ViewList children) {
    return View(std::make_shared<detail::StackDesc>(Axis::horizontal, spacing, HorizontalAlignment::center, alignment,
                                                    std::move(children)));
}
View VStack(ViewList children) { return VStack(HorizontalAlignment::center, std::nullopt, std::move(children)); }
View VStack(std::optional<double> spacing, ViewList children) {
    return VStack(HorizontalAlignment::center, spacing, std::move(children));
}
View VStack(HorizontalAlignment alignment, std::optional<double> spacing, ViewList children) {
    return View(std::make_shared<detail::StackDesc>(Axis::vertical, spacing, alignment, VerticalAlignment::center,
                                                    std::move(children)));
}
View ZStack(ViewList children) { return ZStack(Alignment::center(), std::move(children)); }
View ZStack(Alignment alignment, ViewList children) {
    return View(std::make_shared<detail::ZStackDesc>(alignment, std::move(children)));
}

View Spacer(std::optional<double> minLength) { return View(std::make_shared<detail::SpacerDesc>(minLength)); }
View EmptyView() { return View(); }
View Group(ViewList children) { return View(std::make_shared<detail::GroupDesc>(std::move(children))); }

View when(bool condition, View view) { return condition ? std::move(view) : View(); }

View ifElse(bool condition, View then, View otherwise) {
    return View(std::make_shared<detail::ConditionalDesc>(condition ? 0u : 1u, condition ? std::move(then)
                                                                                         : std::move(otherwise)));
}

}  // namespace quillmar::ui
