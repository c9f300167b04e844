// Components: values with a body. The body is evaluated with the component's node as the
// current frame (for State, Namespace, observe() and environment()), and skipped when an
// equatable component is equal to the previous one, its state unchanged and its environment the
// same: the subtree is then left exactly as it was.

#include "ui/eval_frame.h"
#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui::detail {
namespace {

class ComponentDesc final : public PassThroughDesc {
public:
    explicit ComponentDesc(std::shared_ptr<const ComponentModel> model) : model_(std::move(model)) {}

    std::type_index kind() const override { return model_->type(); }
    std::string debugName() const override { return model_->type().name(); }

    void evaluate(Node& node, ViewGraph& graph, const EvalInput& in) const override {
        auto& state = node.stateAs<ComponentState>();
        if (!node.dirty && !in.environmentChanged && !node.children.empty() && in.previous) {
            if (in.previous == this) return;
            const auto* prev = static_cast<const ComponentDesc*>(in.previous);
            if (model_->isEquatable() && model_->equals(*prev->model_)) return;
        }
        for (auto& o : state.observations) o.seen = false;
        View body;
        {
            EvalFrame frame{&node, model_->object(), model_->objectSize(), &state, currentEvalFrame()};
            currentEvalFrame() = &frame;
            struct Restore {
                EvalFrame* outer;
                ~Restore() { currentEvalFrame() = outer; }
            } restore{frame.outer};
            body = model_->body();
        }
        std::erase_if(state.observations, [](const ComponentState::Observation& o) { return !o.seen; });
        graph.noteBodyEvaluated();
        graph.reconcileSingle(node, body, node.env, node.transaction);
    }

private:
    std::shared_ptr<const ComponentModel> model_;
};

}  // namespace

std::shared_ptr<const ViewDesc> makeComponentDesc(std::shared_ptr<const ComponentModel> model) {
    return std::make_shared<ComponentDesc>(std::move(model));
}

}  // namespace quillmar::ui::detail
