#pragma once
// The Switch Bar's layout as the festive state needs it, written whole by the bar's view when it
// changes: the content size, the floor line of the particle physics, the bar's orientation, one
// spawn anchor per listed entry and the horizontal span the vertical list spawns over. Points,
// origin at the top left, y downward.

#include <vector>

#include "festive_hud/festive_closed_range.h"
#include "gfx/geometry.h"

namespace quillmar {

struct HUDFestiveGeometry {
    gfx::Size size{};                     // the bar's laid-out content size
    double floorY = 0;                    // floor line; 0 or less means the bottom edge
    bool isVertical = false;              // the vertical list is shown
    std::vector<gfx::Point> itemAnchors;  // one per entry, in list order
    FestiveClosedRange rowSpanX{0, 1};    // horizontal span usable for spawning on the list

    friend bool operator==(const HUDFestiveGeometry&, const HUDFestiveGeometry&) = default;
};

}  // namespace quillmar
