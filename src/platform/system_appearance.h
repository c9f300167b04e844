#pragma once
// The appearance the system shows (light or dark), which the adaptive look of the Switch Bar
// follows. A change posts interfaceThemeChangedNotification on
// runtime::NotificationCenter::distributed(), as the system's own theme change is announced to
// every process.
//
// SystemAppearance::installed() is null when the system offers no appearance; callers take the
// light one then. Main thread only.

#include "runtime/world.h"

namespace quillmar::platform {

class SystemAppearance {
public:
    virtual ~SystemAppearance() = default;
    static SystemAppearance* installed() { return runtime::World::find<SystemAppearance>(); }

    static constexpr const char* interfaceThemeChangedNotification = "AppleInterfaceThemeChangedNotification";

    virtual bool isDark() const = 0;

    // The installed appearance, light when there is none.
    static bool currentIsDark() {
        const auto* appearance = installed();
        return appearance && appearance->isDark();
    }
};

}  // namespace quillmar::platform
