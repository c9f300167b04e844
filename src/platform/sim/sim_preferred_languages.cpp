#include "platform/sim/sim_preferred_languages.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform::sim {

SimPreferredLanguages& SimPreferredLanguages::install(std::vector<std::string> languages) {
    auto owned = std::make_unique<SimPreferredLanguages>(std::move(languages));
    auto& sim = *owned;
    runtime::World::install<PreferredLanguages>(std::move(owned));
    return sim;
}

}  // namespace quillmar::platform::sim
