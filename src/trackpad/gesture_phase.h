#pragma once
// Where the gesture recogniser stands. Only idle lets a gesture begin; a refused or cancelled
// gesture ignores every frame until one without fingers arrives.

#include <variant>

#include "trackpad/finger_id_set.h"

namespace quillmar::gesture {

struct Idle {
    bool operator==(const Idle&) const = default;
};

// The right fingers are down; waiting for a slide or the hold time.
struct Candidate {
    double startTime = 0;  // frame timestamp
    double startX = 0;
    double startY = 0;
    double lastX = 0;
    double lastY = 0;
    FingerIDSet fingerIds;
    bool operator==(const Candidate&) const = default;
};

// The gesture runs; the Switch Bar is shown.
struct Active {
    double lastX = 0;
    double lastY = 0;
    FingerIDSet lastFingerIds;
    bool operator==(const Active&) const = default;
};

struct CancelledUntilAllLift {
    bool operator==(const CancelledUntilAllLift&) const = default;
};

}  // namespace quillmar::gesture

namespace quillmar {
using GesturePhase = std::variant<gesture::Idle, gesture::Candidate, gesture::Active, gesture::CancelledUntilAllLift>;
}  // namespace quillmar
