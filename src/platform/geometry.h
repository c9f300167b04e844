#pragma once
// The platform layer reads points, sizes and rectangles in the shared plane geometry
// (runtime/geometry.h). A rectangle from the window server may carry a negative size; its edges
// are those of the standardised rectangle.

#include "runtime/geometry.h"

namespace quillmar::platform {

using quillmar::Point;
using quillmar::Rect;
using quillmar::Size;

}  // namespace quillmar::platform
