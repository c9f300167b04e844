#pragma once
// The one object through which the program sees trackpads: it binds the multitouch framework,
// picks the trackpads among the multitouch devices and follows them as they come and go,
// reduces contact frames on the framework's thread into the trackpad gate, turns the snapshots
// into gesture events on the main thread, runs the event tap that keeps background scrolling
// away from other apps during a gesture, and feeds the live-touch preview.
//
//   auto& m = TrackpadTouchMonitor::shared();   // binds, creates the tap if trusted, watches devices
//   m.onGestureStart = [] { ... };              // the Switch Bar wires the five callbacks
//   m.start();                                  // registers the frame callback, starts every trackpad
//
// Threads: everything runs on the main thread except contactFrameCallback/handleContactFrame
// (the framework's thread) and cancelCurrentGesture(), which may be called from anywhere.

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/device_notifications.h"
#include "platform/event_tap.h"
#include "platform/multitouch_framework.h"
#include "runtime/delayed_work_item.h"
#include "runtime/lifetime.h"
#include "runtime/notification_center.h"
#include "runtime/published.h"
#include "runtime/signal.h"
#include "runtime/subscription.h"
#include "trackpad/coalesced_touch_snapshot.h"
#include "trackpad/fast_touch_gate.h"
#include "trackpad/gesture_event.h"
#include "trackpad/gesture_phase.h"
#include "trackpad/trackpad_stage_telemetry.h"

namespace quillmar {

class SwitcherSettings;

class TrackpadTouchMonitor : public runtime::ObservableObject {
public:
    using GesturePhase = quillmar::GesturePhase;

    // The one instance, created on first use and kept for the process.
    static TrackpadTouchMonitor& shared();
    TrackpadTouchMonitor();
    ~TrackpadTouchMonitor() override;

    TrackpadStageTelemetry telemetry;
    // At least one trackpad is running.
    runtime::Published<bool> isHardwareConnected;

    // Gesture events, fired on the main thread; an empty callback is skipped. Scrub travel is a
    // fraction of the pad's width (positive to the right) or, for the vertical list, of its
    // height (downward positive, scaled by 0.7); the cross-axis swipe delivers +1 or -1.
    std::function<void()> onGestureStart;
    std::function<void(double)> onGestureScrub;
    std::function<void()> onGestureCommit;
    std::function<void()> onGestureCancel;
    std::function<void(int)> onGestureCrossAxisSwipe;
    // Every gesture event, for observers besides the Switch Bar; emitted before its callback.
    runtime::Signal<GestureEvent> gestureEvents;

    // Seams to the components above this one. Each is optional; an empty one answers "no".
    // Whether gestures are paused right now (the auto-pause monitor's reason is set).
    std::function<bool()> isPauseActive;
    // Re-reads the frontmost app so that isPauseActive answers for this very moment.
    std::function<void()> refreshPauseState;
    // Whether the system's own window overview is on screen.
    std::function<bool()> isSystemOverviewActive;
    // Whether this process holds the Accessibility permission; reads the installed
    // Accessibility interface unless replaced.
    std::function<bool()> isAccessibilityTrusted;
    // A key pressed during an active gesture, offered to the Switch Bar: true when the bar takes
    // it (the event is then swallowed). Called on the main thread from the tap's callback; it
    // must only schedule its action. Repeats of a key the bar took are swallowed without a call.
    std::function<bool(int keyCode)> onForwardedKeyDown;

    // Devices.
    // (Re)starts every trackpad; called at launch and by the device reconcile.
    void start();
    // Stops every device; with immediate false their references live 0.5 s longer.
    void stopDevices(bool immediate);
    void handleSystemSleep(const runtime::Notification&);
    void handleSystemWake(const runtime::Notification&);
    void handleScreenParamsChanged(const runtime::Notification&);
    const std::vector<platform::MTDeviceRef>& activeDevices() const { return activeDevices_; }

    // Frames and the gate.
    // Registered with the framework for every device: clamps the count to 0...32 and hands the
    // frame to the shared monitor. Returns 0.
    static std::int32_t contactFrameCallback(platform::MTDeviceRef device, const platform::MTTouch* touches,
                                             std::int32_t count, double timestamp, std::int32_t frame);
    void handleContactFrame(platform::MTDeviceRef device, const platform::MTTouch* touches, int count,
                            double timestamp);
    void drainTouchSnapshots();
    // Mirrors the gesture settings into the gate (connected to the settings' change signal).
    void syncSettingsGate(const SwitcherSettings& settings);
    void updateSuppressionGate(bool isSuppressed);
    void setLiveTelemetryEnabled(bool on);
    // fingerCount, except 4 for "3 or 4" while the system's three-finger drag is on.
    static int effectiveFingerCount(const SwitcherSettings& settings);
    static bool isThreeFingerDragEnabled();
    // A consistent copy of the gate's flags (without its snapshots).
    FrameAdmissionView gateFlags() const;

    // Recogniser (main thread).
    void advanceGesture(const CoalescedTouchSnapshot& s);
    // Any thread. Ends the gesture and ignores the fingers until all lift; fires onGestureCancel
    // for an active gesture. While idle it changes nothing.
    void cancelCurrentGesture();
    void resetGesture();
    bool isGestureActive() const { return std::holds_alternative<gesture::Active>(phase_); }
    const GesturePhase& phase() const { return phase_; }
    std::uint8_t scrubAxis() const { return scrubAxis_; }

    // Event tap (main thread).
    // Creates the tap when there is none and the process is trusted; safe to call any time.
    void installEventTap();
    // The entry for the permission flow: creates the tap once the Accessibility permission holds.
    void ensureEventTapCreated();
    bool hasEventTap() const { return eventTap_.has_value(); }
    bool isScrollTapEnabled() const { return isScrollTapEnabled_; }

private:
    // Devices.
    void loadMultitouchSymbols();
    void installDeviceNotifications();
    bool isTrackpadDevice(platform::MTDeviceRef device) const;
    std::vector<platform::MTDeviceRef> listTrackpads(std::vector<platform::MTDeviceHandle>* keep) const;
    void scheduleReconcile(double delay);
    void reconcileDevices();
    void setHardwareConnected(bool connected);
    // Drops the touches of trackpads no longer running (all of them when none is left): the
    // gate's snapshots they sent and, with them, the live dots.
    void forgetTouchesOfGoneDevices();
    bool trusted() const { return isAccessibilityTrusted && isAccessibilityTrusted(); }

    // Recogniser.
    void setPhase(GesturePhase next);
    void beginCandidate(const CoalescedTouchSnapshot& s, const SwitcherSettings& settings);
    void holdTimerFired();
    void liftAllFingers();
    void advanceIdle(const CoalescedTouchSnapshot& s, const SwitcherSettings& settings);
    void advanceCandidate(gesture::Candidate c, const CoalescedTouchSnapshot& s, const SwitcherSettings& settings);
    void startBySlide(const CoalescedTouchSnapshot& s, double dx, double dy, bool vertical);
    void advanceActive(gesture::Active a, const CoalescedTouchSnapshot& s, const SwitcherSettings& settings);
    static bool activeGestureEnds(int count, const SwitcherSettings& settings);
    bool followCrossAxisSwipe(const CoalescedTouchSnapshot& s, bool vertical);
    bool matchesTriggerFingerCount(int count, const SwitcherSettings& settings) const;
    static bool exceedsFingerCount(int count, const SwitcherSettings& settings);
    void clearGestureCompanions();
    void cancelGestureNow();
    void fireStart();
    void fireScrub(double step);
    void fireCommit();
    void fireCancel();
    void fireCrossAxisSwipe(int direction);

    // Event tap.
    platform::TapDecision handleTapEvent(const platform::TapEvent& event);
    void setScrollTapEnabled(bool wanted);

    // Devices.
    std::optional<platform::MultitouchFunctions> mt_;
    std::optional<std::vector<platform::MTDeviceHandle>> retainedDeviceList_;
    std::vector<platform::MTDeviceHandle> retainedDeviceObjects_;
    std::vector<platform::MTDeviceRef> activeDevices_;
    runtime::DelayedWorkItem reconcileWorkItem_;

    // The gate, shared with the frame thread and the tap.
    mutable std::mutex fastLock_;
    FastTouchGate gate_;

    // Recogniser.
    GesturePhase phase_ = gesture::Idle{};
    runtime::DelayedWorkItem holdWorkItem_;
    std::optional<double> activeAnchorX_;
    std::optional<double> activeAnchorY_;
    std::uint8_t scrubAxis_ = 0;  // 0 not chosen, 1 horizontal, 2 vertical
    platform::MTDeviceRef activeGestureDevice_ = nullptr;

    // Event tap.
    std::optional<platform::EventTapID> eventTap_;
    bool isScrollTapEnabled_ = false;
    std::bitset<256> keysTakenByBar_;  // keys whose press the bar took during this gesture

    runtime::SubscriptionBag subscriptions_;
    // Held weakly by posted work so that work outliving the monitor does nothing.
    runtime::Lifetime lifetime_;
};

}  // namespace quillmar
