#include "platform/sim/sim_system_preferences.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform::sim {

SimSystemPreferences& SimSystemPreferences::install() {
    auto owned = std::make_unique<SimSystemPreferences>();
    auto& sim = *owned;
    runtime::World::install<SystemPreferences>(std::move(owned));
    return sim;
}

std::optional<DefaultsValue> SimSystemPreferences::copyAppValue(const std::string& key,
                                                                const std::string& domain) const {
    ++readCount_;
    auto d = domains_.find(domain);
    if (d == domains_.end()) return std::nullopt;
    auto v = d->second.find(key);
    if (v == d->second.end()) return std::nullopt;
    return v->second;
}

void SimSystemPreferences::removeValue(const std::string& domain, const std::string& key) {
    if (auto d = domains_.find(domain); d != domains_.end()) d->second.erase(key);
}

}  // namespace quillmar::platform::sim
