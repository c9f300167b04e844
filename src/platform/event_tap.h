#pragma once
// The session event tap: an active filter at the head of the session's event stream. Its
// callback runs on the main loop for each event of the types in its mask and decides whether the
// event goes on to its target or is swallowed. The system refuses a tap to a process without the
// Accessibility permission, disables a tap whose callback is too slow (and tells the callback
// so with tapDisabledByTimeout) and may disable it on the user's behalf (tapDisabledByUserInput).

#include <cstdint>
#include <functional>
#include <optional>

#include "runtime/world.h"

namespace quillmar::platform {

// Numeric event types as the system numbers them.
namespace event_type {
inline constexpr std::int32_t keyDown = 10;
inline constexpr std::int32_t rotate = 18;
inline constexpr std::int32_t scrollWheel = 22;
inline constexpr std::int32_t gesture = 29;
inline constexpr std::int32_t magnify = 30;
inline constexpr std::int32_t swipe = 31;
inline constexpr std::int32_t smartMagnify = 32;
inline constexpr std::int32_t tapDisabledByTimeout = -2;    // 0xFFFFFFFE
inline constexpr std::int32_t tapDisabledByUserInput = -1;  // 0xFFFFFFFF
}  // namespace event_type

// Phases of a scroll-wheel event (gesture phase and momentum phase share the values).
enum class ScrollPhase : std::int32_t { none = 0, began = 1, changed = 2, ended = 4, cancelled = 8, mayBegin = 128 };

// Modifier flag bits of an event.
namespace event_flags {
inline constexpr std::uint64_t alphaShift = 0x00010000;
inline constexpr std::uint64_t shift = 0x00020000;
inline constexpr std::uint64_t control = 0x00040000;
inline constexpr std::uint64_t alternate = 0x00080000;
inline constexpr std::uint64_t command = 0x00100000;
}  // namespace event_flags

struct TapEvent {
    std::int32_t type = 0;
    // Key down: the virtual key code (field 9 of a keyboard event), the modifier flags and
    // whether the key is repeating because it is held down.
    std::int64_t keyCode = 0;
    std::uint64_t flags = 0;
    bool isAutoRepeat = false;
    // Scroll wheel: the travel and its phases.
    double scrollDeltaX = 0;
    double scrollDeltaY = 0;
    ScrollPhase scrollPhase = ScrollPhase::none;
    ScrollPhase momentumPhase = ScrollPhase::none;
};

enum class TapDecision { pass, swallow };

using EventTapCallback = std::function<TapDecision(const TapEvent&)>;
using EventTapID = std::uint32_t;

constexpr std::uint64_t eventMaskBit(std::int32_t type) {
    return type >= 0 && type < 64 ? (std::uint64_t{1} << type) : 0;
}

class EventTap {
public:
    virtual ~EventTap() = default;

    // The installed backend, or null when the system offers no event taps.
    static EventTap* installed() { return runtime::World::find<EventTap>(); }

    // Main thread. Creates a session tap at the head of the stream, as an active filter, for the
    // event types in mask. nullopt when the system refuses (no Accessibility permission, ...).
    // A new tap is enabled; the disabled notifications reach the callback whatever the mask.
    virtual std::optional<EventTapID> createSessionTap(std::uint64_t eventMask, EventTapCallback callback) = 0;
    // Creates the tap's run-loop source and adds it to the main loop; false when that fails (the
    // tap then never delivers).
    virtual bool addToMainRunLoop(EventTapID tap) = 0;
    virtual void setEnabled(EventTapID tap, bool enabled) = 0;
    virtual bool isEnabled(EventTapID tap) const = 0;
};

}  // namespace quillmar::platform
