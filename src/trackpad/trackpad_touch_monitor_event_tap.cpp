// The session event tap: switched on only while a gesture is active, it swallows background
// scrolling (and, with the vertical list, the system's gesture events) and hands key presses to
// the Switch Bar.

#include <climits>

#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar {

void TrackpadTouchMonitor::installEventTap() {
    if (eventTap_ || !trusted()) return;
    auto* backend = platform::EventTap::installed();
    if (!backend) return;
    namespace et = platform::event_type;
    std::uint64_t mask = platform::eventMaskBit(et::keyDown) | platform::eventMaskBit(et::scrollWheel);
    for (std::int32_t type : {et::rotate, et::gesture, et::magnify, et::swipe, et::smartMagnify})
        mask |= platform::eventMaskBit(type);

    const auto weak = lifetime_.token();
    auto tap = backend->createSessionTap(mask, [this, weak](const platform::TapEvent& event) {
        if (!weak.alive()) return platform::TapDecision::pass;
        return handleTapEvent(event);
    });
    if (!tap) return;  // a later call tries again
    eventTap_ = *tap;
    backend->addToMainRunLoop(*tap);

    bool wanted = false;
    {
        std::lock_guard lock(fastLock_);
        wanted = gate_.isGestureActiveAtomic && gate_.isEnabled;
    }
    isScrollTapEnabled_ = wanted;
    backend->setEnabled(*tap, wanted);
}

void TrackpadTouchMonitor::ensureEventTapCreated() {
    installEventTap();
}

void TrackpadTouchMonitor::setScrollTapEnabled(bool wanted) {
    if (!eventTap_ || wanted == isScrollTapEnabled_) return;
    isScrollTapEnabled_ = wanted;
    if (auto* backend = platform::EventTap::installed()) backend->setEnabled(*eventTap_, wanted);
}

platform::TapDecision TrackpadTouchMonitor::handleTapEvent(const platform::TapEvent& event) {
    using platform::TapDecision;
    namespace et = platform::event_type;

    bool enabled = false;
    bool active = false;
    bool suppressScroll = false;
    bool vertical = false;
    {
        std::lock_guard lock(fastLock_);
        enabled = gate_.isEnabled;
        active = gate_.isGestureActiveAtomic;
        suppressScroll = gate_.suppressBackgroundScroll;
        vertical = gate_.verticalLayout;
    }

    switch (event.type) {
        case et::tapDisabledByTimeout: {
            // The system gave up on a slow callback: back on at once while a gesture runs, else
            // recorded as off so that the next enable really reaches the system.
            auto* backend = platform::EventTap::installed();
            if (enabled && active && eventTap_ && backend) {
                backend->setEnabled(*eventTap_, true);
                isScrollTapEnabled_ = true;
            } else {
                isScrollTapEnabled_ = false;
            }
            return TapDecision::pass;
        }
        case et::tapDisabledByUserInput:
            isScrollTapEnabled_ = false;
            return TapDecision::pass;
        case et::keyDown: {
            if (!(enabled && active)) return TapDecision::pass;
            const std::int64_t code = event.keyCode;
            const bool tracked = code >= 0 && code < static_cast<std::int64_t>(keysTakenByBar_.size());
            if (event.isAutoRepeat) {
                // A held key repeats: the bar acted on its press once; the repeats must neither
                // act again (holding Q would quit app after app) nor reach the app behind. A key
                // held since before the gesture was never the bar's and keeps going to the app.
                if (tracked && keysTakenByBar_.test(static_cast<std::size_t>(code))) return TapDecision::swallow;
                return TapDecision::pass;
            }
            auto forward = onForwardedKeyDown;
            if (!forward) return TapDecision::pass;
            const int keyCode = code < INT_MIN ? INT_MIN : (code > INT_MAX ? INT_MAX : static_cast<int>(code));
            if (!forward(keyCode)) return TapDecision::pass;
            if (tracked) keysTakenByBar_.set(static_cast<std::size_t>(code));
            return TapDecision::swallow;
        }
        case et::scrollWheel:
            return enabled && active && suppressScroll ? TapDecision::swallow : TapDecision::pass;
        default:
            return enabled && vertical && active ? TapDecision::swallow : TapDecision::pass;
    }
}

}  // namespace quillmar
