#pragma once
// One event of the recogniser as observers other than the Switch Bar see it (the demo's log):
// emitted just before the matching callback runs.

#include <string_view>

namespace quillmar {

struct GestureEvent {
    enum class Kind { start, scrub, commit, cancel, crossAxisSwipe };
    Kind kind = Kind::start;
    double value = 0;  // scrub: the step; cross-axis swipe: +1 or -1; otherwise 0

    static constexpr std::string_view name(Kind kind) {
        switch (kind) {
            case Kind::start: return "gestureStart";
            case Kind::scrub: return "gestureScrub";
            case Kind::commit: return "gestureCommit";
            case Kind::cancel: return "gestureCancel";
            case Kind::crossAxisSwipe: return "gestureCrossAxisSwipe";
        }
        return {};
    }
};

}  // namespace quillmar
