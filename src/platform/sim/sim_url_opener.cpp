#include "platform/sim/sim_url_opener.h"

#include <memory>

#include "platform/sim/sim_desktop.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

SimUrlOpener& SimUrlOpener::install(SimDesktop& desktop) {
    auto opener = std::make_unique<SimUrlOpener>(desktop);
    auto* raw = opener.get();
    runtime::World::install<UrlOpener>(std::move(opener));
    return *raw;
}

bool SimUrlOpener::openURL(const std::string& url) {
    if (!isWellFormed(url)) return false;
    opened_.push_back(url);
    desktop_.logCall("open url " + url);
    return true;
}

}  // namespace quillmar::platform::sim
