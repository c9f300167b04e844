#include "ui/accessibility.h"

#include <sstream>

#include "ui/accessibility_builder.h"
#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {

// ---------------------------------------------------------------- elements

const AccessibilityElement* AccessibilityElement::find(std::string_view l) const {
    if (label == l) return this;
    for (const auto& c : children)
        if (auto f = c.find(l)) return f;
    return nullptr;
}

const AccessibilityElement* AccessibilityElement::findIdentifier(std::string_view id) const {
    if (identifier == id) return this;
    for (const auto& c : children)
        if (auto f = c.findIdentifier(id)) return f;
    return nullptr;
}

std::vector<const AccessibilityElement*> AccessibilityElement::findAll(
    const std::function<bool(const AccessibilityElement&)>& match) const {
    std::vector<const AccessibilityElement*> out;
    std::function<void(const AccessibilityElement&)> walk = [&](const AccessibilityElement& e) {
        if (match(e)) out.push_back(&e);
        for (const auto& c : e.children) walk(c);
    };
    walk(*this);
    return out;
}

bool AccessibilityElement::performDefaultAction() const {
    if (!action || !isEnabled) return false;
    auto fn = action;
    fn();
    return true;
}

std::string AccessibilityElement::describe() const {
    std::ostringstream out;
    std::function<void(const AccessibilityElement&, int)> walk = [&](const AccessibilityElement& e, int depth) {
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << e.role;
        if (!e.label.empty()) out << " \"" << e.label << "\"";
        if (!e.value.empty()) out << " value=\"" << e.value << "\"";
        if (e.traits.contains(AccessibilityTraits::isButton())) out << " [button]";
        if (e.traits.contains(AccessibilityTraits::isSelected())) out << " [selected]";
        if (e.traits.contains(AccessibilityTraits::isHeader())) out << " [header]";
        if (!e.isEnabled) out << " [disabled]";
        if (e.action) out << " (action)";
        out << "\n";
        for (const auto& c : e.children) walk(c, depth + 1);
    };
    walk(*this, 0);
    return out.str();
}

AccessibilityProperties AccessibilityProperties::overriddenBy(const AccessibilityProperties& outer) const {
    AccessibilityProperties p = *this;
    if (outer.role) p.role = outer.role;
    if (outer.label) p.label = outer.label;
    if (outer.value) p.value = outer.value;
    if (outer.identifier) p.identifier = outer.identifier;
    if (outer.help) p.help = outer.help;
    p.addTraits = p.addTraits.removing(outer.removeTraits) | outer.addTraits;
    p.removeTraits = p.removeTraits.removing(outer.addTraits) | outer.removeTraits;
    if (outer.action) p.action = outer.action;
    if (outer.increment) p.increment = outer.increment;
    if (outer.decrement) p.decrement = outer.decrement;
    return p;
}

void AccessibilityProperties::applyTo(AccessibilityElement& e) const {
    if (role) e.role = *role;
    if (label) e.label = *label;
    if (value) e.value = *value;
    if (identifier) e.identifier = *identifier;
    if (help) e.help = *help;
    e.traits = (e.traits | addTraits).removing(removeTraits);
    if (action) e.action = action;
    if (increment) e.increment = increment;
    if (decrement) e.decrement = decrement;
}

// ---------------------------------------------------------------- builder

namespace detail {

Rect AccessibilityBuilder::frameOf(const Node& node) const { return node.presentedFrameInHost(now); }

bool AccessibilityBuilder::isEnabled(const Node& node) { return !node.env || node.env->isEnabled; }

void AccessibilityBuilder::visit(Node& node) {
    if (node.removing || node.hiddenByMatch) return;
    node.desc->accessibility(node, *this);
}

std::vector<AccessibilityElement> AccessibilityBuilder::collectInside(Node& node) {
    std::vector<AccessibilityElement> inside;
    auto* savedOut = out;
    auto savedPending = pending;
    out = &inside;
    pending = {};
    for (auto& c : node.children) visit(*c);
    out = savedOut;
    pending = savedPending;
    return inside;
}

void AccessibilityBuilder::visitChildren(Node& node) {
    if (pending.isEmpty()) {
        for (auto& c : node.children) visit(*c);
        return;
    }
    AccessibilityElement group;
    group.role = "group";
    group.frame = frameOf(node);
    group.isEnabled = isEnabled(node);
    group.children = collectInside(node);
    add(std::move(group), node);
}

void AccessibilityBuilder::add(AccessibilityElement element, const Node& node) {
    if (element.frame.isEmpty() && element.frame.x == 0 && element.frame.y == 0) element.frame = frameOf(node);
    pending.applyTo(element);
    pending = {};
    if (!isEnabled(node)) element.isEnabled = false;
    if (out) out->push_back(std::move(element));
}

namespace {

class AccessibilityPropertiesDesc final : public ModifierDesc {
public:
    AccessibilityPropertiesDesc(View c, AccessibilityProperties p) : ModifierDesc(std::move(c)), props(std::move(p)) {}
    AccessibilityProperties props;
    void accessibility(Node& node, AccessibilityBuilder& b) const override {
        b.pending = props.overriddenBy(b.pending);
        if (Node* c = node.firstActiveChild()) {
            b.visit(*c);
        }
        if (!b.pending.isEmpty()) {
            // Nothing inside made an element: the properties describe this view itself.
            AccessibilityElement e;
            e.role = "group";
            b.add(std::move(e), node);
        }
    }
};

// Hides its content from assistive technology while `hidden`; otherwise it only holds the place,
// so that switching it on and off keeps the content's identity (nothing is rebuilt or faded).
class AccessibilityHiddenDesc final : public ModifierDesc {
public:
    AccessibilityHiddenDesc(View c, bool h) : ModifierDesc(std::move(c)), hidden(h) {}
    bool hidden;
    void accessibility(Node& node, AccessibilityBuilder& b) const override {
        if (!hidden) return ModifierDesc::accessibility(node, b);
        b.pending = {};
    }
};

// Where the layout puts a stand-in now, in its parent as the parent is drawn now, and moved as
// far as its nearest sibling (the one before it, else the one after) is drawn away from where the
// layout puts that: the parent's glides and scrolling move the entries, and so does the glide of
// the entries beside it (closing up after one left). The stand-in's own glide does not, for it
// only follows the stand-in's share of the parent from one layout to the next, as built entries
// take over part of it or give it back.
Rect standInFrameInHost(const Node& node, double now) {
    Rect r = node.layout;
    const Node* p = node.parent;
    if (!p) return r;
    const Rect pf = p->presentedFrameInHost(now);
    const Point off = p->desc ? p->desc->contentOffset(*p, now) : Point{};
    r.x += pf.x + off.x;
    r.y += pf.y + off.y;
    const auto& siblings = p->children;
    const auto at = std::find_if(siblings.begin(), siblings.end(), [&node](const auto& c) { return c.get() == &node; });
    const auto settled = [](const auto& c) { return !c->removing; };
    const Node* beside = nullptr;
    if (auto before = std::find_if(std::make_reverse_iterator(at), siblings.rend(), settled); before != siblings.rend())
        beside = before->get();
    else if (at != siblings.end())
        if (auto after = std::find_if(std::next(at), siblings.end(), settled); after != siblings.end()) beside = after->get();
    if (beside) {
        const Rect drawn = beside->presentedFrame(now);
        r.x += drawn.x - beside->layout.x;
        r.y += drawn.y - beside->layout.y;
    }
    return r;
}

class AccessibilityStandInDesc final : public ModifierDesc {
public:
    AccessibilityStandInDesc(View c, std::function<std::vector<AccessibilityElement>(const Rect&)> m)
        : ModifierDesc(std::move(c)), make(std::move(m)) {}
    std::function<std::vector<AccessibilityElement>(const Rect&)> make;
    void accessibility(Node& node, AccessibilityBuilder& b) const override {
        if (!make) return;
        for (auto& e : make(standInFrameInHost(node, b.now))) {
            if (!AccessibilityBuilder::isEnabled(node)) e.isEnabled = false;
            if (b.out) b.out->push_back(std::move(e));
        }
    }
};

class AccessibilityElementDesc final : public ModifierDesc {
public:
    AccessibilityElementDesc(View c, AccessibilityChildBehavior b) : ModifierDesc(std::move(c)), behavior(b) {}
    AccessibilityChildBehavior behavior;
    void accessibility(Node& node, AccessibilityBuilder& b) const override {
        AccessibilityElement e;
        e.role = "group";
        auto inside = b.collectInside(node);
        switch (behavior) {
            case AccessibilityChildBehavior::ignore: break;
            case AccessibilityChildBehavior::contain: e.children = std::move(inside); break;
            case AccessibilityChildBehavior::combine: {
                std::function<void(const AccessibilityElement&)> merge = [&](const AccessibilityElement& c) {
                    if (!c.label.empty()) e.label += (e.label.empty() ? "" : ", ") + c.label;
                    e.traits = e.traits | c.traits;
                    if (!e.action && c.action) e.action = c.action;
                    for (const auto& g : c.children) merge(g);
                };
                for (const auto& c : inside) merge(c);
                if (e.traits.contains(AccessibilityTraits::isButton())) e.role = "button";
                break;
            }
        }
        b.add(std::move(e), node);
    }
};

}  // namespace
}  // namespace detail

namespace detail {
View withAccessibilityProperties(const View& v, AccessibilityProperties p) {
    return View(std::make_shared<AccessibilityPropertiesDesc>(v, std::move(p)));
}
}  // namespace detail

namespace {
View withProperties(const View& v, AccessibilityProperties p) {
    return detail::withAccessibilityProperties(v, std::move(p));
}
}  // namespace

View accessibilityStandIn(const View& view, std::function<std::vector<AccessibilityElement>(const Rect& frame)> make) {
    return View(std::make_shared<detail::AccessibilityStandInDesc>(view, std::move(make)));
}

View View::accessibilityElement(AccessibilityChildBehavior children) const {
    return View(std::make_shared<detail::AccessibilityElementDesc>(*this, children));
}
View View::accessibilityLabel(std::string label) const {
    AccessibilityProperties p;
    p.label = std::move(label);
    return withProperties(*this, std::move(p));
}
View View::accessibilityValue(std::string value) const {
    AccessibilityProperties p;
    p.value = std::move(value);
    return withProperties(*this, std::move(p));
}
View View::accessibilityIdentifier(std::string identifier) const {
    AccessibilityProperties p;
    p.identifier = std::move(identifier);
    return withProperties(*this, std::move(p));
}
View View::accessibilityAddTraits(AccessibilityTraits traits) const {
    AccessibilityProperties p;
    p.addTraits = traits;
    return withProperties(*this, std::move(p));
}
View View::accessibilityRemoveTraits(AccessibilityTraits traits) const {
    AccessibilityProperties p;
    p.removeTraits = traits;
    return withProperties(*this, std::move(p));
}
View View::accessibilityAction(std::function<void()> action) const {
    AccessibilityProperties p;
    p.action = std::move(action);
    return withProperties(*this, std::move(p));
}
View View::accessibilityHidden(bool hidden) const {
    return View(std::make_shared<detail::AccessibilityHiddenDesc>(*this, hidden));
}

}  // namespace quillmar::ui
