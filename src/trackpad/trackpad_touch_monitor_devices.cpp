// Binding of the multitouch framework, the choice of trackpads among its devices, starting and
// stopping them, and following them as they come and go. Main thread only.

#include <algorithm>

#include <unicode/unistr.h>

#include "platform/screens.h"
#include "platform/workspace.h"
#include "runtime/main_loop.h"
#include "settings/switcher_settings.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar {

namespace {

constexpr double kHotPlugDelay = 0.3;
constexpr double kWakeDelay = 0.8;
constexpr double kScreenChangeDelay = 0.4;
constexpr double kBusyRetryDelay = 0.5;
constexpr double kStoppedDeviceGrace = 0.5;

bool containsIgnoringCase(const std::string& text, const char* word) {
    auto haystack = icu::UnicodeString::fromUTF8(text);
    auto needle = icu::UnicodeString::fromUTF8(word);
    haystack.foldCase();
    needle.foldCase();
    return haystack.indexOf(needle) >= 0;
}

}  // namespace

void TrackpadTouchMonitor::loadMultitouchSymbols() {
    if (auto* framework = platform::MultitouchFramework::installed()) mt_ = framework->open();
}

bool TrackpadTouchMonitor::isTrackpadDevice(platform::MTDeviceRef device) const {
    if (!mt_ || !device) return false;
    if (mt_->deviceGetFamilyID) {
        std::int32_t family = 0;
        // Families 112 and 113 are multitouch mice.
        if (mt_->deviceGetFamilyID(device, &family) == 0 && (family & ~1) == 112) return false;
    }
    if (mt_->deviceGetService) {
        const platform::IOService service = mt_->deviceGetService(device);
        auto* registry = platform::DeviceNotifications::installed();
        if (service != 0 && registry) {
            if (registry->conformsTo(service, "BNBMouseDevice") ||
                registry->conformsTo(service, "AppleMultitouchMouseHIDEventDriver"))
                return false;
            if (auto product = registry->registryProperty(service, "Product")) {
                if (const auto* name = std::get_if<std::string>(&*product); name && containsIgnoringCase(*name, "mouse"))
                    return false;
            }
        }
    }
    return true;
}

void TrackpadTouchMonitor::start() {
    syncSettingsGate(SwitcherSettings::shared());
    installEventTap();
    stopDevices(false);
    if (!mt_ || !mt_->registerContactFrameCallback || !mt_->deviceStart) return;

    if (mt_->createList) {
        if (auto list = mt_->createList()) {
            retainedDeviceList_ = std::move(list);
            for (const auto& device : *retainedDeviceList_) {
                if (!device || !isTrackpadDevice(device.get())) continue;
                retainedDeviceObjects_.push_back(device);
                activeDevices_.push_back(device.get());
            }
        }
    }
    if (activeDevices_.empty() && mt_->createDefault) {
        if (auto device = mt_->createDefault(); device && isTrackpadDevice(device.get())) {
            retainedDeviceObjects_.push_back(device);
            activeDevices_.push_back(device.get());
        }
    }
    for (auto* device : activeDevices_) {
        // Unregistering first keeps a repeated start from registering the callback twice.
        if (mt_->unregisterContactFrameCallback) mt_->unregisterContactFrameCallback(device, &contactFrameCallback);
        mt_->registerContactFrameCallback(device, &contactFrameCallback);
        mt_->deviceStart(device, 0);
    }
    forgetTouchesOfGoneDevices();
    setHardwareConnected(!activeDevices_.empty());
}

void TrackpadTouchMonitor::forgetTouchesOfGoneDevices() {
    // A trackpad that went sends no lift for the fingers that rested on it: its touches go now,
    // and a trackpad that stays (or is attached later) is seen from its own next frame.
    auto gone = [this](const CoalescedTouchSnapshot& s) {
        if (activeDevices_.empty()) return true;
        return s.count > 0 && std::find(activeDevices_.begin(), activeDevices_.end(), s.device) == activeDevices_.end();
    };
    // Dropped snapshots are destroyed after the lock is released.
    CoalescedTouchSnapshot dropped;
    std::optional<CoalescedTouchSnapshot> droppedPreLift, droppedLift;
    bool clearDots = false;
    {
        std::lock_guard lock(fastLock_);
        if (gone(gate_.latestSnapshot)) {
            dropped = std::exchange(gate_.latestSnapshot, {});
            gate_.lastHadTelemetryDots = false;
            ++gate_.touchEpoch;
            clearDots = true;
        }
        if (gate_.pendingPreLiftSnapshot && gone(*gate_.pendingPreLiftSnapshot))
            droppedPreLift = std::exchange(gate_.pendingPreLiftSnapshot, std::nullopt);
        if (gate_.pendingLiftSnapshot && gone(*gate_.pendingLiftSnapshot))
            droppedLift = std::exchange(gate_.pendingLiftSnapshot, std::nullopt);
    }
    if (!clearDots) return;
    const auto weak = lifetime_.token();
    runtime::runOnMain([this, weak] {
        if (weak.alive()) telemetry.clear();
    });
}

void TrackpadTouchMonitor::stopDevices(bool immediate) {
    if (mt_) {
        if (mt_->unregisterContactFrameCallback)
            for (auto* device : activeDevices_) mt_->unregisterContactFrameCallback(device, &contactFrameCallback);
        if (mt_->deviceStop)
            for (auto* device : activeDevices_) mt_->deviceStop(device);
    }
    activeDevices_.clear();
    auto objects = std::exchange(retainedDeviceObjects_, {});
    auto list = std::exchange(retainedDeviceList_, std::nullopt);
    if (!immediate && (!objects.empty() || list)) {
        // A frame may still be on its way from a device just stopped: keep the device alive a
        // little longer.
        runtime::MainLoop::main().after(kStoppedDeviceGrace, [objects = std::move(objects), list = std::move(list)] {});
    }
    if (eventTap_ && isScrollTapEnabled_) {
        isScrollTapEnabled_ = false;
        if (auto* backend = platform::EventTap::installed()) backend->setEnabled(*eventTap_, false);
    }
}

void TrackpadTouchMonitor::setHardwareConnected(bool connected) {
    const auto weak = lifetime_.token();
    runtime::runOnMain([this, weak, connected] {
        if (weak.alive() && isHardwareConnected.get() != connected) isHardwareConnected = connected;
    });
}

void TrackpadTouchMonitor::installDeviceNotifications() {
    const auto weak = lifetime_.token();
    if (auto* registry = platform::DeviceNotifications::installed(); registry && registry->createNotificationPort()) {
        auto drain = [registry](platform::IOIterator iterator) {
            while (registry->iteratorNext(iterator) != 0) {
            }
        };
        auto callback = [this, weak, drain](platform::IOIterator iterator) {
            drain(iterator);
            if (weak.alive()) scheduleReconcile(kHotPlugDelay);
        };
        // Draining arms each notification; the iterators need no keeping after that.
        for (auto event : {platform::DeviceMatchEvent::matched, platform::DeviceMatchEvent::terminated})
            drain(registry->addMatchingNotification(event, platform::DeviceNotifications::multitouchDeviceClass, callback));
    }

    using platform::Workspace;
    auto& workspace = runtime::NotificationCenter::workspace();
    for (const char* name : {Workspace::willSleepNotification, Workspace::screensDidSleepNotification,
                             Workspace::sessionDidResignActiveNotification}) {
        workspace.addObserver(name, [this](const runtime::Notification& n) { handleSystemSleep(n); }).store(subscriptions_);
    }
    for (const char* name : {Workspace::didWakeNotification, Workspace::screensDidWakeNotification,
                             Workspace::sessionDidBecomeActiveNotification}) {
        workspace.addObserver(name, [this](const runtime::Notification& n) { handleSystemWake(n); }).store(subscriptions_);
    }
    runtime::NotificationCenter::defaultCenter()
        .addObserver(platform::Screens::screenParametersDidChangeNotification,
                     [this](const runtime::Notification& n) { handleScreenParamsChanged(n); })
        .store(subscriptions_);
}

void TrackpadTouchMonitor::handleSystemSleep(const runtime::Notification&) {
    reconcileWorkItem_.cancel();
    resetGesture();
}

void TrackpadTouchMonitor::handleSystemWake(const runtime::Notification&) {
    resetGesture();
    scheduleReconcile(kWakeDelay);
}

void TrackpadTouchMonitor::handleScreenParamsChanged(const runtime::Notification&) { scheduleReconcile(kScreenChangeDelay); }

void TrackpadTouchMonitor::scheduleReconcile(double delay) {
    // A burst of notifications leads to one check, timed from the last of them.
    const auto weak = lifetime_.token();
    runtime::MainLoop::main().post([this, weak, delay] {
        if (!weak.alive()) return;
        reconcileWorkItem_.schedule(delay, [this, weak] {
            if (weak.alive()) reconcileDevices();
        });
    });
}

void TrackpadTouchMonitor::reconcileDevices() {
    installEventTap();
    const bool idle = std::holds_alternative<gesture::Idle>(phase_);

    std::optional<std::vector<platform::MTDeviceHandle>> list;
    if (mt_ && mt_->createList) list = mt_->createList();
    if (!list) {
        if (!idle) resetGesture();
        start();
        return;
    }
    // The list stays alive until the end of this check, so no pointer below can be reused.
    std::vector<platform::MTDeviceRef> found;
    for (const auto& device : *list)
        if (device && isTrackpadDevice(device.get())) found.push_back(device.get());
    const bool same = found == activeDevices_;

    if (!idle) {
        if (activeGestureDevice_) {
            const bool present = std::find(found.begin(), found.end(), activeGestureDevice_) != found.end();
            const bool stopped = present && mt_->deviceIsRunning && mt_->deviceIsRunning(activeGestureDevice_) == 0;
            if (!present || stopped) {
                resetGesture();
                start();
            } else if (!same) {
                scheduleReconcile(kBusyRetryDelay);  // the restart waits until the gesture is over
            }
        } else if (found.empty()) {
            resetGesture();
            start();
        } else if (!same) {
            scheduleReconcile(kBusyRetryDelay);
        }
        return;
    }

    if (!same) {
        start();
        return;
    }
    if (mt_->deviceIsRunning && mt_->registerContactFrameCallback && mt_->deviceStart && !found.empty()) {
        // A device that stopped on its own is restarted in place.
        for (auto* device : activeDevices_) {
            if (mt_->deviceIsRunning(device) != 0) continue;
            if (mt_->unregisterContactFrameCallback) mt_->unregisterContactFrameCallback(device, &contactFrameCallback);
            mt_->registerContactFrameCallback(device, &contactFrameCallback);
            mt_->deviceStart(device, 0);
        }
    }
}

}  // namespace quillmar
