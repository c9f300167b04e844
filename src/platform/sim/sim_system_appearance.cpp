#include "platform/sim/sim_system_appearance.h"

#include <memory>

#include "runtime/notification_center.h"

namespace quillmar::platform::sim {

SimSystemAppearance& SimSystemAppearance::install(bool dark) {
    auto& appearance = static_cast<SimSystemAppearance&>(
        runtime::World::install<SystemAppearance>(std::make_unique<SimSystemAppearance>()));
    appearance.dark_ = dark;
    return appearance;
}

void SimSystemAppearance::setDark(bool dark) {
    if (dark_ == dark) return;
    dark_ = dark;
    runtime::NotificationCenter::distributed().post(interfaceThemeChangedNotification);
}

}  // namespace quillmar::platform::sim
