#pragma once
// The attached screens and the pointer. Screen frames and the pointer are in global coordinates
// with the origin at the bottom-left corner of the primary screen (the first one, which carries
// the menu bar) and y growing upwards. The window server uses top-left-origin coordinates with y
// growing downwards; toWindowServer / fromWindowServer convert between the two.
// A change of screens posts screenParametersDidChangeNotification on
// runtime::NotificationCenter::defaultCenter().

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "runtime/world.h"

namespace quillmar::platform {

struct Screen {
    std::uint32_t displayID = 0;
    std::string name;
    Rect frame;          // the whole screen
    Rect visibleFrame;   // without the menu bar and the Dock
    double backingScaleFactor = 2;

    bool operator==(const Screen&) const = default;
};

class Screens {
public:
    virtual ~Screens() = default;

    static Screens& shared() { return runtime::World::shared<Screens>(); }

    static constexpr const char* screenParametersDidChangeNotification = "ApplicationDidChangeScreenParameters";

    // Every attached screen, the primary one first; empty when none is attached.
    virtual std::vector<Screen> screens() const = 0;
    // The screen holding the window that has keyboard focus (the primary one when in doubt).
    virtual std::optional<Screen> mainScreen() const = 0;
    // The pointer, in global bottom-left-origin coordinates.
    virtual Point mouseLocation() const = 0;

    // Helpers over screens().
    // The first screen whose frame contains p (min edges in, max edges out).
    std::optional<Screen> screenContaining(Point p) const;
    // Height of the primary screen, the pivot of the two coordinate systems (0 without screens).
    double primaryScreenHeight() const;
    Rect toWindowServer(const Rect& global) const;
    Rect fromWindowServer(const Rect& windowServer) const;
};

}  // namespace quillmar::platform
