#pragma once
// Cuts polygons down to a rectangle (Sutherland–Hodgman against each side). Because the
// rectangle is convex, the winding number of every point inside it is kept, so clipped
// polygons fill exactly like the originals there, under either fill rule. Used to keep
// far-off geometry out of Cairo, which would otherwise allocate for its full extent.

#include <vector>

#include "gfx/geometry.h"

namespace quillmar::gfx {

std::vector<Point> clipPolygonToRect(const std::vector<Point>& polygon, const Rect& rect);

}  // namespace quillmar::gfx
