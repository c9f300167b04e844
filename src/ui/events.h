#pragma once
// Input delivered to views: pointer hover phases, drags and key presses. Tests and the demo
// runner inject them through the hosting view.

#include <cstdint>
#include <string>

#include "ui/layout_types.h"

namespace quillmar::ui {

// One report of continuous hover: the pointer is over the view at `location` (in the view's own
// coordinates), or has left it.
struct HoverPhase {
    bool active = false;
    Point location;

    static HoverPhase at(Point p) { return {true, p}; }
    static HoverPhase ended() { return {false, {}}; }
    friend bool operator==(const HoverPhase&, const HoverPhase&) = default;
};

// A pointer drag on a view, in the view's own coordinates.
struct DragValue {
    Point startLocation;
    Point location;
    Size viewSize;  // the size of the view that handles the drag
    Point translation() const { return location - startLocation; }
};

struct KeyModifiers {
    bool command = false;
    bool shift = false;
    bool option = false;
    bool control = false;
    bool capsLock = false;
    friend bool operator==(const KeyModifiers&, const KeyModifiers&) = default;
};

struct KeyEvent {
    int keyCode = 0;
    std::string characters;  // as typed, e.g. "w"
    KeyModifiers modifiers;
    bool isRepeat = false;
};

}  // namespace quillmar::ui
