#include "platform/sim/sim_event_tap.h"

#include <memory>

#include "runtime/world.h"

namespace quillmar::platform::sim {

SimEventTap& SimEventTap::install() {
    auto taps = std::make_unique<SimEventTap>();
    auto& installed = *taps;
    runtime::World::install<EventTap>(std::move(taps));
    return installed;
}

std::optional<EventTapID> SimEventTap::createSessionTap(std::uint64_t eventMask, EventTapCallback callback) {
    if (refusesCreation_ || !callback) return std::nullopt;
    const EventTapID id = nextID_++;
    taps_[id] = Tap{eventMask, std::move(callback), true, false};
    return id;
}

bool SimEventTap::addToMainRunLoop(EventTapID tap) {
    auto it = taps_.find(tap);
    if (it == taps_.end() || !sourceAvailable_) return false;
    it->second.hasSource = true;
    return true;
}

void SimEventTap::setEnabled(EventTapID tap, bool enabled) {
    ++setEnabledCalls_;
    if (auto it = taps_.find(tap); it != taps_.end()) it->second.enabled = enabled;
}

bool SimEventTap::isEnabled(EventTapID tap) const {
    auto it = taps_.find(tap);
    return it != taps_.end() && it->second.enabled;
}

std::optional<EventTapID> SimEventTap::lastTap() const {
    if (taps_.empty()) return std::nullopt;
    return taps_.rbegin()->first;
}

TapDecision SimEventTap::post(const TapEvent& event) {
    // Head insertion: the newest tap sees the event first.
    for (auto it = taps_.rbegin(); it != taps_.rend(); ++it) {
        auto& tap = it->second;
        if (!tap.enabled || !tap.hasSource || (tap.mask & eventMaskBit(event.type)) == 0) continue;
        ++callbackCalls_;
        auto callback = tap.callback;
        if (callback(event) == TapDecision::swallow) return TapDecision::swallow;
    }
    delivered_.push_back(event);
    return TapDecision::pass;
}

void SimEventTap::notifyDisabled(EventTapID id, std::int32_t type) {
    auto it = taps_.find(id);
    if (it == taps_.end()) return;
    it->second.enabled = false;
    if (!it->second.hasSource) return;
    TapEvent notice;
    notice.type = type;
    ++callbackCalls_;
    auto callback = it->second.callback;
    callback(notice);
}

void SimEventTap::disableByTimeout(EventTapID tap) { notifyDisabled(tap, event_type::tapDisabledByTimeout); }
void SimEventTap::disableByUserInput(EventTapID tap) { notifyDisabled(tap, event_type::tapDisabledByUserInput); }

TapEvent SimEventTap::keyDown(std::int64_t keyCode, std::uint64_t flags, bool isAutoRepeat) {
    TapEvent e;
    e.type = event_type::keyDown;
    e.keyCode = keyCode;
    e.flags = flags;
    e.isAutoRepeat = isAutoRepeat;
    return e;
}

TapEvent SimEventTap::scroll(double deltaY, ScrollPhase phase, ScrollPhase momentum) {
    TapEvent e;
    e.type = event_type::scrollWheel;
    e.scrollDeltaY = deltaY;
    e.scrollPhase = phase;
    e.momentumPhase = momentum;
    return e;
}

TapEvent SimEventTap::systemGesture(std::int32_t type) {
    TapEvent e;
    e.type = type;
    return e;
}

}  // namespace quillmar::platform::sim
