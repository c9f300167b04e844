#pragma once
// Internal: the persistent node of an evaluated view. Nodes are matched to new descriptions by
// key (position, explicit id, kind), so their state, animations and subscriptions survive
// re-evaluation.

#include <cstdint>
#include <memory>
#include <optional>
#include <typeindex>
#include <utility>
#include <vector>

#include "ui/animated_vector.h"
#include "ui/environment.h"
#include "ui/id.h"
#include "ui/layout_types.h"
#include "ui/transaction.h"

namespace quillmar::ui {
class Transition;
}

namespace quillmar::ui::detail {

class ViewDesc;
class ViewGraph;

struct ChildKey {
    std::uint32_t slot = 0;  // position in the parent's child list
    Id id;                   // explicit identity (list element, .id())
    std::uint32_t sub = 0;   // position inside a flattened group, or a conditional's branch
    std::type_index kind = typeid(void);
    friend bool operator==(const ChildKey&, const ChildKey&) = default;
};

// Mutable storage of one kind of node (component state, scroll offset, subscriptions...).
struct NodeState {
    virtual ~NodeState() = default;
};

class Node {
public:
    Node(ViewGraph& graph, Node* parent, ChildKey key);
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    ViewGraph& graph;
    Node* parent;
    int depth = 0;
    ChildKey key;
    std::shared_ptr<const ViewDesc> desc;
    std::vector<std::unique_ptr<Node>> children;  // in drawing order; removed ones linger while they transition
    std::shared_ptr<const Environment> env;
    Transaction transaction;  // of the last evaluation that visited this node
    std::uint64_t createdIn = 0;
    std::uint64_t visitedIn = 0;
    bool dirty = false;
    bool removing = false;       // taken out of the tree, drawn until its removal transition ends
    bool hiddenByMatch = false;  // a matched-geometry partner took over its drawing

    // A weak handle to this node: cleared when the node is destroyed (made when first asked for).
    const std::shared_ptr<Node*>& ref() {
        if (!ref_) ref_ = std::make_shared<Node*>(this);
        return ref_;
    }

    // Layout of the current pass: frame in the parent's coordinates.
    Rect layout;
    // Sizes answered for proposals (with the stack axis they were asked under). They stay valid
    // from one layout pass to the next while nothing in the subtree is evaluated again: an
    // evaluation marks the node and its ancestors with the graph's change epoch (changedIn), and
    // a pass drops the answers of a node changed since they were given (cachedIn).
    std::uint64_t cacheGeneration = 0;
    std::uint64_t cachedIn = 0;
    std::uint64_t changedIn = 0;
    // The epoch of the pass that last laid the children out: a node placed again where it was,
    // under ancestors that all stayed where they were, with nothing evaluated below it since,
    // keeps its children's layout as it is.
    std::uint64_t placedIn = 0;
    std::vector<std::pair<std::pair<ProposedSize, int>, Size>> sizeCache;
    // What the subtree draws (drawn bounds in its own coordinates) at the presented size it was
    // found at, kept while nothing below can move: found at change epoch drawnCacheEpoch (0: none),
    // it holds until the node is evaluated or laid out again (changedIn or placedIn reach it).
    Rect drawnCache;
    Size drawnCacheSize;
    std::uint64_t drawnCacheEpoch = 0;

    // Animated values: frame (x, y, width, height relative to the parent), the description's
    // animatable numbers, and the amount of an insertion or removal transition (0 none, 1 full).
    AnimatedVector frame;
    AnimatedVector data;
    AnimatedVector transitionAmount;
    std::shared_ptr<const Transition> activeTransition;
    // A size glide handed down by a matched-geometry partner above, applied at commit.
    std::optional<std::pair<std::vector<double>, Animation>> pendingGlide;

    std::unique_ptr<NodeState> state;
    template <class S>
    S& stateAs() {
        if (!state) state = std::make_unique<S>();
        return static_cast<S&>(*state);
    }
    template <class S>
    S* stateIf() const {
        return static_cast<S*>(state.get());
    }

    // Children that take part in layout (not being removed).
    template <class F>
    void forEachActiveChild(F&& f) const {
        for (const auto& c : children)
            if (!c->removing) f(*c);
    }
    Node* firstActiveChild() const {
        for (const auto& c : children)
            if (!c->removing) return c.get();
        return nullptr;
    }

    // Presented frame relative to the parent at `now` (animations applied).
    Rect presentedFrame(double now) const;
    // Layout frame in host coordinates.
    Rect layoutFrameInHost() const;
    // Presented frame in host coordinates (frame animations and scroll offsets applied).
    Rect presentedFrameInHost(double now) const;

private:
    std::shared_ptr<Node*> ref_;
};

}  // namespace quillmar::ui::detail
