// The frame path: reduction on the framework's thread, hand-over to the main loop, and the
// gate's writers on the main thread.

#include <algorithm>
#include <utility>

#include "platform/system_preferences.h"
#include "runtime/main_loop.h"
#include "settings/switcher_settings.h"
#include "trackpad/touch_frame_reduction.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar {

void TrackpadTouchMonitor::handleContactFrame(platform::MTDeviceRef device, const platform::MTTouch* touches,
                                              int count, double timestamp) {
    FrameAdmissionView view;
    {
        std::lock_guard lock(fastLock_);
        view = FrameAdmissionView::of(gate_);
    }
    auto snapshot = reduceContactFrame(view, device, touches, count, timestamp);
    if (!snapshot) return;

    const bool isLift = snapshot->count == 0;
    // Replaced snapshots are destroyed after the lock is released.
    std::optional<CoalescedTouchSnapshot> replacedPreLift;
    CoalescedTouchSnapshot replacedLatest;
    bool queueDrain = false;
    {
        std::lock_guard lock(fastLock_);
        // Touches were dropped meanwhile (their trackpad went) and these may be theirs; the next
        // frame of a trackpad that stays brings its fingers back. A lift is always kept.
        if (gate_.touchEpoch != view.touchEpoch && !isLift) return;
        if (isLift && gate_.dispatchPending && gate_.latestSnapshot.count > 0 && !gate_.pendingLiftSnapshot) {
            // The main thread has not seen the last position before this lift: hold it back so
            // that the drain feeds it first. (After an undrained lift, a touch that came and
            // went within the same hand-over is a tap the recogniser never needs; it is dropped.)
            replacedPreLift = std::exchange(gate_.pendingPreLiftSnapshot, std::move(gate_.latestSnapshot));
        } else if (!isLift && gate_.dispatchPending && gate_.latestSnapshot.count == 0 &&
                   !gate_.pendingLiftSnapshot) {
            // New fingers land before the main thread saw the previous ones leave. Without the
            // lift the recogniser would take the new fingers for the old ones moving: the switch
            // would not commit and the scrub would jump.
            gate_.pendingLiftSnapshot = std::move(gate_.latestSnapshot);
        }
        replacedLatest = std::exchange(gate_.latestSnapshot, std::move(*snapshot));
        gate_.lastHadTelemetryDots = !isLift && gate_.liveTelemetryEnabled;
        if (!gate_.dispatchPending) {
            gate_.dispatchPending = true;
            queueDrain = true;
        }
    }
    if (!queueDrain) return;
    const auto weak = lifetime_.token();
    runtime::MainLoop::main().post([this, weak] {
        if (weak.alive()) drainTouchSnapshots();
    });
}

void TrackpadTouchMonitor::drainTouchSnapshots() {
    std::optional<CoalescedTouchSnapshot> preLift;
    std::optional<CoalescedTouchSnapshot> lift;
    CoalescedTouchSnapshot latest;
    bool telemetryOn = false;
    {
        std::lock_guard lock(fastLock_);
        gate_.dispatchPending = false;
        preLift = std::exchange(gate_.pendingPreLiftSnapshot, std::nullopt);
        lift = std::exchange(gate_.pendingLiftSnapshot, std::nullopt);
        latest = gate_.latestSnapshot;
        telemetryOn = gate_.liveTelemetryEnabled;
    }
    if (telemetryOn) {
        telemetry.show(latest.dots);
    } else {
        telemetry.clear();
    }
    if (preLift) advanceGesture(*preLift);
    if (lift) advanceGesture(*lift);
    advanceGesture(latest);
}

bool TrackpadTouchMonitor::isThreeFingerDragEnabled() {
    static constexpr const char* kKey = "TrackpadThreeFingerDrag";
    for (const char* domain : {"com.apple.AppleMultitouchTrackpad", "com.apple.driver.AppleBluetoothMultitouch.trackpad"}) {
        if (auto value = platform::SystemPreferences::shared().boolValue(kKey, domain); value && *value) return true;
    }
    return false;
}

int TrackpadTouchMonitor::effectiveFingerCount(const SwitcherSettings& settings) {
    const int count = static_cast<int>(std::clamp<std::int64_t>(settings.fingerCount.get(), 0, 32));
    if (count == 0 && isThreeFingerDragEnabled()) return 4;
    return count;
}

void TrackpadTouchMonitor::syncSettingsGate(const SwitcherSettings& settings) {
    const int fingerCount = effectiveFingerCount(settings);
    const bool enabled = settings.isEnabled;
    bool wanted = false;
    {
        std::lock_guard lock(fastLock_);
        gate_.isEnabled = enabled;
        gate_.triggerStyle = settings.triggerStyle;
        gate_.fingerCount = fingerCount;
        gate_.suppressBackgroundScroll = settings.suppressBackgroundScroll;
        gate_.verticalLayout = settings.switchBarStyle.get() == SwitchBarStyle::vertical;
        wanted = gate_.isGestureActiveAtomic && gate_.isEnabled;
    }
    const auto weak = lifetime_.token();
    runtime::runOnMain([this, weak, wanted, enabled] {
        if (!weak.alive()) return;
        setScrollTapEnabled(wanted);
        if (!enabled) resetGesture();
    });
}

void TrackpadTouchMonitor::updateSuppressionGate(bool isSuppressed) {
    {
        std::lock_guard lock(fastLock_);
        gate_.isSuppressed = isSuppressed;
    }
    if (!isSuppressed) return;
    const auto weak = lifetime_.token();
    runtime::runOnMain([this, weak] {
        if (weak.alive()) resetGesture();
    });
}

void TrackpadTouchMonitor::setLiveTelemetryEnabled(bool on) {
    {
        std::lock_guard lock(fastLock_);
        gate_.liveTelemetryEnabled = on;
        if (!on) gate_.lastHadTelemetryDots = false;
    }
    if (on) return;
    const auto weak = lifetime_.token();
    runtime::runOnMain([this, weak] {
        if (weak.alive()) telemetry.clear();
    });
}

FrameAdmissionView TrackpadTouchMonitor::gateFlags() const {
    std::lock_guard lock(fastLock_);
    return FrameAdmissionView::of(gate_);
}

}  // namespace quillmar
