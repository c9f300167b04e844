// Telling whether the system's own window overview is on screen, from the window list alone.

#include "platform/window_server.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr double kOverviewMinWidth = 600;
}  // namespace

bool WindowManager::isSystemOverviewActive() {
    auto list = platform::WindowServer::shared().windowList(platform::WindowListOption::onScreenOnly);
    if (!list) return false;
    for (const auto& w : *list) {
        auto owner = w.string(platform::WindowKey::ownerName);
        if (!owner || (*owner != "WindowManager" && *owner != "Dock")) continue;
        auto layer = w.integer(platform::WindowKey::layer);
        if (!layer || (*layer != 19 && *layer != 14)) continue;
        const platform::Rect bounds = w.bounds().value_or(platform::Rect{});
        if (bounds.standardized().width >= kOverviewMinWidth) return true;
    }
    return false;
}

}  // namespace quillmar
