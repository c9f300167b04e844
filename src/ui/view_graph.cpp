#include "ui/view_graph.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "ui/transition.h"

namespace quillmar::ui::detail {

namespace {

constexpr double kFrameInterval = 1.0 / 60.0;

std::size_t hashKey(const ChildKey& k) {
    return (static_cast<std::size_t>(k.slot) * 1000003u) ^ (k.id.hash() * 31u) ^
           (static_cast<std::size_t>(k.sub) << 7) ^ k.kind.hash_code();
}

const Transition& defaultTransition() {
    static const Transition t = Transition::opacity();
    return t;
}

}  // namespace

ViewGraph::ViewGraph(View root)
    : rootView_(std::move(root)),
      environment_(std::make_shared<Environment>()),
      textMeasurer_(TextMeasurer::standard()) {
    UpdateScheduler::instance().add(this);
}

ViewGraph::~ViewGraph() {
    UpdateScheduler::instance().remove(this);
    *alive_ = false;
    ticker_.invalidate();
    root_.reset();
}

void ViewGraph::setRoot(View root) {
    rootView_ = std::move(root);
    rootChanged_ = true;
    UpdateScheduler::instance().noteInvalidated(this);
}

void ViewGraph::setSize(Size size) {
    if (!size.isFinite()) return;
    size.width = std::max(0.0, size.width);
    size.height = std::max(0.0, size.height);
    if (size == size_) return;
    size_ = size;
    layoutNeeded_ = true;
    UpdateScheduler::instance().noteInvalidated(this);
}

void ViewGraph::setEnvironment(const Environment& env) {
    if (*environment_ == env) return;
    environment_ = std::make_shared<Environment>(env);
    rootChanged_ = true;
    UpdateScheduler::instance().noteInvalidated(this);
}

void ViewGraph::setTextMeasurer(std::shared_ptr<TextMeasurer> measurer) {
    if (!measurer) return;
    textMeasurer_ = std::move(measurer);
    trustedCacheEpoch_ = changeEpoch_ + 1;  // past every stamp given so far
    layoutNeeded_ = true;
    UpdateScheduler::instance().noteInvalidated(this);
}

bool ViewGraph::hasPendingUpdate() const {
    return rootChanged_ || layoutNeeded_ || !dirty_.empty() || !root_;
}

void ViewGraph::flushUpdate(const Transaction& transaction) {
    if (updating_) return;  // picked up again once the running update ends
    runUpdate(transaction);
}

void ViewGraph::updateIfNeeded() {
    if (hasPendingUpdate()) flushUpdate(Transaction::current());
}

void ViewGraph::invalidate(Node& node) {
    if (!node.dirty) {
        node.dirty = true;
        dirty_.insert(&node);
    }
    UpdateScheduler::instance().noteInvalidated(this);
}

void ViewGraph::noteChanged(Node& node) {
    for (Node* n = &node; n && n->changedIn != changeEpoch_; n = n->parent) n->changedIn = changeEpoch_;
}

void ViewGraph::forget(Node& node) {
    dirty_.erase(&node);
    timelines_.erase(&node);
}

// ---------------------------------------------------------------- update cycle

void ViewGraph::runUpdate(const Transaction& txn) {
    updating_ = true;
    updateTransaction_ = txn;
    ++generation_;
    ++updates_;
    const double t = now();
    if (root_) pruneGhosts(*root_, t);

    if (rootChanged_ || !root_) createOrUpdateRoot(txn);
    while (!dirty_.empty()) {
        Node* shallowest = *std::min_element(dirty_.begin(), dirty_.end(),
                                             [](const Node* a, const Node* b) { return a->depth < b->depth; });
        dirty_.erase(shallowest);
        if (!shallowest->dirty || shallowest->removing) {
            shallowest->dirty = false;
            continue;
        }
        const View self(shallowest->desc);
        const auto env = shallowest->env;
        updateNode(*shallowest, self, env, txn);
    }

    layoutTree();
    commitTime_ = now();
    commit(*root_, txn);

    // Departing matched views whose id was taken over stop drawing at once.
    for (auto& [key, d] : departures_) {
        if (!d.claimed || !d.node) continue;
        if (d.node->removing && d.node->parent) {
            auto& siblings = d.node->parent->children;
            const Node* departing = d.node;
            std::erase_if(siblings, [departing](const std::unique_ptr<Node>& c) { return c.get() == departing; });
        } else {
            d.node->hiddenByMatch = true;
            // What the nodes above keep of their drawn bounds still counts it.
            for (Node* n = d.node->parent; n; n = n->parent) n->drawnCacheEpoch = 0;
        }
    }
    departures_.clear();
    updating_ = false;

    std::vector<std::function<void()>> hooks;
    for (auto& queue : hooks_) {
        for (auto& h : queue) hooks.push_back(std::move(h));
        queue.clear();
    }
    for (auto& h : hooks)
        if (h) h();

    setNeedsDisplay();
    if (isAnimating() || !timelines_.empty()) ensureTicking();
    if (hasPendingUpdate()) UpdateScheduler::instance().noteInvalidated(this);
}

void ViewGraph::createOrUpdateRoot(const Transaction& txn) {
    rootChanged_ = false;
    const ChildKey key{0, {}, 0, rootView_.desc()->kind()};
    if (root_ && !(root_->key == key)) {
        collectDisappear(*root_);
        root_.reset();
    }
    if (!root_) {
        root_ = std::make_unique<Node>(*this, nullptr, key);
        root_->createdIn = generation_;
    }
    updateNode(*root_, rootView_, environment_, txn);
}

void ViewGraph::updateNode(Node& node, const View& view, const std::shared_ptr<const Environment>& env,
                           const Transaction& txn) {
    EvalInput in;
    const std::shared_ptr<const ViewDesc> previous = node.desc;  // kept alive during evaluation
    in.previous = previous.get();
    const bool sameEnv = node.env && (node.env == env || *node.env == *env);
    in.environmentChanged = !sameEnv;
    if (!sameEnv) node.env = env;
    node.desc = view.desc();
    node.transaction = txn;
    node.visitedIn = generation_;
    noteChanged(node);

    auto data = node.desc->animatableData(node);
    if (node.createdIn == generation_ || !node.data.hasTarget())
        node.data.setImmediate(std::move(data));
    else
        node.data.animateTo(std::move(data), txn.effectiveAnimation(), now());

    node.desc->evaluate(node, *this, in);
    node.dirty = false;
}

void ViewGraph::reconcileSingle(Node& parent, const View& view, const std::shared_ptr<const Environment>& env,
                                const Transaction& txn, std::uint32_t sub) {
    ChildKey key{0, {}, sub, view.desc()->kind()};
    // The usual cases without building lists: the one child is the same view again, or the
    // first child arrives.
    // As in the general case, the child is out of the parent's list while it is evaluated.
    const bool same =
        parent.children.size() == 1 && !parent.children.front()->removing && parent.children.front()->key == key;
    if (same || parent.children.empty()) {
        noteChanged(parent);
        std::unique_ptr<Node> node;
        if (same) {
            node = std::move(parent.children.front());
            parent.children.clear();
        } else {
            node = std::make_unique<Node>(*this, &parent, std::move(key));
            node->createdIn = generation_;
        }
        updateNode(*node, view, env, txn);
        parent.children.push_back(std::move(node));
        return;
    }
    std::vector<KeyedView> specs;
    specs.push_back(KeyedView{std::move(key), view});
    reconcileChildren(parent, specs, env, txn);
}

void ViewGraph::reconcileChildren(Node& parent, std::vector<KeyedView>& specs,
                                  const std::shared_ptr<const Environment>& env, const Transaction& txn) {
    noteChanged(parent);
    std::vector<std::unique_ptr<Node>> old = std::move(parent.children);
    parent.children.clear();
    std::vector<std::unique_ptr<Node>> next;
    next.reserve(specs.size());

    const bool useIndex = old.size() > 24;
    std::unordered_multimap<std::size_t, std::size_t> index;
    if (useIndex)
        for (std::size_t i = 0; i < old.size(); ++i)
            if (!old[i]->removing) index.emplace(hashKey(old[i]->key), i);
    std::size_t scan = 0;  // children usually keep their order: start looking after the last match

    for (auto& spec : specs) {
        std::size_t found = old.size();
        if (useIndex) {
            auto [b, e] = index.equal_range(hashKey(spec.key));
            for (auto it = b; it != e; ++it)
                if (old[it->second] && old[it->second]->key == spec.key) {
                    found = it->second;
                    break;
                }
        } else {
            for (std::size_t k = 0; k < old.size(); ++k) {
                const std::size_t i = (scan + k) % old.size();
                if (old[i] && !old[i]->removing && old[i]->key == spec.key) {
                    found = i;
                    break;
                }
            }
        }
        std::unique_ptr<Node> node;
        if (found < old.size()) {
            node = std::move(old[found]);
            scan = found + 1;
        } else {
            node = std::make_unique<Node>(*this, &parent, spec.key);
            node->createdIn = generation_;
        }
        updateNode(*node, spec.view, env, txn);
        next.push_back(std::move(node));
    }

    std::vector<std::pair<std::size_t, std::unique_ptr<Node>>> ghosts;
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (!old[i]) continue;
        if (old[i]->removing) {
            ghosts.emplace_back(i, std::move(old[i]));
            continue;
        }
        std::vector<std::unique_ptr<Node>> lingering;
        removeNode(std::move(old[i]), txn, lingering);
        for (auto& g : lingering) ghosts.emplace_back(i, std::move(g));
    }
    for (auto& [i, g] : ghosts) {
        const std::size_t at = std::min(i, next.size());
        next.insert(next.begin() + static_cast<std::ptrdiff_t>(at), std::move(g));
    }
    parent.children = std::move(next);
}

void ViewGraph::removeNode(std::unique_ptr<Node> node, const Transaction& txn,
                           std::vector<std::unique_ptr<Node>>& ghosts) {
    collectDisappear(*node);
    const auto animation = txn.effectiveAnimation();
    const Transition* transition = nullptr;
    if (animation) {
        Node* t = findInPassThroughChain(*node, [](const Node& n) { return n.desc->transition() != nullptr; });
        transition = t ? t->desc->transition() : &defaultTransition();
    }
    const bool lingers = animation && transition && !transition->isIdentity();
    recordDepartures(*node, *node, lingers);
    if (!lingers) return;  // destroyed here
    node->removing = true;
    node->dirty = false;
    dirty_.erase(node.get());
    node->activeTransition = std::make_shared<Transition>(*transition);
    if (!node->transitionAmount.hasTarget()) node->transitionAmount.setImmediate({0});
    node->transitionAmount.animateTo({1}, animation, now());
    ghosts.push_back(std::move(node));
}

void ViewGraph::collectDisappear(Node& node) {
    if (node.removing) return;
    node.desc->disappeared(node, *this);
    for (auto& c : node.children) collectDisappear(*c);
}

void ViewGraph::recordDepartures(Node& node, Node& removed, bool lingers) {
    if (auto mg = node.desc->matchedGeometry(); mg && mg->isSource && !node.hiddenByMatch) {
        // Removed itself, or inside a larger removed view (not one the source passes through).
        const bool withContainer =
            lingers && !findInPassThroughChain(removed, [&node](const Node& n) { return &n == &node; });
        departures_[MatchKey{mg->ns, mg->id}] =
            Departure{node.presentedFrameInHost(now()), lingers ? &node : nullptr, withContainer};
    }
    for (auto& c : node.children)
        if (!c->removing) recordDepartures(*c, removed, lingers);
}

void ViewGraph::layoutTree() {
    if (!root_) return;
    LayoutContext lc(*this, newLayoutGeneration(), true);
    const Size s = lc.sizeOf(*root_, ProposedSize::exactly(size_));
    lc.place(*root_, Rect{alignOffset(Alignment::center(), size_, s), s});
    layoutNeeded_ = false;
}

Size ViewGraph::fittingSize() {
    updateIfNeeded();
    if (!root_) return {};
    LayoutContext lc(*this, newLayoutGeneration(), false);
    return lc.sizeOf(*root_, ProposedSize::unspecified());
}

void ViewGraph::commit(Node& node, const Transaction& parentEffective) {
    if (node.removing) return;
    const Transaction& eff = node.visitedIn == generation_ ? node.transaction : parentEffective;
    const Rect L = node.layout;
    const bool created = node.createdIn == generation_ || !node.frame.hasTarget();
    if (!created) {
        // Most frames stay where they were: nothing to animate, no new target to make.
        const auto& was = node.frame.target();
        if (was.size() != 4 || was[0] != L.x || was[1] != L.y || was[2] != L.width || was[3] != L.height)
            node.frame.animateTo(std::vector<double>{L.x, L.y, L.width, L.height}, eff.effectiveAnimation(), now());
        for (auto& c : node.children) commit(*c, eff);
        keepChildrensDrawnBounds(node);
        return;
    }
    const auto animation = eff.effectiveAnimation();
    const double t = commitTime_;
    node.frame.setImmediate({L.x, L.y, L.width, L.height});
    if (node.pendingGlide) {
        node.frame.addOffset(std::move(node.pendingGlide->first), node.pendingGlide->second, t);
        node.pendingGlide.reset();
    }
    bool claimed = false;
    if (animation && node.createdIn == generation_) claimed = claimGlide(node, *animation, t);
    const bool subtreeRoot = node.parent && node.parent->createdIn != generation_;
    if (subtreeRoot && animation && !claimed) {
        const bool glides = findInPassThroughChain(node, [&](const Node& n) {
                                auto mg = n.desc->matchedGeometry();
                                if (!mg || !mg->isSource) return false;
                                auto it = departures_.find(MatchKey{mg->ns, mg->id});
                                return it != departures_.end() && !it->second.claimed;
                            }) != nullptr;
        if (!glides) {
            Node* tn = findInPassThroughChain(node, [](const Node& n) { return n.desc->transition() != nullptr; });
            const Transition& tr = tn ? *tn->desc->transition() : defaultTransition();
            if (!tr.isIdentityOnInsertion()) {
                node.activeTransition = std::make_shared<Transition>(tr);
                node.transitionAmount.setImmediate({1});
                node.transitionAmount.animateTo({0}, animation, t);
            }
        }
    }
    node.desc->appeared(node, *this);
    for (auto& c : node.children) commit(*c, eff);
    keepChildrensDrawnBounds(node);
}

void ViewGraph::keepChildrensDrawnBounds(Node& node) {
    // A frame draws few of the children of a long stack (the rows of a list out of sight), yet
    // needs to know where each draws; found now, while the update has their nodes at hand, that
    // costs far less than in the frame. A short stack's children are found as they are drawn.
    constexpr std::size_t kManyChildren = 64;
    if (node.children.size() < kManyChildren) return;
    for (auto& c : node.children)
        if (!c->removing) keptDrawnBounds(*c, commitTime_);
}

namespace {
// The node's pass-through descendants that share its frame exactly (modifiers that do not
// change layout), outermost first.
std::vector<Node*> sameFrameChain(Node& top) {
    std::vector<Node*> chain{&top};
    for (Node* n = &top; n->desc;) {
        Node* c = n->desc->primaryChild(*n);
        if (!c || c->createdIn != top.createdIn) break;
        const Rect expected{0, 0, n->layout.width, n->layout.height};
        if (std::fabs(c->layout.x - expected.x) > 1e-9 || std::fabs(c->layout.y - expected.y) > 1e-9 ||
            std::fabs(c->layout.width - expected.width) > 1e-9 || std::fabs(c->layout.height - expected.height) > 1e-9)
            break;
        chain.push_back(c);
        n = c;
    }
    return chain;
}
}  // namespace

bool ViewGraph::claimGlide(Node& node, const Animation& animation, double t) {
    if (departures_.empty()) return false;
    const auto chain = sameFrameChain(node);
    const MatchedGeometryInfo* mg = nullptr;
    std::map<MatchKey, Departure>::iterator it;
    for (Node* n : chain) {
        auto m = n->desc->matchedGeometry();
        if (!m || !m->isSource) continue;
        auto found = departures_.find(MatchKey{m->ns, m->id});
        if (found != departures_.end() && !found->second.claimed) {
            mg = m;
            it = found;
            break;
        }
    }
    if (!mg) return false;
    it->second.claimed = true;
    if (it->second.leftWithContainer && !mg->glidesFromRemovedContainer) return true;  // in place, with its own view
    // Where the departing view was drawn, relative to this node's parent as drawn now.
    Point origin{};
    if (node.parent) {
        const Rect pf = node.parent->presentedFrameInHost(t);
        const Point off = node.parent->desc->contentOffset(*node.parent, t);
        origin = {pf.x + off.x, pf.y + off.y};
    }
    const Rect L = node.layout;
    const Rect from = it->second.frame;
    std::vector<double> delta{0, 0, 0, 0};
    if (mg->properties != MatchedGeometryProperties::position) {
        delta[2] = from.width - L.width;
        delta[3] = from.height - L.height;
    }
    if (mg->properties != MatchedGeometryProperties::size) {
        // The anchor point of the new frame starts where the departing one's was.
        const double ax = mg->anchor.x, ay = mg->anchor.y;
        const double w0 = L.width + delta[2], h0 = L.height + delta[3];
        delta[0] = (from.x - origin.x + from.width * ax - w0 * ax) - L.x;
        delta[1] = (from.y - origin.y + from.height * ay - h0 * ay) - L.y;
    }
    node.frame.addOffset(delta, animation, t);
    for (std::size_t i = 1; i < chain.size(); ++i)
        chain[i]->pendingGlide = std::make_pair(std::vector<double>{0, 0, delta[2], delta[3]}, animation);
    return true;
}

// ---------------------------------------------------------------- frame clock

void ViewGraph::pruneGhosts(Node& node, double t) {
    std::erase_if(node.children, [t](const std::unique_ptr<Node>& c) {
        return c->removing && !c->transitionAmount.isAnimating(t);
    });
    node.frame.prune(t);
    node.data.prune(t);
    node.transitionAmount.prune(t);
    if (!node.removing && node.activeTransition && !node.transitionAmount.isAnimating(t)) {
        node.activeTransition.reset();
        node.transitionAmount = AnimatedVector();
    }
    for (auto& c : node.children) pruneGhosts(*c, t);
}

bool ViewGraph::anyAnimating(const Node& node, double t) const {
    if (node.frame.isAnimating(t) || node.data.isAnimating(t) || node.transitionAmount.isAnimating(t)) return true;
    if (node.desc && node.desc->isAnimating(node, t)) return true;
    for (const auto& c : node.children)
        if (anyAnimating(*c, t)) return true;
    return false;
}

bool ViewGraph::isAnimating() { return root_ && anyAnimating(*root_, now()); }

void ViewGraph::setNeedsDisplay() {
    if (onDisplayNeeded) onDisplayNeeded();
}

void ViewGraph::ensureTicking() {
    if (ticker_.isValid()) return;
    std::weak_ptr<bool> alive = alive_;
    ticker_ = runtime::MainLoop::main().scheduleRepeating(kFrameInterval, [this, alive] {
        auto a = alive.lock();
        if (a && *a) tick();
    });
}

void ViewGraph::tick() {
    const double t = now();
    if (root_) pruneGhosts(*root_, t);
    for (Node* n : std::vector<Node*>(timelines_.begin(), timelines_.end()))
        if (timelines_.count(n)) n->desc->frameTick(*n, *this, t);
    if (hasPendingUpdate() && !updating_) runUpdate(Transaction{});
    setNeedsDisplay();
    if (!isAnimating() && timelines_.empty()) ticker_.invalidate();
}

}  // namespace quillmar::ui::detail
