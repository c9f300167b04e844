#include "autopause/game_detection.h"

#include <cmath>
#include <optional>
#include <vector>

#include "platform/screens.h"
#include "platform/window_server.h"
#include "runtime/text_case.h"
#include "runtime/world.h"

namespace quillmar {

namespace {

std::vector<platform::Size> screenSizes() {
    std::vector<platform::Size> sizes;
    if (auto* screens = runtime::World::find<platform::Screens>())
        for (const auto& s : screens->screens()) sizes.push_back(s.frame.standardized().size());
    return sizes;
}

// The process's windows on screen now (only its own are looked at).
std::optional<std::vector<platform::WindowInfo>> onScreenWindows(std::int32_t pid) {
    auto* server = runtime::World::find<platform::WindowServer>();
    if (!server) return std::nullopt;
    using platform::WindowListOption;
    return server->windowListOfProcess(WindowListOption::onScreenOnly | WindowListOption::excludeDesktopElements, pid);
}

// The window's bounds when it has a bounds dictionary; all zero when that does not convert.
// Standardised: only the size it spans matters here.
std::optional<platform::Rect> boundsOf(const platform::WindowInfo& w) {
    if (!w.dictionary(platform::WindowKey::bounds)) return std::nullopt;
    return w.bounds().value_or(platform::Rect{}).standardized();
}

}  // namespace

bool hasGameBundlePrefix(const std::string& bundleID) {
    for (auto prefix : gameBundlePrefixes)
        if (bundleID.starts_with(prefix)) return true;
    return false;
}

bool isVirtualizationOrRemoteApp(const std::string& bundleID) {
    if (bundleID.empty()) return false;
    const std::string lowered = runtime::lowercased(bundleID);
    for (auto prefix : remoteDesktopBundlePrefixes)
        if (lowered.starts_with(runtime::lowercased(prefix))) return true;
    return false;
}

bool hasShieldingOrCoveringWindow(std::int32_t pid) {
    auto* server = runtime::World::find<platform::WindowServer>();
    if (!server) return false;
    const int shield = server->shieldingWindowLevel();
    const auto screens = screenSizes();
    const auto windows = onScreenWindows(pid);
    if (!windows) return false;
    for (const auto& w : *windows) {
        if (w.int32(platform::WindowKey::ownerPID) != pid) continue;
        const auto layer = w.integer(platform::WindowKey::layer);
        if (!layer) continue;
        if (*layer >= shield) return true;
        if (*layer < platform::kMainMenuWindowLevel) continue;
        const auto bounds = boundsOf(w);
        if (!bounds) continue;
        for (const auto& screen : screens) {
            // Sizes only: a covering window may sit anywhere.
            if (std::abs(bounds->width - screen.width) <= 2 && std::abs(bounds->height - screen.height) <= 2)
                return true;
        }
    }
    return false;
}

bool hasNearFullscreenWindow(std::int32_t pid) {
    const auto screens = screenSizes();
    if (screens.empty()) return false;
    const auto windows = onScreenWindows(pid);
    if (!windows) return false;
    for (const auto& w : *windows) {
        if (w.int32(platform::WindowKey::ownerPID) != pid) continue;
        const auto bounds = boundsOf(w);
        if (!bounds) continue;
        for (const auto& screen : screens) {
            if (bounds->width >= 0.95 * screen.width && bounds->height >= 0.95 * screen.height) return true;
        }
    }
    return false;
}

}  // namespace quillmar
