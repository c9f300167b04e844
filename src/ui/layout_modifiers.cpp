// Modifiers that change layout: padding, fixed and flexible frames, fixed size, layout priority,
// overlays and backgrounds.

#include <algorithm>
#include <cmath>

#include "ui/accessibility_builder.h"
#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

std::optional<double> finiteOrNone(std::optional<double> v) {
    if (!v || std::isnan(*v)) return std::nullopt;
    return std::max(0.0, *v);
}

std::optional<double> shrink(std::optional<double> v, double by) {
    if (!v) return v;
    return std::max(0.0, *v - by);
}

class PaddingDesc final : public ModifierDesc {
public:
    bool forwardsSizing() const override { return false; }
    PaddingDesc(View c, EdgeInsets e) : ModifierDesc(std::move(c)), insets(e) {}
    EdgeInsets insets;

    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        if (!c) return {};
        const double h = insets.leading + insets.trailing, v = insets.top + insets.bottom;
        const Size s = lc.sizeOf(*c, ProposedSize{shrink(p.width, h), shrink(p.height, v)});
        return {s.width + h, s.height + v};
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        if (Node* c = node.firstActiveChild())
            lc.place(*c, Rect{insets.leading, insets.top, std::max(0.0, size.width - insets.leading - insets.trailing),
                              std::max(0.0, size.height - insets.top - insets.bottom)});
    }
};

class FrameDesc final : public ModifierDesc {
public:
    bool forwardsSizing() const override { return false; }
    FrameDesc(View c, std::optional<double> w, std::optional<double> h, Alignment a)
        : ModifierDesc(std::move(c)), width(finiteOrNone(w)), height(finiteOrNone(h)), alignment(a) {}
    std::optional<double> width, height;
    Alignment alignment;

    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        const Size cs = c ? lc.sizeOf(*c, ProposedSize{width ? width : p.width, height ? height : p.height}) : Size{};
        return {width.value_or(cs.width), height.value_or(cs.height)};
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        if (!c) return;
        const Size cs = lc.sizeOf(*c, ProposedSize{width ? width : std::optional<double>(size.width),
                                                   height ? height : std::optional<double>(size.height)});
        // Content larger than the frame keeps its size and overflows it, placed by the alignment.
        lc.place(*c, Rect{alignOffset(alignment, size, cs), cs});
    }
};

// The proposal clamped into [lo, hi] (unset bounds ignored).
std::optional<double> clampProposal(std::optional<double> v, std::optional<double> lo, std::optional<double> hi) {
    if (!v) return v;
    double x = *v;
    if (hi) x = std::min(x, *hi);
    if (lo) x = std::max(x, *lo);
    return x;
}

// The frame's dimension: the proposal (or the content's size) clamped to the bounds, where an
// unset bound is the content's size; the lower bound wins a conflict.
double flexibleDimension(std::optional<double> proposal, double content, std::optional<double> lo,
                         std::optional<double> hi) {
    double x = proposal.value_or(content);
    x = std::min(x, hi.value_or(content));
    x = std::max(x, lo.value_or(content));
    return x;
}

class FlexibleFrameDesc final : public ModifierDesc {
public:
    bool forwardsSizing() const override { return false; }
    FlexibleFrameDesc(View c, const FlexibleFrame& f) : ModifierDesc(std::move(c)), f(sanitize(f)) {}
    FlexibleFrame f;

    static FlexibleFrame sanitize(FlexibleFrame f) {
        for (auto* v : {&f.minWidth, &f.idealWidth, &f.maxWidth, &f.minHeight, &f.idealHeight, &f.maxHeight})
            *v = finiteOrNone(*v);
        if (f.minWidth && f.maxWidth && *f.maxWidth < *f.minWidth) f.maxWidth = f.minWidth;
        if (f.minHeight && f.maxHeight && *f.maxHeight < *f.minHeight) f.maxHeight = f.minHeight;
        return f;
    }

    ProposedSize childProposal(ProposedSize p) const {
        if (!p.width && f.idealWidth) p.width = f.idealWidth;
        if (!p.height && f.idealHeight) p.height = f.idealHeight;
        return {clampProposal(p.width, f.minWidth, f.maxWidth), clampProposal(p.height, f.minHeight, f.maxHeight)};
    }

    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        if (!p.width && f.idealWidth) p.width = f.idealWidth;
        if (!p.height && f.idealHeight) p.height = f.idealHeight;
        const Size cs = c ? lc.sizeOf(*c, childProposal(p)) : Size{};
        return {flexibleDimension(p.width, cs.width, f.minWidth, f.maxWidth),
                flexibleDimension(p.height, cs.height, f.minHeight, f.maxHeight)};
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        if (!c) return;
        const Size cs = lc.sizeOf(*c, childProposal(ProposedSize::exactly(size)));
        lc.place(*c, Rect{alignOffset(f.alignment, size, cs), cs});
    }
};

class FixedSizeDesc final : public ModifierDesc {
public:
    bool forwardsSizing() const override { return false; }
    FixedSizeDesc(View c, bool h, bool v) : ModifierDesc(std::move(c)), horizontal(h), vertical(v) {}
    bool horizontal, vertical;

    ProposedSize adjust(ProposedSize p) const {
        if (horizontal) p.width.reset();
        if (vertical) p.height.reset();
        return p;
    }
    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        return c ? lc.sizeOf(*c, adjust(p)) : Size{};
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        Node* c = node.firstActiveChild();
        if (!c) return;
        const Size cs = lc.sizeOf(*c, adjust(ProposedSize::exactly(size)));
        lc.place(*c, Rect{alignOffset(Alignment::center(), size, cs), cs});
    }
};

class LayoutPriorityDesc final : public ModifierDesc {
public:
    LayoutPriorityDesc(View c, double p) : ModifierDesc(std::move(c)), priority(std::isfinite(p) ? p : 0) {}
    double priority;
    double layoutPriority(const Node&) const override { return priority; }
};

// Content (slot 0) with a secondary view (slot 1) behind or in front of it, sized to the content.
class DecorationDesc final : public ViewDesc {
public:
    DecorationDesc(View c, View s, Alignment a, bool behind)
        : content(std::move(c)), secondary(std::move(s)), alignment(a), behind(behind) {}
    View content, secondary;
    Alignment alignment;
    bool behind;

    Node* contentNode(const Node& node) const {
        for (const auto& c : node.children)
            if (!c->removing && c->key.slot == 0) return c.get();
        return nullptr;
    }
    Node* secondaryNode(const Node& node) const {
        for (const auto& c : node.children)
            if (!c->removing && c->key.slot == 1) return c.get();
        return nullptr;
    }

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        std::vector<KeyedView> specs;
        KeyedView main{ChildKey{0, {}, 0, content.desc()->kind()}, content};
        KeyedView extra{ChildKey{1, {}, 0, secondary.desc()->kind()}, secondary};
        if (behind) {
            specs.push_back(std::move(extra));
            specs.push_back(std::move(main));
        } else {
            specs.push_back(std::move(main));
            specs.push_back(std::move(extra));
        }
        graph.reconcileChildren(node, specs, node.env, node.transaction);
    }
    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        Node* c = contentNode(node);
        return c ? lc.sizeOf(*c, p) : Size{};
    }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override {
        if (Node* c = contentNode(node)) lc.place(*c, Rect{Point{}, size});
        if (Node* s = secondaryNode(node)) {
            const auto saved = lc.stackAxis;
            lc.stackAxis.reset();
            const Size ss = lc.sizeOf(*s, ProposedSize::exactly(size));
            lc.place(*s, Rect{alignOffset(alignment, size, ss), ss});
            lc.stackAxis = saved;
        }
    }
    bool isEmptyView(const Node& node) const override {
        Node* c = contentNode(node);
        return !c || c->desc->isEmptyView(*c);
    }
    std::optional<double> spacerMinLength(const Node& node) const override {
        Node* c = contentNode(node);
        return c ? c->desc->spacerMinLength(*c) : std::nullopt;
    }
    double layoutPriority(const Node& node) const override {
        Node* c = contentNode(node);
        return c ? c->desc->layoutPriority(*c) : 0;
    }
    Node* primaryChild(const Node& node) const override { return contentNode(node); }
    void accessibility(Node& node, AccessibilityBuilder& b) const override {
        // Properties from above describe the content.
        if (Node* c = contentNode(node)) b.visit(*c);
        auto pending = std::move(b.pending);
        b.pending = {};
        if (Node* s = secondaryNode(node)) b.visit(*s);
        b.pending = std::move(pending);
        if (!b.pending.isEmpty()) {
            AccessibilityElement e;
            e.role = "group";
            b.add(std::move(e), node);
        }
    }
};

}  // namespace
}  // namespace detail

View View::padding(double amount) const { return padding(Edges::all(), amount); }

View View::padding(Edges edges, double amount) const {
    const double a = std::isfinite(amount) ? amount : 0;
    EdgeInsets e;
    if (edges.contains(Edges::top())) e.top = a;
    if (edges.contains(Edges::leading())) e.leading = a;
    if (edges.contains(Edges::bottom())) e.bottom = a;
    if (edges.contains(Edges::trailing())) e.trailing = a;
    return padding(e);
}

View View::padding(EdgeInsets insets) const {
    for (double* v : {&insets.top, &insets.leading, &insets.bottom, &insets.trailing})
        if (!std::isfinite(*v)) *v = 0;
    return View(std::make_shared<detail::PaddingDesc>(*this, insets));
}

View View::frame(std::optional<double> width, std::optional<double> height, Alignment alignment) const {
    return View(std::make_shared<detail::FrameDesc>(*this, width, height, alignment));
}

View View::frame(const FlexibleFrame& f) const { return View(std::make_shared<detail::FlexibleFrameDesc>(*this, f)); }

View View::fixedSize(bool horizontal, bool vertical) const {
    return View(std::make_shared<detail::FixedSizeDesc>(*this, horizontal, vertical));
}

View View::layoutPriority(double priority) const {
    return View(std::make_shared<detail::LayoutPriorityDesc>(*this, priority));
}

View View::overlay(View content, Alignment alignment) const {
    return View(std::make_shared<detail::DecorationDesc>(*this, std::move(content), alignment, false));
}

View View::background(View content, Alignment alignment) const {
    return View(std::make_shared<detail::DecorationDesc>(*this, std::move(content), alignment, true));
}

}  // namespace quillmar::ui
