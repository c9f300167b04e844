// Modifiers that take part in input: hit-test shapes and switches, gestures, hover, keys and
// tooltips. The hosting view finds the handlers by walking up from the view that was hit.

#include "ui/shape.h"
#include "ui/view_desc.h"

namespace quillmar::ui {
namespace detail {
namespace {

class ContentShapeDesc final : public ModifierDesc {
public:
    ContentShapeDesc(View c, Shape s) : ModifierDesc(std::move(c)), shape(std::move(s)) {}
    Shape shape;
    // The shape is where this view takes hits: outside it nothing inside is hit, inside it the
    // view itself is hit where nothing inside is.
    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        if (!shape.path(Rect{Point{}, node.presentedFrame(hc.now).size()}).contains(p)) return nullptr;
        if (Node* inner = ModifierDesc::hitTest(node, p, hc)) return inner;
        return &node;
    }
};

class HitTestingOffDesc final : public ModifierDesc {
public:
    using ModifierDesc::ModifierDesc;
    Node* hitTest(Node&, Point, HitTestContext&) const override { return nullptr; }
    bool allowsHitTesting() const override { return false; }
};

class InteractionDesc final : public ModifierDesc {
public:
    InteractionDesc(View c, InteractionHandlers h) : ModifierDesc(std::move(c)), handlers(std::move(h)) {}
    InteractionHandlers handlers;
    const InteractionHandlers* interaction() const override { return &handlers; }
};

View withHandlers(const View& v, InteractionHandlers h) {
    return View(std::make_shared<InteractionDesc>(v, std::move(h)));
}

}  // namespace
}  // namespace detail

View View::contentShape(const Shape& shape) const {
    return View(std::make_shared<detail::ContentShapeDesc>(*this, shape));
}

View View::allowsHitTesting(bool enabled) const {
    if (enabled) return *this;
    return View(std::make_shared<detail::HitTestingOffDesc>(*this));
}

View View::onTapGesture(std::function<void()> action) const {
    detail::InteractionHandlers h;
    h.tap = std::move(action);
    return detail::withHandlers(*this, std::move(h));
}

View View::onHover(std::function<void(bool)> action) const {
    detail::InteractionHandlers h;
    h.hover = std::move(action);
    return detail::withHandlers(*this, std::move(h));
}

View View::onContinuousHover(std::function<void(const HoverPhase&)> action) const {
    detail::InteractionHandlers h;
    h.continuousHover = std::move(action);
    return detail::withHandlers(*this, std::move(h));
}

View View::onDragGesture(std::function<void(const DragValue&)> changed,
                         std::function<void(const DragValue&, bool)> ended) const {
    detail::InteractionHandlers h;
    h.dragChanged = std::move(changed);
    h.dragEnded = std::move(ended);
    return detail::withHandlers(*this, std::move(h));
}

View View::onKeyPress(std::function<bool(const KeyEvent&)> action) const {
    detail::InteractionHandlers h;
    h.keyPress = std::move(action);
    return detail::withHandlers(*this, std::move(h));
}

View View::help(std::string text) const {
    detail::InteractionHandlers h;
    h.help = std::move(text);
    return detail::withHandlers(*this, std::move(h));
}

}  // namespace quillmar::ui
