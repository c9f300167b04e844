#pragma once
// Turns a stroke into filled polygons: one outline per run of segments between the path's own
// corners (a curve's flattened pieces go together), plus join and cap pieces, each wound the
// same way, so that filling them all with the non-zero rule paints the stroke.
// The outline is built in user space and then mapped to device pixels, so a non-uniform
// transform distorts the line width exactly as it distorts the path.

#include <vector>

#include "gfx/affine_transform.h"
#include "gfx/path.h"
#include "gfx/stroke_style.h"

namespace quillmar::gfx {

// Appends the stroke's pieces (device coordinates) to `out`. `tolerance` is in device pixels.
void outlineStroke(const Path& path, const StrokeStyle& style, const AffineTransform& toDevice,
                   double tolerance, std::vector<std::vector<Point>>& out);

}  // namespace quillmar::gfx
