// Modifiers that change the environment handed down to a subtree.

#include <cmath>

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

class EnvironmentDesc final : public ModifierDesc {
public:
    EnvironmentDesc(View c, std::function<void(Environment&)> f) : ModifierDesc(std::move(c)), change(std::move(f)) {}
    std::function<void(Environment&)> change;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        Environment e = node.env ? *node.env : Environment{};
        if (change) change(e);
        std::shared_ptr<const Environment> env;
        Node* child = node.firstActiveChild();
        if (child && child->env && *child->env == e)
            env = child->env;  // unchanged: keep the pointer so the subtree sees no change
        else
            env = std::make_shared<const Environment>(std::move(e));
        graph.reconcileSingle(node, content, env, node.transaction);
    }
};

View withEnvironment(const View& v, std::function<void(Environment&)> f) {
    return View(std::make_shared<EnvironmentDesc>(v, std::move(f)));
}

}  // namespace
}  // namespace detail

View View::environment(std::function<void(Environment&)> change) const {
    return detail::withEnvironment(*this, std::move(change));
}
View View::font(const gfx::Font& font) const {
    return detail::withEnvironment(*this, [font](Environment& e) { e.font = font; });
}
View View::fontWeight(gfx::FontWeight weight) const {
    return detail::withEnvironment(*this, [weight](Environment& e) { e.font.weight = weight; });
}
View View::monospacedDigit() const {
    return detail::withEnvironment(*this, [](Environment& e) { e.font.monospacedDigits = true; });
}
View View::foregroundStyle(const ShapeStyle& style) const {
    return detail::withEnvironment(*this, [style](Environment& e) { e.foregroundStyle = style; });
}
View View::tint(const Color& color) const {
    return detail::withEnvironment(*this, [color](Environment& e) { e.tint = color; });
}
View View::lineLimit(int lines) const {
    return detail::withEnvironment(*this, [lines](Environment& e) { e.lineLimit = std::max(0, lines); });
}
View View::minimumScaleFactor(double factor) const {
    return detail::withEnvironment(*this, [factor](Environment& e) {
        e.minimumScaleFactor = std::isfinite(factor) ? std::clamp(factor, 0.01, 1.0) : 1.0;
    });
}
View View::lineSpacing(double spacing) const {
    return detail::withEnvironment(*this, [spacing](Environment& e) {
        e.lineSpacing = std::isfinite(spacing) ? std::max(0.0, spacing) : 0.0;
    });
}
View View::multilineTextAlignment(gfx::TextAlignment alignment) const {
    return detail::withEnvironment(*this, [alignment](Environment& e) { e.multilineTextAlignment = alignment; });
}
View View::controlSize(ControlSize size) const {
    return detail::withEnvironment(*this, [size](Environment& e) { e.controlSize = size; });
}
View View::buttonStyle(ButtonStyle style) const {
    return detail::withEnvironment(*this, [style](Environment& e) { e.buttonStyle = style; });
}
View View::labelsHidden() const {
    return detail::withEnvironment(*this, [](Environment& e) { e.labelsHidden = true; });
}
View View::disabled(bool disabled) const {
    if (!disabled) return *this;
    return detail::withEnvironment(*this, [](Environment& e) { e.isEnabled = false; });
}
View View::colorScheme(ColorScheme scheme) const {
    return detail::withEnvironment(*this, [scheme](Environment& e) { e.colorScheme = scheme; });
}

}  // namespace quillmar::ui
