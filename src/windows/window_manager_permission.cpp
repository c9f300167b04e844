// The Accessibility permission: watching it, asking for it, polling while someone waits for the
// user to grant it, and what its grant sets in motion.

#include "platform/url_opener.h"
#include "platform/user_defaults.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr double kPollInterval = 1.5;
constexpr double kPollTolerance = 0.5;
constexpr int kRequestPollTicks = 60;
constexpr double kSecondRefreshDelay = 0.18;
}  // namespace

void WindowManager::applyAccessibilityTrust(bool value) {
    if (value != isAccessibilityTrusted.get()) isAccessibilityTrusted = value;
    if (!value) return;
    auto& defaults = platform::UserDefaults::standard();
    if (!defaults.boolForKey(kHadAccessibilityTrustKey)) defaults.set(kHadAccessibilityTrustKey, true);
    stopPermissionPolling();
    // A monitor that does not exist yet installs its tap itself when it starts.
    if (auto* monitor = runtime::World::find<TrackpadTouchMonitor>()) monitor->ensureEventTapCreated();
}

void WindowManager::refreshAccessibilityTrust() {
    const bool value = platform::AccessibilityApi::shared().isProcessTrusted();
    auto& loop = runtime::MainLoop::main();
    if (loop.isMainThread()) {
        applyAccessibilityTrust(value);
        return;
    }
    const auto weak = lifetime_.token();
    loop.post([this, weak, value] {
        if (weak.alive()) applyAccessibilityTrust(value);
    });
}

void WindowManager::requestAccessibilityPermission() {
    auto& api = platform::AccessibilityApi::shared();
    if (api.isProcessTrusted()) {
        refreshAccessibilityTrust();
        return;
    }
    if (!hasShownSystemAXPrompt_) {
        hasShownSystemAXPrompt_ = true;
        applyAccessibilityTrust(api.isProcessTrustedWithOptions(true));
    } else {
        openAccessibilitySettings();
    }
    startPermissionPollingIfNeeded(kRequestPollTicks);
}

void WindowManager::startPermissionPollingIfNeeded(int maxTicks) {
    refreshAccessibilityTrust();
    if (isAccessibilityTrusted.get()) return;
    permissionPollRemainingTicks_ = std::max(permissionPollRemainingTicks_, maxTicks);
    if (permissionPollTimer_.isValid()) return;
    // The timer is owned by this object, so the tick can never run after it is gone.
    permissionPollTimer_ =
        runtime::MainLoop::main().scheduleRepeating(kPollInterval, [this] { permissionPollTick(); }, kPollTolerance);
}

void WindowManager::permissionPollTick() {
    refreshAccessibilityTrust();
    --permissionPollRemainingTicks_;
    if (isAccessibilityTrusted.get() || permissionPollRemainingTicks_ <= 0) stopPermissionPolling();
}

void WindowManager::stopPermissionPolling() {
    permissionPollTimer_.invalidate();
    permissionPollRemainingTicks_ = 0;
}

void WindowManager::openAccessibilitySettings() {
    if (!platform::UrlOpener::isWellFormed(kAccessibilitySettingsURL)) return;
    platform::UrlOpener::shared().openURL(kAccessibilitySettingsURL);
}

void WindowManager::handleAccessibilityChanged(const runtime::Notification&) {
    refreshAccessibilityTrust();
    // The system updates the trust a moment after it announces the change.
    const auto weak = lifetime_.token();
    runtime::MainLoop::main().after(kSecondRefreshDelay, [this, weak] {
        if (weak.alive()) refreshAccessibilityTrust();
    });
}

void WindowManager::handleAppBecameActive(const runtime::Notification&) { refreshAccessibilityTrust(); }

}  // namespace quillmar
