#pragma once
// Internal: the evaluated tree of one hosting view and its update cycle.
//
// One update: re-evaluate dirty components (top-most first) → lay the tree out (subtrees that
// were not evaluated again and did not move keep their layout) → commit (start frame
// animations, insertion and removal transitions, matched-geometry glides) → run lifecycle hooks
// (disappear, appear, change, receive). Updates are coalesced per main-loop turn (or run at the
// end of a withAnimation block) through the UpdateScheduler.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "runtime/main_loop.h"
#include "ui/environment.h"
#include "ui/text_measurer.h"
#include "ui/update_scheduler.h"
#include "ui/view_desc.h"

namespace quillmar::ui::detail {

class ViewGraph final : public UpdateTarget {
public:
    explicit ViewGraph(View root);
    ~ViewGraph() override;
    ViewGraph(const ViewGraph&) = delete;
    ViewGraph& operator=(const ViewGraph&) = delete;

    // Configuration (each schedules an update).
    void setRoot(View root);
    void setSize(Size size);
    Size size() const { return size_; }
    void setEnvironment(const Environment& env);
    const Environment& environment() const { return *environment_; }
    void setTextMeasurer(std::shared_ptr<TextMeasurer> measurer);
    TextMeasurer& textMeasurer() { return *textMeasurer_; }

    // UpdateTarget.
    bool hasPendingUpdate() const override;
    void flushUpdate(const Transaction& transaction) override;
    // Brings the tree up to date now (pending changes without animation, or with the
    // transaction of an enclosing withAnimation block).
    void updateIfNeeded();

    Node* root() const { return root_.get(); }
    double now() const { return runtime::MainLoop::main().now(); }
    std::uint64_t generation() const { return generation_; }
    // The transaction of the update in progress (or of the last one).
    const Transaction& updateTransaction() const { return updateTransaction_; }
    Size fittingSize();
    // Starts a layout pass: a new generation of size caches, and a new change epoch, so that
    // evaluations from now on (a geometry reader's content during this pass included) are seen
    // as changes by the next pass.
    std::uint64_t newLayoutGeneration() {
        cacheEpoch_ = ++changeEpoch_;
        ++changeEpoch_;
        return ++layoutGeneration_;
    }
    // The epoch size answers given in the current pass are stamped with, and the oldest stamp
    // still trusted (answers given before a new text measurer are not).
    std::uint64_t cacheEpoch() const { return cacheEpoch_; }
    // The epoch evaluations are stamped with now (changedIn).
    std::uint64_t changeEpoch() const { return changeEpoch_; }
    std::uint64_t trustedCacheEpoch() const { return trustedCacheEpoch_; }
    // The node (or something below it) was evaluated again: its size answers and those of its
    // ancestors no longer hold.
    void noteChanged(Node& node);

    // Evaluation services for descriptions.
    void reconcileChildren(Node& parent, std::vector<KeyedView>& specs, const std::shared_ptr<const Environment>& env,
                           const Transaction& txn);
    void reconcileSingle(Node& parent, const View& view, const std::shared_ptr<const Environment>& env,
                         const Transaction& txn, std::uint32_t sub = 0);
    void invalidate(Node& node);
    // Hooks run after the update in this order of kinds, each kind in tree order.
    enum class HookKind { disappear, appear, change, subscribe };
    void enqueueHook(HookKind kind, std::function<void()> hook) {
        hooks_[static_cast<int>(kind)].push_back(std::move(hook));
    }
    void forget(Node& node);  // a node is being destroyed
    void noteBodyEvaluated() { ++bodyEvaluations_; }
    void noteDrawnBoundsFound() { ++drawnBoundsFound_; }

    // Frame clock: runs at 60 Hz while something animates or a timeline is on screen.
    void setNeedsDisplay();
    void ensureTicking();
    void addTimeline(Node& node) { timelines_.insert(&node); ensureTicking(); }
    void removeTimeline(Node& node) { timelines_.erase(&node); }
    std::function<void()> onDisplayNeeded;

    // Statistics for tests and benchmarks.
    std::uint64_t bodyEvaluations() const { return bodyEvaluations_; }
    std::uint64_t updateCount() const { return updates_; }
    // Views looked at while finding what their parents draw (none where that is kept from before).
    std::uint64_t drawnBoundsFound() const { return drawnBoundsFound_; }
    bool isAnimating();

    // Matched geometry: where a departing source was drawn, for the view that takes its id.
    struct MatchKey {
        std::uint64_t ns;
        Id id;
        friend bool operator<(const MatchKey& a, const MatchKey& b) {
            if (a.ns != b.ns) return a.ns < b.ns;
            return a.id < b.id;
        }
    };

private:
    void runUpdate(const Transaction& txn);
    void createOrUpdateRoot(const Transaction& txn);
    void updateNode(Node& node, const View& view, const std::shared_ptr<const Environment>& env,
                    const Transaction& txn);
    void removeNode(std::unique_ptr<Node> node, const Transaction& txn, std::vector<std::unique_ptr<Node>>& ghosts);
    void collectDisappear(Node& node);
    // Notes the matched-geometry sources in `node`'s subtree, which leaves with `removed`
    // (lingering under a transition or not).
    void recordDepartures(Node& node, Node& removed, bool lingers);
    void layoutTree();
    void commit(Node& node, const Transaction& parentEffective);
    double commitTime_ = 0;  // the clock's time for the commit in progress
    void keepChildrensDrawnBounds(Node& node);
    bool claimGlide(Node& node, const Animation& animation, double now);
    void pruneGhosts(Node& node, double now);
    bool anyAnimating(const Node& node, double now) const;
    void tick();

    std::unique_ptr<Node> root_;
    View rootView_;
    bool rootChanged_ = true;
    bool layoutNeeded_ = true;
    Size size_{};
    std::shared_ptr<const Environment> environment_;
    std::shared_ptr<TextMeasurer> textMeasurer_;

    std::uint64_t generation_ = 0;
    std::uint64_t layoutGeneration_ = 0;
    std::uint64_t changeEpoch_ = 1, cacheEpoch_ = 0, trustedCacheEpoch_ = 0;
    bool updating_ = false;
    Transaction updateTransaction_;
    std::unordered_set<Node*> dirty_;
    std::vector<std::function<void()>> hooks_[4];
    std::set<Node*> timelines_;

    struct Departure {
        Rect frame;         // presented frame in host coordinates when it left
        Node* node;         // the departing node while it lingers as a removal ghost, else null
        bool leftWithContainer = false;  // lingers inside a larger removed view
        bool claimed = false;
    };
    std::map<MatchKey, Departure> departures_;

    runtime::TimerHandle ticker_;
    std::uint64_t bodyEvaluations_ = 0, updates_ = 0, drawnBoundsFound_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar::ui::detail
