#pragma once
// Internal: builds the accessibility tree from the node tree. Property modifiers pass their
// properties down to the first element formed beneath them; a container that receives properties
// without forming an element becomes a group element holding what is inside.

#include <vector>

#include "ui/accessibility.h"
#include "ui/node.h"

namespace quillmar::ui::detail {

class AccessibilityBuilder {
public:
    explicit AccessibilityBuilder(double now) : now(now) {}

    double now;
    std::vector<AccessibilityElement>* out = nullptr;
    AccessibilityProperties pending;

    // Visits one node with the current pending properties.
    void visit(Node& node);
    // Visits the node's active children; pending properties are consumed by a group around them.
    void visitChildren(Node& node);
    // Adds a finished element made by `node`, applying (and clearing) the pending properties.
    void add(AccessibilityElement element, const Node& node);
    // Collects the elements inside `node` with no pending properties.
    std::vector<AccessibilityElement> collectInside(Node& node);
    // The host-coordinate frame of a node.
    Rect frameOf(const Node& node) const;
    // Whether the node is drawn in a disabled environment.
    static bool isEnabled(const Node& node);
};

}  // namespace quillmar::ui::detail
