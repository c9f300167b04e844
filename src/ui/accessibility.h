#pragma once
// The accessibility tree of a hosted view: one element per button, toggle, slider, text or view
// made into an element, with its label, value, traits and default action. Tests read it and
// perform actions through it, as assistive technology would.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/accessibility_traits.h"
#include "ui/layout_types.h"

namespace quillmar::ui {

struct AccessibilityElement {
    std::string role;  // "window", "button", "toggle", "slider", "text", "image", "group"
    std::string label;
    std::string value;
    std::string identifier;
    std::string help;
    AccessibilityTraits traits;
    Rect frame;  // in the hosting view's coordinates
    bool isEnabled = true;
    std::function<void()> action;  // the default action, when there is one
    std::function<void()> increment, decrement;
    std::vector<AccessibilityElement> children;

    // Depth-first search by label (or by identifier).
    const AccessibilityElement* find(std::string_view label) const;
    const AccessibilityElement* findIdentifier(std::string_view identifier) const;
    std::vector<const AccessibilityElement*> findAll(const std::function<bool(const AccessibilityElement&)>& match) const;
    // Runs the default action; false when there is none or the element is disabled.
    bool performDefaultAction() const;
    // An indented outline of the tree, one element a line.
    std::string describe() const;
};

// Properties set by accessibility modifiers, waiting for the element they apply to.
struct AccessibilityProperties {
    std::optional<std::string> role;
    std::optional<std::string> label, value, identifier, help;
    AccessibilityTraits addTraits, removeTraits;
    std::function<void()> action;
    std::function<void()> increment, decrement;
    bool isEmpty() const {
        return !role && !label && !value && !identifier && !help && addTraits.bits == 0 && removeTraits.bits == 0 && !action &&
               !increment && !decrement;
    }
    // These properties with `outer` laid over them (the outer modifier wins).
    AccessibilityProperties overriddenBy(const AccessibilityProperties& outer) const;
    void applyTo(AccessibilityElement& e) const;
};

class View;
namespace detail {
// Properties for controls built from other views (role, adjust actions).
View withAccessibilityProperties(const View& view, AccessibilityProperties properties);
}  // namespace detail

// A view that stands in for others not built (the entries of a long row out of sight): assistive
// technology finds the elements `make` gives for the view's frame in the hosting view, made
// whenever the tree is read, in place of anything inside the view. The frame is where the layout
// puts the view in its container as that is drawn, also while the view's own frame still glides
// from an earlier layout: put the stand-in straight into the container (a stack's child).
View accessibilityStandIn(const View& view, std::function<std::vector<AccessibilityElement>(const Rect& frame)> make);

}  // namespace quillmar::ui
