#pragma once
// The per-frame reduction run on the framework's thread: decides from a copy of the gate
// whether a contact frame matters, and reduces it to one snapshot. Touches the gate copy only;
// allocates nothing unless live telemetry asks for dots.

#include <cstdint>
#include <optional>

#include "platform/multitouch_framework.h"
#include "trackpad/coalesced_touch_snapshot.h"
#include "trackpad/fast_touch_gate.h"

namespace quillmar {

// The most touches of one frame that are looked at.
inline constexpr int kMaxTouchesPerFrame = 32;
// Every finger of a top-edge trigger lies at or above this line.
inline constexpr float kTopEdgeLine = 0.72f;

inline std::uintptr_t deviceBits(platform::MTDeviceRef device) { return reinterpret_cast<std::uintptr_t>(device); }

// Whether a touch counts: touching (state 3 or 4), a finite size above 0.05 and a finite position.
bool isAcceptedTouch(const platform::MTTouch& touch);

// The snapshot the frame yields, or nullopt when the frame is to be ignored. count is clamped to
// 0...32; a null touches pointer is a frame without fingers.
std::optional<CoalescedTouchSnapshot> reduceContactFrame(const FrameAdmissionView& gate, platform::MTDeviceRef device,
                                                         const platform::MTTouch* touches, int count,
                                                         double timestamp);

}  // namespace quillmar
