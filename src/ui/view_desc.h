#pragma once
// Internal: the behaviour behind each kind of view. A ViewDesc is an immutable description; the
// per-instance state lives in its Node. Evaluation reconciles children, layout follows the
// propose/respond protocol (a parent proposes a size, the child answers with its size, the parent
// places it), drawing goes through gfx, and hit testing walks front to back.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "gfx/graphics_context.h"
#include "ui/node.h"
#include "ui/view.h"

namespace quillmar::ui {
class TextMeasurer;
struct AccessibilityElement;
}

namespace quillmar::ui::detail {

class ViewGraph;
class AccessibilityBuilder;

struct KeyedView {
    ChildKey key;
    View view;
};

struct MatchedGeometryInfo {
    std::uint64_t ns = 0;
    Id id;
    MatchedGeometryProperties properties = MatchedGeometryProperties::frame;
    UnitPoint anchor = UnitPoint::center();
    bool isSource = true;
    bool glidesFromRemovedContainer = true;
};

// What a view does with input; each interaction modifier fills one field.
struct InteractionHandlers {
    std::function<void()> tap;
    std::function<void(const DragValue&)> dragChanged;
    std::function<void(const DragValue&, bool inside)> dragEnded;
    std::function<void(bool)> hover;
    std::function<void(const HoverPhase&)> continuousHover;
    std::function<bool(const KeyEvent&)> keyPress;
    std::optional<std::string> help;
};

struct EvalInput {
    const ViewDesc* previous = nullptr;  // the description the node had before (null when new)
    bool environmentChanged = true;
};

class LayoutContext {
public:
    LayoutContext(ViewGraph& graph, std::uint64_t generation, bool evaluates,
                  std::unordered_map<const Node*, Rect>* overrides = nullptr)
        : graph(graph), generation(generation), evaluates(evaluates), overrides(overrides) {}

    ViewGraph& graph;
    std::uint64_t generation;  // size caches of another generation are stale
    bool evaluates;            // geometry readers may evaluate their content in this pass
    std::unordered_map<const Node*, Rect>* overrides;  // render-time re-layout writes here

    // The axis of the stack whose children are being sized (spacers stretch along it).
    std::optional<Axis> stackAxis;
    // Whether every node placed so far on the way down to the one being laid out kept its frame.
    bool ancestorsSteady = true;

    Size sizeOf(Node& child, ProposedSize proposal);
    // Records `frame` (parent coordinates) for the child and lays out its children.
    void place(Node& child, Rect frame);
    TextMeasurer& textMeasurer();
};

struct RenderContext {
    double now = 0;
    double scale = 1;
    const std::unordered_map<const Node*, Rect>* overrides = nullptr;
    // Frame of a node relative to its parent as drawn now.
    Rect frameOf(const Node& n) const;
    // The size the node was laid out at (not animated): text wraps at this width.
    Size layoutSizeOf(const Node& n) const;
    // What is being drawn is moved or scaled by a running animation (set by its ancestors).
    bool inMotion = false;
};

// Marks what is drawn while it lives as in motion when `moving` (or when it already was).
class MotionScope {
public:
    MotionScope(RenderContext& rc, bool moving) : rc_(rc), was_(rc.inMotion) { rc.inMotion = was_ || moving; }
    ~MotionScope() { rc_.inMotion = was_; }
    MotionScope(const MotionScope&) = delete;
    MotionScope& operator=(const MotionScope&) = delete;

private:
    RenderContext& rc_;
    bool was_;
};

struct HitTestContext {
    double now = 0;
    // The environment's enabled flag is read from the hit node's ancestors by the caller.
};

class ViewDesc {
public:
    virtual ~ViewDesc() = default;

    // Identity kind: two descriptions of the same kind at the same place are the same view.
    virtual std::type_index kind() const { return typeid(*this); }
    virtual std::string debugName() const;

    // Stacks flatten lists (ForEach, Group) into their own children; others add themselves.
    virtual void flattenInto(std::vector<KeyedView>& out, std::uint32_t slot, const View& self) const;

    // Evaluation: reconcile the node's children with this description.
    virtual void evaluate(Node& node, ViewGraph& graph, const EvalInput& input) const;
    // Numbers that animate when they change (opacity, colours, offsets...).
    virtual std::vector<double> animatableData(const Node& node) const;

    // Layout.
    virtual Size sizeThatFits(Node& node, ProposedSize proposal, LayoutContext& lc) const;
    // True when sizeThatFits hands every proposal on to the one active child unchanged and
    // answers with the child's size: the child's answers then serve for this node too.
    virtual bool forwardsSizing() const { return false; }
    virtual void placeChildren(Node& node, Size size, LayoutContext& lc) const;
    virtual bool isEmptyView(const Node& node) const;
    virtual std::optional<double> spacerMinLength(const Node& node) const;  // set for spacers
    virtual double layoutPriority(const Node& node) const;
    // Where children are drawn relative to the node's origin (scroll views move their content).
    virtual Point contentOffset(const Node& node, double now) const;
    // Whether state the description keeps in the node animates at `now` (a scroll position).
    virtual bool isAnimating(const Node& node, double now) const;

    // Drawing, in the node's own coordinates (origin at its top-left corner).
    virtual void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const;
    // How many separate primitives the subtree draws (counting stops at 2): a group effect over
    // one primitive needs no layer of its own.
    virtual int primitiveCount(const Node& node) const;
    // Where the subtree draws, in the node's own coordinates (for sizing layers).
    virtual Rect drawnBounds(const Node& node, double now) const;
    // Hit testing; `p` in the node's own coordinates. Returns the deepest node hit.
    virtual Node* hitTest(Node& node, Point p, HitTestContext& hc) const;
    // The drawing transform from the space children are laid out in to this node's own space
    // (scroll offsets, offset/scale/rotation effects); hit testing inverts it.
    virtual gfx::AffineTransform childTransform(const Node& node, double now) const;
    // The group opacity this description draws its children with at `now`.
    virtual double drawnOpacity(const Node& node, double now) const;
    // False for views that let hits and hover pass through (allowsHitTesting(false)).
    virtual bool allowsHitTesting() const { return true; }

    // Accessibility.
    virtual void accessibility(Node& node, AccessibilityBuilder& b) const;

    // Lifecycle: the node joined the tree (after the update that created it is laid out), or
    // left it (its subtree is being removed).
    virtual void appeared(Node& node, ViewGraph& graph) const;
    virtual void disappeared(Node& node, ViewGraph& graph) const;
    // Called on every frame of the graph's clock while the node is registered for it.
    virtual void frameTick(Node& node, ViewGraph& graph, double now) const;

    // Traits the update cycle looks for.
    virtual bool isPassThrough() const { return false; }  // one child, same place and size
    // The child a chain of modifiers continues into (pass-through child, or a decorated content).
    virtual Node* primaryChild(const Node& node) const;
    virtual const InteractionHandlers* interaction() const { return nullptr; }
    virtual const MatchedGeometryInfo* matchedGeometry() const { return nullptr; }
    virtual const Transition* transition() const { return nullptr; }
    virtual const std::string* nodeName() const { return nullptr; }
    virtual const std::string* coordinateSpaceName() const { return nullptr; }
    virtual const Id* explicitId() const { return nullptr; }
};

// A description with exactly one child that takes its place and size (modifiers, components).
class PassThroughDesc : public ViewDesc {
public:
    bool isPassThrough() const override { return true; }
    Size sizeThatFits(Node& node, ProposedSize proposal, LayoutContext& lc) const override;
    // A subclass that sizes its child otherwise (a frame, padding) overrides this with false.
    bool forwardsSizing() const override { return true; }
    void placeChildren(Node& node, Size size, LayoutContext& lc) const override;
    bool isEmptyView(const Node& node) const override;
    std::optional<double> spacerMinLength(const Node& node) const override;
    double layoutPriority(const Node& node) const override;
    void accessibility(Node& node, AccessibilityBuilder& b) const override;
};

// A modifier: a pass-through description around one content view.
class ModifierDesc : public PassThroughDesc {
public:
    explicit ModifierDesc(View content) : content(std::move(content)) {}
    View content;

    void evaluate(Node& node, ViewGraph& graph, const EvalInput& input) const override;
};

// Follows the chain of pass-through nodes from `node` (itself included) and returns the first
// node whose description satisfies `pred`.
template <class Pred>
Node* findInPassThroughChain(Node& node, Pred pred) {
    for (Node* n = &node; n && n->desc; n = n->desc->primaryChild(*n))
        if (pred(*n)) return n;
    return nullptr;
}


// The shared description of an empty view.
std::shared_ptr<const ViewDesc> emptyDesc();

// Draws `node` and its subtree into `parent` (parent's coordinates).
void renderNode(Node& node, RenderContext& rc, gfx::GraphicsContext& parent);
// Draws the children of a container in order, leaving out those that lie wholly outside the
// context's clip (the rows of a list scrolled out of sight, the boxes of a strip beyond its edge).
// A child in a transition is always drawn; a margin covers shadows and blurs.
void renderVisibleChildren(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx);
// What `node`'s subtree draws, in its own coordinates, kept in the node while nothing it was
// found from can change (found again, reusing what its children keep, when something did).
Rect keptDrawnBounds(Node& node, double now);
// Draws `draw` as a group with the context's opacity and filters: a layer sized to the subtree
// of `node` (in `ctx`'s coordinates), or directly when the subtree is one primitive and no
// filter needs the group. While an animation moves or scales what is drawn, a shadow may be kept
// from the frame before (gfx::LayerStyle).
void drawGroup(const Node& node, RenderContext& rc, gfx::GraphicsContext& ctx,
               const std::function<void(gfx::GraphicsContext&)>& draw);
// Hit-tests `node` with `p` in its parent's coordinates.
Node* hitTestNode(Node& node, Point p, HitTestContext& hc);

}  // namespace quillmar::ui::detail
