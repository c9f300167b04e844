#pragma once
// The simulated session event stream and its taps. post() sends one event down the stream: each
// enabled tap with a run-loop source whose mask holds the event's type sees it, newest tap
// first, and may swallow it; an event nobody swallows reaches the app under the pointer and is
// recorded in delivered(). The system's two ways of switching a tap off are simulated too.
// Main thread only.
//
//   auto& taps = SimEventTap::install();
//   taps.post(SimEventTap::scroll(-3));          // TapDecision::pass: the app scrolled
//   taps.post(SimEventTap::keyDown(12, 0, true)); // an auto-repeated Q

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/event_tap.h"

namespace quillmar::platform::sim {

class SimEventTap final : public EventTap {
public:
    static SimEventTap& install();

    std::optional<EventTapID> createSessionTap(std::uint64_t eventMask, EventTapCallback callback) override;
    bool addToMainRunLoop(EventTapID tap) override;
    void setEnabled(EventTapID tap, bool enabled) override;
    bool isEnabled(EventTapID tap) const override;

    // Creation is refused while set (as without the Accessibility permission).
    void setRefusesCreation(bool refuses) { refusesCreation_ = refuses; }
    void setRunLoopSourceAvailable(bool available) { sourceAvailable_ = available; }

    // Sends an event down the stream; swallow when a tap took it.
    TapDecision post(const TapEvent& event);
    // The system disables the tap for a slow callback, or on the user's behalf, and says so.
    void disableByTimeout(EventTapID tap);
    void disableByUserInput(EventTapID tap);

    std::size_t tapCount() const { return taps_.size(); }
    // The newest tap, if any.
    std::optional<EventTapID> lastTap() const;
    // How often taps' callbacks ran, and how often enable state was set.
    int callbackCalls() const { return callbackCalls_; }
    int setEnabledCalls() const { return setEnabledCalls_; }
    const std::vector<TapEvent>& delivered() const { return delivered_; }

    static TapEvent keyDown(std::int64_t keyCode, std::uint64_t flags = 0, bool isAutoRepeat = false);
    static TapEvent scroll(double deltaY, ScrollPhase phase = ScrollPhase::changed,
                           ScrollPhase momentum = ScrollPhase::none);
    static TapEvent systemGesture(std::int32_t type);

private:
    struct Tap {
        std::uint64_t mask = 0;
        EventTapCallback callback;
        bool enabled = true;
        bool hasSource = false;
    };
    void notifyDisabled(EventTapID id, std::int32_t type);

    std::map<EventTapID, Tap> taps_;
    EventTapID nextID_ = 1;
    bool refusesCreation_ = false;
    bool sourceAvailable_ = true;
    int callbackCalls_ = 0;
    int setEnabledCalls_ = 0;
    std::vector<TapEvent> delivered_;
};

}  // namespace quillmar::platform::sim
