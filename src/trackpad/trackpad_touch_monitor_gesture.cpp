// The gesture recogniser: snapshots in, start / scrub / commit / cancel / cross-axis events
// out. Main thread only.

#include <algorithm>
#include <cmath>

#include "runtime/main_loop.h"
#include "settings/switcher_settings.h"
#include "trackpad/touch_frame_reduction.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar {

namespace {

// Distances are in normalised pad units.
constexpr double kStartDistance = 0.014;       // slide needed to start; taken off the first step
constexpr double kWrongAxisCancel = 0.018;     // drift across the bar's axis that cancels
constexpr double kAxisDominance = 0.8;         // along travel must reach 0.8 x the cross travel
constexpr double kVerticalScale = -0.7;        // downward travel counts positive, scaled
constexpr double kScrubDeadZone = 0.0004;      // smaller per-frame steps are not delivered
constexpr double kHoldDrift = 0.01;            // drift that turns a fired hold into a cancel
constexpr double kCrossAxisDistance = 0.11;    // cross travel from the anchor for a swipe
constexpr double kCrossAxisDominance = 1.2;    // cross travel must exceed 1.2 x the along travel
constexpr double kHoldFloor = 0.035;           // seconds

// 0: idle, 1: candidate or cancelled, 2: active. The gate and the tap follow changes of kind.
int kindOf(const GesturePhase& phase) {
    if (std::holds_alternative<gesture::Idle>(phase)) return 0;
    if (std::holds_alternative<gesture::Active>(phase)) return 2;
    return 1;
}

bool isVertical(const SwitcherSettings& settings) {
    return settings.switchBarStyle.get() == SwitchBarStyle::vertical;
}

}  // namespace

// Each callback is copied before it runs: it may replace itself.
void TrackpadTouchMonitor::fireStart() {
    gestureEvents.emit({GestureEvent::Kind::start, 0});
    if (auto callback = onGestureStart) callback();
}

void TrackpadTouchMonitor::fireScrub(double step) {
    gestureEvents.emit({GestureEvent::Kind::scrub, step});
    if (auto callback = onGestureScrub) callback(step);
}

void TrackpadTouchMonitor::fireCommit() {
    gestureEvents.emit({GestureEvent::Kind::commit, 0});
    if (auto callback = onGestureCommit) callback();
}

void TrackpadTouchMonitor::fireCancel() {
    gestureEvents.emit({GestureEvent::Kind::cancel, 0});
    if (auto callback = onGestureCancel) callback();
}

void TrackpadTouchMonitor::fireCrossAxisSwipe(int direction) {
    gestureEvents.emit({GestureEvent::Kind::crossAxisSwipe, static_cast<double>(direction)});
    if (auto callback = onGestureCrossAxisSwipe) callback(direction);
}

void TrackpadTouchMonitor::setPhase(GesturePhase next) {
    const int oldKind = kindOf(phase_);
    phase_ = std::move(next);
    const int newKind = kindOf(phase_);
    if (oldKind == newKind) return;
    if (newKind == 0) activeGestureDevice_ = nullptr;
    keysTakenByBar_.reset();
    bool wanted = false;
    {
        std::lock_guard lock(fastLock_);
        gate_.isNonIdlePhase = newKind != 0;
        gate_.isGestureActiveAtomic = newKind == 2;
        gate_.lockedDeviceBits = deviceBits(activeGestureDevice_);
        wanted = gate_.isGestureActiveAtomic && gate_.isEnabled;
    }
    setScrollTapEnabled(wanted);
}

void TrackpadTouchMonitor::clearGestureCompanions() {
    holdWorkItem_.cancel();
    activeAnchorX_.reset();
    activeAnchorY_.reset();
    scrubAxis_ = 0;
}

bool TrackpadTouchMonitor::matchesTriggerFingerCount(int count, const SwitcherSettings& settings) const {
    if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger) return count == 2;
    int n = 0;
    {
        std::lock_guard lock(fastLock_);
        n = gate_.fingerCount;
    }
    return n != 0 ? count == n : (count == 3 || count == 4);
}

bool TrackpadTouchMonitor::exceedsFingerCount(int count, const SwitcherSettings& settings) {
    int limit = 4;
    if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger) {
        limit = 2;
    } else if (settings.fingerCount.get() == 3) {
        limit = 3;
    }
    return count > limit;
}

void TrackpadTouchMonitor::beginCandidate(const CoalescedTouchSnapshot& s, const SwitcherSettings& settings) {
    holdWorkItem_.cancel();
    setPhase(gesture::Candidate{s.timestamp, s.avgX, s.avgY, s.avgX, s.avgY, s.ids});
    if (settings.triggerStyle.get() != TriggerStyle::holdAndSlide) return;
    const double ms = settings.holdDurationMs;
    const double delay = std::isfinite(ms) ? std::max(ms / 1000.0, kHoldFloor) : kHoldFloor;
    const auto weak = lifetime_.token();
    holdWorkItem_.schedule(delay, [this, weak] {
        if (weak.alive()) holdTimerFired();
    });
}

void TrackpadTouchMonitor::holdTimerFired() {
    const auto* candidate = std::get_if<gesture::Candidate>(&phase_);
    if (!candidate) return;
    const gesture::Candidate c = *candidate;
    const double dx = c.lastX - c.startX;
    const double dy = c.lastY - c.startY;
    bool cancel = false;
    if (isVertical(SwitcherSettings::shared())) {
        cancel = (dy > kHoldDrift && dy >= std::abs(dx)) || (std::abs(dx) > kHoldDrift && std::abs(dx) >= std::abs(dy));
    } else {
        cancel = std::abs(dy) > kHoldDrift && std::abs(dy) >= std::abs(dx);
    }
    if (cancel) {
        setPhase(gesture::CancelledUntilAllLift{});
        return;
    }
    // The axis and the anchors are set by the next frame.
    scrubAxis_ = 0;
    setPhase(gesture::Active{c.lastX, c.lastY, c.fingerIds});
    fireStart();
}

void TrackpadTouchMonitor::advanceGesture(const CoalescedTouchSnapshot& s) {
    const auto& settings = SwitcherSettings::shared();
    if (!settings.isEnabled || (isPauseActive && isPauseActive())) {
        resetGesture();
        return;
    }
    if (s.count == 0) {
        liftAllFingers();
    } else if (std::holds_alternative<gesture::Idle>(phase_)) {
        advanceIdle(s, settings);
    } else if (const auto* candidate = std::get_if<gesture::Candidate>(&phase_)) {
        advanceCandidate(*candidate, s, settings);
    } else if (std::holds_alternative<gesture::Active>(phase_)) {
        advanceActive(std::get<gesture::Active>(phase_), s, settings);
    }
    // A cancelled gesture waits for every finger to lift.
}

// Every finger lifted: an active gesture commits; any other phase goes back to idle.
void TrackpadTouchMonitor::liftAllFingers() {
    clearGestureCompanions();
    const bool wasActive = isGestureActive();
    if (!std::holds_alternative<gesture::Idle>(phase_)) setPhase(gesture::Idle{});
    if (wasActive) fireCommit();
}

// The trigger's fingers touch down: a candidate, unless gestures are paused or the system
// overview shows, which refuse the fingers until they lift.
void TrackpadTouchMonitor::advanceIdle(const CoalescedTouchSnapshot& s, const SwitcherSettings& settings) {
    if (!matchesTriggerFingerCount(s.count, settings)) return;
    if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger && !s.allNearTop) return;
    if (refreshPauseState) refreshPauseState();
    const bool refused = (isPauseActive && isPauseActive()) || (isSystemOverviewActive && isSystemOverviewActive());
    activeGestureDevice_ = s.device;
    if (refused) {
        setPhase(gesture::CancelledUntilAllLift{});
        return;
    }
    beginCandidate(s, settings);
}

namespace {

// Drift across the bar's axis that cancels a candidate: vertical or, for the vertical bar,
// downward or sideways, and more than the travel along the other axis.
bool driftsOffAxis(double dx, double dy, bool vertical) {
    if (!vertical) return std::abs(dy) > kWrongAxisCancel && std::abs(dy) > std::abs(dx);
    return (dy > kWrongAxisCancel && dy > std::abs(dx)) ||
           (std::abs(dx) > kWrongAxisCancel && std::abs(dx) > std::abs(dy));
}

// Travel along the bar's axis (upward for the vertical bar) that starts the gesture: the start
// distance, and at least 0.8 x the cross travel.
bool travelsToStart(double dx, double dy, bool vertical) {
    if (!vertical) return std::abs(dx) >= kStartDistance && std::abs(dx) >= kAxisDominance * std::abs(dy);
    return dy <= -kStartDistance && std::abs(dy) >= kAxisDominance * std::abs(dx);
}

}  // namespace

void TrackpadTouchMonitor::advanceCandidate(gesture::Candidate c, const CoalescedTouchSnapshot& s,
                                            const SwitcherSettings& settings) {
    if (!matchesTriggerFingerCount(s.count, settings)) {
        // Too many fingers refuse the gesture until they lift; too few let it begin again.
        holdWorkItem_.cancel();
        if (exceedsFingerCount(s.count, settings)) {
            setPhase(gesture::CancelledUntilAllLift{});
        } else {
            setPhase(gesture::Idle{});
        }
        return;
    }
    if (s.ids != c.fingerIds) {
        // Other fingers of the same count: a new candidate, while they still qualify.
        if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger && !s.allNearTop) {
            holdWorkItem_.cancel();
            setPhase(gesture::Idle{});
        } else {
            beginCandidate(s, settings);
        }
        return;
    }
    const bool vertical = isVertical(settings);
    const double dx = s.avgX - c.startX;
    const double dy = s.avgY - c.startY;
    if (driftsOffAxis(dx, dy, vertical)) {
        holdWorkItem_.cancel();
        setPhase(gesture::CancelledUntilAllLift{});
        return;
    }
    if (travelsToStart(dx, dy, vertical)) {
        startBySlide(s, dx, dy, vertical);
        return;
    }
    c.lastX = s.avgX;
    c.lastY = s.avgY;
    setPhase(c);
}

// The slide reached the start: the gesture starts, and the travel past the start distance is
// its first scrub.
void TrackpadTouchMonitor::startBySlide(const CoalescedTouchSnapshot& s, double dx, double dy, bool vertical) {
    holdWorkItem_.cancel();
    scrubAxis_ = vertical ? 2 : 1;
    setPhase(gesture::Active{s.avgX, s.avgY, s.ids});
    fireStart();
    const double step = vertical ? (dy + kStartDistance) * kVerticalScale
                                 : (dx > 0 ? dx - kStartDistance : dx + kStartDistance);
    if (std::abs(step) > kScrubDeadZone) fireScrub(step);
}

// Whether the fingers still on the pad end an active gesture: below the trigger's count, or
// none at all with single-finger continue.
bool TrackpadTouchMonitor::activeGestureEnds(int count, const SwitcherSettings& settings) {
    if (settings.allowSingleFingerContinue) return count < 1;
    if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger) return count < 2;
    const std::int64_t fingerCount = settings.fingerCount;
    return fingerCount <= 2 ? count < 3 : count < fingerCount;
}

void TrackpadTouchMonitor::advanceActive(gesture::Active a, const CoalescedTouchSnapshot& s,
                                         const SwitcherSettings& settings) {
    if (activeGestureEnds(s.count, settings)) {
        setPhase(gesture::Idle{});
        activeAnchorX_.reset();
        activeAnchorY_.reset();
        scrubAxis_ = 0;
        fireCommit();
        return;
    }
    const bool vertical = isVertical(settings);
    if (!followCrossAxisSwipe(s, vertical)) return;
    setPhase(gesture::Active{s.avgX, s.avgY, s.ids});
    // A finger was added, lifted or re-identified: re-base without a jump.
    if (s.ids != a.lastFingerIds) return;
    if (scrubAxis_ == 0) scrubAxis_ = vertical ? 2 : 1;
    const double step = scrubAxis_ == 2 ? (s.avgY - a.lastY) * kVerticalScale : s.avgX - a.lastX;
    // Tiny steps are dropped, not accumulated: the stored point has moved on either way.
    if (std::abs(step) > kScrubDeadZone) fireScrub(step);
}

// A swipe across the bar's axis, measured from the anchor the first active frame set: enough
// cross travel, and more than 1.2 x the travel along it. Fires the swipe and moves the anchor;
// false when a listener ended the gesture, which must not come back to life.
bool TrackpadTouchMonitor::followCrossAxisSwipe(const CoalescedTouchSnapshot& s, bool vertical) {
    if (!activeAnchorY_) {
        activeAnchorX_ = s.avgX;
        activeAnchorY_ = s.avgY;
        return true;
    }
    if (!activeAnchorX_) return true;
    const double along = vertical ? s.avgY - *activeAnchorY_ : s.avgX - *activeAnchorX_;
    const double cross = vertical ? s.avgX - *activeAnchorX_ : *activeAnchorY_ - s.avgY;
    if (std::abs(cross) < kCrossAxisDistance || !(std::abs(cross) > kCrossAxisDominance * std::abs(along))) return true;
    activeAnchorX_ = s.avgX;
    activeAnchorY_ = s.avgY;
    fireCrossAxisSwipe(cross > 0 ? +1 : -1);
    return isGestureActive();
}

void TrackpadTouchMonitor::resetGesture() {
    clearGestureCompanions();
    const bool wasActive = isGestureActive();
    setPhase(gesture::Idle{});
    if (wasActive) fireCancel();
}

void TrackpadTouchMonitor::cancelGestureNow() {
    clearGestureCompanions();
    // Nothing is in progress while idle: waiting for a lift here would swallow the next gesture.
    if (std::holds_alternative<gesture::Idle>(phase_)) return;
    const bool wasActive = isGestureActive();
    setPhase(gesture::CancelledUntilAllLift{});
    if (wasActive) fireCancel();
}

void TrackpadTouchMonitor::cancelCurrentGesture() {
    const auto weak = lifetime_.token();
    runtime::runOnMain([this, weak] {
        if (weak.alive()) cancelGestureNow();
    });
}

}  // namespace quillmar
