#pragma once
// Internal: the component being evaluated, so that State, Namespace, observe() and environment()
// can find the node they belong to.

#include <cstddef>
#include <map>
#include <memory>
#include <typeindex>
#include <utility>
#include <vector>

#include "runtime/published.h"
#include "ui/node.h"
#include "ui/state.h"

namespace quillmar::ui::detail {

struct ComponentState final : NodeState {
    std::map<std::pair<std::ptrdiff_t, std::type_index>, std::shared_ptr<StateSlotBase>> slots;
    struct Observation {
        const runtime::ObservableObject* object;
        runtime::Subscription subscription;
        bool seen;
    };
    std::vector<Observation> observations;
};

struct EvalFrame {
    Node* node;
    const void* base;
    std::size_t size;
    ComponentState* state;
    EvalFrame* outer;
};

EvalFrame*& currentEvalFrame();

}  // namespace quillmar::ui::detail
