#include "trackpad/trackpad_touch_monitor.h"

#include <atomic>
#include <thread>

#include "platform/accessibility_api.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"

namespace quillmar {

namespace {
// The frame callback has no context: it reaches the shared monitor through this pointer. The
// in-flight count lets the monitor's destructor wait for a frame that already holds the
// pointer, so a frame never runs on a destroyed monitor.
std::atomic<TrackpadTouchMonitor*> frameTarget{nullptr};
std::atomic<int> framesInFlight{0};
}  // namespace

TrackpadTouchMonitor& TrackpadTouchMonitor::shared() { return runtime::World::shared<TrackpadTouchMonitor>(); }

TrackpadTouchMonitor::TrackpadTouchMonitor() : isHardwareConnected(false, this) {
    isAccessibilityTrusted = [] {
        auto* ax = runtime::World::find<platform::AccessibilityApi>();
        return ax != nullptr && ax->isProcessTrusted();
    };
    auto& settings = SwitcherSettings::shared();
    const auto weak = lifetime_.token();
    settings.gestureSettingsChanged
        .connect([this, weak](const SwitcherSettings& s) {
            if (weak.alive()) syncSettingsGate(s);
        })
        .store(subscriptions_);
    // The settings announce changes only; the gate starts from their current values.
    syncSettingsGate(settings);

    frameTarget.store(this);
    loadMultitouchSymbols();
    installEventTap();
    installDeviceNotifications();
}

TrackpadTouchMonitor::~TrackpadTouchMonitor() {
    TrackpadTouchMonitor* self = this;
    frameTarget.compare_exchange_strong(self, nullptr);
    while (framesInFlight.load() != 0) std::this_thread::yield();
    subscriptions_.clear();
}

std::int32_t TrackpadTouchMonitor::contactFrameCallback(platform::MTDeviceRef device, const platform::MTTouch* touches,
                                                        std::int32_t count, double timestamp, std::int32_t /*frame*/) {
    framesInFlight.fetch_add(1);
    if (auto* monitor = frameTarget.load()) {
        const int clamped = count < 0 ? 0 : (count > 32 ? 32 : count);
        monitor->handleContactFrame(device, touches, clamped, timestamp);
    }
    framesInFlight.fetch_sub(1);
    return 0;
}

}  // namespace quillmar
