#include "platform/sim/sim_bundle_info.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform::sim {

SimBundleInfo& SimBundleInfo::install() {
    auto owned = std::make_unique<SimBundleInfo>();
    auto& sim = *owned;
    runtime::World::install<BundleInfo>(std::move(owned));
    return sim;
}

std::optional<DefaultsValue> SimBundleInfo::infoValue(const std::string& key) const {
    if (!info_) return std::nullopt;
    auto it = info_->find(key);
    if (it == info_->end()) return std::nullopt;
    return it->second;
}

}  // namespace quillmar::platform::sim
