#pragma once
// The graphics layer draws in the shared plane geometry (runtime/geometry.h): points, origin at
// the top-left corner, y DOWNWARD, angles in radians turning clockwise on screen.

#include "runtime/geometry.h"

namespace quillmar::gfx {

using quillmar::Angle;
using quillmar::aspectFill;
using quillmar::aspectFit;
using quillmar::distance;
using quillmar::EdgeInsets;
using quillmar::Point;
using quillmar::Rect;
using quillmar::Size;
using quillmar::UnitPoint;

}  // namespace quillmar::gfx
