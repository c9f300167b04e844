#include "trackpad/touch_frame_reduction.h"

#include <algorithm>
#include <cmath>

namespace quillmar {

namespace {

float clampUnit(float v) { return std::clamp(v, 0.0f, 1.0f); }

double quantize(double v, double steps) { return std::round(v * steps) / steps; }

bool fitsTrigger(const FrameAdmissionView& gate, int count, bool allNearTop) {
    if (gate.triggerStyle == TriggerStyle::topEdgeTwoFinger) return count == 2 && allNearTop;
    if (gate.fingerCount != 0) return count == gate.fingerCount;
    return count == 3 || count == 4;
}

CoalescedTouchSnapshot emptySnapshot(platform::MTDeviceRef device, double timestamp) {
    CoalescedTouchSnapshot s;
    s.device = device;
    s.allNearTop = true;
    s.timestamp = timestamp;
    return s;
}

}  // namespace

bool isAcceptedTouch(const platform::MTTouch& t) {
    if (t.state != 3 && t.state != 4) return false;
    if (!std::isfinite(t.zTotal) || !(t.zTotal > 0.05f)) return false;
    return std::isfinite(t.normalizedVector.position.x) && std::isfinite(t.normalizedVector.position.y);
}

std::optional<CoalescedTouchSnapshot> reduceContactFrame(const FrameAdmissionView& gate, platform::MTDeviceRef device,
                                                         const platform::MTTouch* touches, int count,
                                                         double timestamp) {
    // Admission: during a gesture only the gesture's own trackpad counts (frames without a
    // device are let through); while idle, only when gestures may start or a preview watches.
    bool gestureMode = false;
    if (gate.isNonIdlePhase) {
        if (gate.lockedDeviceBits != 0 && device != nullptr && deviceBits(device) != gate.lockedDeviceBits)
            return std::nullopt;
        gestureMode = true;
    } else if (!((gate.isEnabled && !gate.isSuppressed) || gate.liveTelemetryEnabled)) {
        return std::nullopt;
    }

    // While idle, a frame without fingers still matters when the main thread has yet to see the
    // lift: a drain is queued, the preview shows dots, or the stored snapshot still has fingers
    // (a drain that has already taken it may be moving the recogniser out of idle right now; the
    // lift must follow it or the recogniser would wait for fingers that are gone).
    const bool idleLiftMatters = gate.dispatchPending || gate.latestSnapshotCount > 0;

    count = std::clamp(count, 0, kMaxTouchesPerFrame);
    if (touches == nullptr || count == 0) {
        if (gestureMode || (gate.liveTelemetryEnabled && gate.lastHadTelemetryDots) || idleLiftMatters)
            return emptySnapshot(device, timestamp);
        return std::nullopt;
    }

    float sumX = 0;
    float sumY = 0;
    bool allNearTop = true;
    FingerIDSet ids;
    int accepted = 0;
    for (int i = 0; i < count; ++i) {
        const auto& t = touches[i];
        if (!isAcceptedTouch(t)) continue;
        const float x = clampUnit(t.normalizedVector.position.x);
        const float y = clampUnit(t.normalizedVector.position.y);
        sumX += x;
        sumY += y;
        if (!(y >= kTopEdgeLine)) allNearTop = false;
        ids.insert(t.identifier);
        ++accepted;
    }

    if (!gestureMode) {
        if (!gate.liveTelemetryEnabled && !gate.dispatchPending) {
            if (accepted == 0 ? !idleLiftMatters : !fitsTrigger(gate, accepted, allNearTop)) return std::nullopt;
        } else if (accepted == 0 && !gate.lastHadTelemetryDots && !idleLiftMatters) {
            return std::nullopt;
        }
    }

    CoalescedTouchSnapshot s;
    s.device = device;
    s.count = accepted;
    s.allNearTop = allNearTop;
    s.ids = ids;
    s.timestamp = timestamp;
    if (accepted > 0) {
        const double scale = 1.0 / accepted;
        s.avgX = static_cast<double>(sumX) * scale;
        s.avgY = static_cast<double>(sumY) * scale;
    }

    if (gate.liveTelemetryEnabled && accepted > 0) {
        s.dots.reserve(static_cast<std::size_t>(accepted));
        for (int i = 0; i < count; ++i) {
            const auto& t = touches[i];
            if (!isAcceptedTouch(t)) continue;
            s.dots.push_back(TouchDot{
                t.identifier,
                quantize(clampUnit(t.normalizedVector.position.x), 512),
                quantize(clampUnit(t.normalizedVector.position.y), 512),
                quantize(std::min(static_cast<double>(t.zTotal), 4.0), 128),
            });
        }
    }
    return s;
}

}  // namespace quillmar
