#pragma once
// The trackpad gate: a small mirror of the gesture settings and of the recogniser's state,
// written on the main thread and read by the frame thread and the event tap, always under the
// gate lock. It also carries the frame thread's hand-over to the main loop: the newest
// snapshot, the held-back pre-lift snapshot and whether a drain is already queued.

#include <cstdint>
#include <optional>

#include "settings/settings_enums.h"
#include "trackpad/coalesced_touch_snapshot.h"

namespace quillmar {

struct FastTouchGate {
    bool isEnabled = true;
    bool isSuppressed = false;
    TriggerStyle triggerStyle = TriggerStyle::holdAndSlide;
    int fingerCount = 4;  // effective: 4 instead of 0 while the system's three-finger drag is on
    bool suppressBackgroundScroll = true;
    bool verticalLayout = false;
    bool liveTelemetryEnabled = false;
    bool isNonIdlePhase = false;
    bool isGestureActiveAtomic = false;
    std::uintptr_t lockedDeviceBits = 0;
    bool lastHadTelemetryDots = false;
    bool dispatchPending = false;
    // Moves on whenever the touches of a trackpad that went are dropped: a frame reduced before
    // that is not stored after it.
    std::uint32_t touchEpoch = 0;
    std::optional<CoalescedTouchSnapshot> pendingPreLiftSnapshot;
    // A lift the main thread has not seen yet when new fingers land: fed before them.
    std::optional<CoalescedTouchSnapshot> pendingLiftSnapshot;
    CoalescedTouchSnapshot latestSnapshot;
};

// The part of the gate the frame reduction decides with: every flag, and the finger count of
// the stored snapshot, copied without the snapshots themselves so that the copy never allocates.
struct FrameAdmissionView {
    bool isEnabled = true;
    bool isSuppressed = false;
    TriggerStyle triggerStyle = TriggerStyle::holdAndSlide;
    int fingerCount = 4;
    bool liveTelemetryEnabled = false;
    bool isNonIdlePhase = false;
    std::uintptr_t lockedDeviceBits = 0;
    bool lastHadTelemetryDots = false;
    bool dispatchPending = false;
    std::uint32_t touchEpoch = 0;
    int latestSnapshotCount = 0;

    static FrameAdmissionView of(const FastTouchGate& g) {
        FrameAdmissionView v;
        v.isEnabled = g.isEnabled;
        v.isSuppressed = g.isSuppressed;
        v.triggerStyle = g.triggerStyle;
        v.fingerCount = g.fingerCount;
        v.liveTelemetryEnabled = g.liveTelemetryEnabled;
        v.isNonIdlePhase = g.isNonIdlePhase;
        v.lockedDeviceBits = g.lockedDeviceBits;
        v.lastHadTelemetryDots = g.lastHadTelemetryDots;
        v.dispatchPending = g.dispatchPending;
        v.touchEpoch = g.touchEpoch;
        v.latestSnapshotCount = g.latestSnapshot.count;
        return v;
    }
};

}  // namespace quillmar
