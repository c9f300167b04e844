#pragma once
// Where the Switch Bar's panel goes on a screen: centred horizontally on the whole screen and
// vertically on its visible frame, then kept 12 points inside the visible frame's sides and 16
// inside its top and bottom (the minimum edge wins when the content does not fit). Global
// bottom-left-origin coordinates.

#include "platform/geometry.h"
#include "platform/screens.h"

namespace quillmar {

platform::Rect hudPanelFrame(const platform::Screen& screen, platform::Size content);
// The vertical clamp alone (the top and bottom margins of the visible frame).
double clampHUDPanelY(const platform::Screen& screen, double y, double height);

}  // namespace quillmar
