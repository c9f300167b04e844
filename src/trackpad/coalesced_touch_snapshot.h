#pragma once
// One contact frame reduced to what the gesture recogniser needs: how many fingers, where their
// centroid lies, who they are, whether they all rest near the top edge, and, while a preview
// asks for them, the quantised dots.

#include <cstdint>
#include <vector>

#include "platform/multitouch_framework.h"
#include "trackpad/finger_id_set.h"
#include "trackpad/touch_dot.h"

namespace quillmar {

struct CoalescedTouchSnapshot {
    platform::MTDeviceRef device = nullptr;  // the device that sent the frame (may be null)
    int count = 0;                           // accepted touches
    double avgX = 0;                         // centroid; 0 without touches
    double avgY = 0;
    bool allNearTop = false;                 // every accepted touch at y >= 0.72 (true without touches)
    FingerIDSet ids;
    double timestamp = 0;                    // the frame's timestamp
    std::vector<TouchDot> dots;              // empty unless live telemetry is on
};

}  // namespace quillmar
