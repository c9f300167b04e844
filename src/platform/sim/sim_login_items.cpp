#include "platform/sim/sim_login_items.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform::sim {

SimLoginItems& SimLoginItems::install() {
    auto owned = std::make_unique<SimLoginItems>();
    auto& sim = *owned;
    runtime::World::install<LoginItems>(std::move(owned));
    return sim;
}

std::optional<LoginItemError> SimLoginItems::registerApp() {
    ++registerCount_;
    switch (registerOutcome_) {
        case RegisterOutcome::enable:
            status_ = LoginItemStatus::enabled;
            return std::nullopt;
        case RegisterOutcome::requireApproval:
            status_ = LoginItemStatus::requiresApproval;
            return std::nullopt;
        case RegisterOutcome::fail:
            break;
    }
    return LoginItemError{1, "The operation couldn't be completed: the login item was refused."};
}

std::optional<LoginItemError> SimLoginItems::unregisterApp() {
    ++unregisterCount_;
    if (unregisterFails_) return LoginItemError{2, "The operation couldn't be completed: the login item stays."};
    if (status_ == LoginItemStatus::notFound) return LoginItemError{3, "No such login item."};
    status_ = LoginItemStatus::notRegistered;
    return std::nullopt;
}

void SimLoginItems::approve() {
    if (status_ == LoginItemStatus::requiresApproval) status_ = LoginItemStatus::enabled;
}

}  // namespace quillmar::platform::sim
