#include "platform/sim/sim_hot_keys.h"

#include <memory>

namespace quillmar::platform::sim {

SimHotKeys& SimHotKeys::install() {
    return static_cast<SimHotKeys&>(runtime::World::install<HotKeys>(std::make_unique<SimHotKeys>()));
}

std::optional<HotKeyRef> SimHotKeys::registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id) {
    if (taken_.count({keyCode, modifiers}) || isRegistered(keyCode, modifiers)) return std::nullopt;
    const HotKeyRef ref = next_++;
    registrations_[ref] = Registration{keyCode, modifiers, id};
    return ref;
}

bool SimHotKeys::isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const {
    for (const auto& [ref, r] : registrations_)
        if (r.keyCode == keyCode && r.modifiers == modifiers) return true;
    return false;
}

bool SimHotKeys::press(std::uint32_t keyCode, std::uint32_t modifiers) {
    for (const auto& [ref, r] : registrations_) {
        if (r.keyCode != keyCode || r.modifiers != modifiers) continue;
        auto handler = handler_;
        return handler && handler(r.id);
    }
    return false;
}

}  // namespace quillmar::platform::sim
