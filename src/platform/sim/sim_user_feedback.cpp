#include "platform/sim/sim_user_feedback.h"

#include <algorithm>
#include <memory>

#include "runtime/world.h"

namespace quillmar::platform::sim {

SimHaptics& SimHaptics::install() {
    return static_cast<SimHaptics&>(runtime::World::install<Haptics>(std::make_unique<SimHaptics>()));
}

int SimHaptics::count(HapticPattern p) const {
    return static_cast<int>(std::count(patterns_.begin(), patterns_.end(), p));
}

SimAccessibilityAnnouncer& SimAccessibilityAnnouncer::install() {
    return static_cast<SimAccessibilityAnnouncer&>(
        runtime::World::install<AccessibilityAnnouncer>(std::make_unique<SimAccessibilityAnnouncer>()));
}

}  // namespace quillmar::platform::sim
