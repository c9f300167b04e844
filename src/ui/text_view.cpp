#include "ui/text_view.h"

#include <cmath>

#include "ui/accessibility_builder.h"
#include "ui/text_measurer.h"
#include "ui/view_desc.h"

namespace quillmar::ui {
namespace detail {
namespace {

TextStyle styleFor(const Environment& env) {
    TextStyle s;
    s.font = env.font;
    s.lineLimit = env.lineLimit;
    s.minimumScaleFactor = env.minimumScaleFactor;
    s.lineSpacing = env.lineSpacing;
    s.alignment = env.multilineTextAlignment;
    return s;
}

// The laid-out text kept between frames.
struct TextCache final : NodeState {
    std::string text;
    TextStyle style;
    double width = -1;
    std::optional<gfx::TextLayout> layout;
};

class TextDesc final : public ViewDesc {
public:
    int primitiveCount(const Node&) const override { return 1; }
    explicit TextDesc(std::string t) : text(std::move(t)) {}
    std::string text;

    std::vector<double> animatableData(const Node& node) const override {
        return colorsToData(node.env->foreground().resolvedColors(*node.env));
    }
    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext& lc) const override {
        std::optional<double> maxWidth;
        if (p.width && std::isfinite(*p.width)) maxWidth = *p.width;
        return lc.textMeasurer().measure(text, styleFor(*node.env), maxWidth);
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        // The text keeps the lines of its layout while its frame animates.
        const Size f = rc.layoutSizeOf(node);
        if (text.empty() || f.width <= 0) return;
        auto& cache = node.stateAs<TextCache>();
        const TextStyle style = styleFor(*node.env);
        // A hair wider than measured, so the same text lays out the same way again.
        const double width = f.width + 0.01;
        if (!cache.layout || cache.text != text || !(cache.style == style) || std::fabs(cache.width - width) > 1e-6) {
            cache.layout.emplace(text, style.font, style.options(width));
            cache.text = text;
            cache.style = style;
            cache.width = width;
        }
        const auto data = node.data.value(rc.now);
        const auto colors = dataToColors(data.data(), data.size());
        const Rect bounds{Point{}, f};
        const auto shading = node.env->foreground().shading(bounds, colors);
        ctx.draw(*cache.layout, Point{0, 0}, shading);
    }
    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        return Rect{Point{}, node.presentedFrame(hc.now).size()}.contains(p) ? &node : nullptr;
    }
    void accessibility(Node& node, AccessibilityBuilder& b) const override {
        AccessibilityElement e;
        e.role = "text";
        e.label = text;
        e.traits = AccessibilityTraits::isStaticText();
        b.add(std::move(e), node);
    }
};

}  // namespace
}  // namespace detail

View Text(std::string text) { return View(std::make_shared<detail::TextDesc>(std::move(text))); }

}  // namespace quillmar::ui
