#pragma once
// The live touches behind the settings window's trackpad stage. Filled from the frame path only
// while a preview asks for it; written on the main thread, and only when the list changes.

#include <vector>

#include "runtime/published.h"
#include "trackpad/touch_dot.h"

namespace quillmar {

class TrackpadStageTelemetry : public runtime::ObservableObject {
public:
    TrackpadStageTelemetry() : liveTouches({}, this) {}

    runtime::Published<std::vector<TouchDot>> liveTouches;

    // Publishes dots unless they equal what is shown already.
    void show(const std::vector<TouchDot>& dots) {
        if (liveTouches.get() != dots) liveTouches.set(dots);
    }
    void clear() {
        if (!liveTouches->empty()) liveTouches.set({});
    }
};

}  // namespace quillmar
