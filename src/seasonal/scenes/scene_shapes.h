#pragma once
// Small shapes, shadings and stroke styles that the seasonal scenes share.

#include <initializer_list>
#include <vector>

#include "gfx/affine_transform.h"
#include "gfx/path.h"
#include "gfx/shading.h"
#include "gfx/stroke_style.h"

namespace quillmar::scenes {

inline constexpr double kPi = 3.14159265358979323846;

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// The vector v turned by `radians` (clockwise on screen).
inline gfx::Point rotated(gfx::Point v, double radians) {
    return gfx::AffineTransform::rotation(gfx::Angle::radians(radians)).applyToVector(v);
}

// A four-pointed star with concave sides: from the top tip, quadratic curves through the right,
// bottom and left tips back to the top, every curve pulled toward the centre.
gfx::Path sparklePath(double x, double y, double r);

inline gfx::Path circlePath(double x, double y, double r) { return gfx::Path::circle({x, y}, r); }

// Radial gradient from radius 0 at `centre` to `radius`, colours spaced evenly.
gfx::Shading radialShading(gfx::Point centre, double radius, std::initializer_list<gfx::Color> colors);
// Radial gradient with explicit stop locations.
gfx::Shading radialShading(gfx::Point centre, double radius, std::vector<gfx::GradientStop> stops);
// A glow that fades to clear at `radius` paints nothing beyond it, so a layer that washes the
// whole canvas with it fills just the circle: the same picture with only the circle's pixels
// visited.
inline gfx::Path glowCircle(gfx::Point centre, double radius) { return gfx::Path::circle(centre, radius); }

// Linear gradient between two points, colours spaced evenly.
gfx::Shading linearShading(gfx::Point from, gfx::Point to, std::initializer_list<gfx::Color> colors);
gfx::Shading linearShading(gfx::Point from, gfx::Point to, std::vector<gfx::GradientStop> stops);

// Stroke styles with round caps: mitred joins (the usual streak) or round joins.
inline gfx::StrokeStyle roundCapStroke(double width) {
    return {width, gfx::LineCap::round, gfx::LineJoin::miter, 10, {}, 0};
}
inline gfx::StrokeStyle roundStroke(double width) {
    return {width, gfx::LineCap::round, gfx::LineJoin::round, 10, {}, 0};
}
// Butt caps and mitred joins.
inline gfx::StrokeStyle plainStroke(double width) {
    return {width, gfx::LineCap::butt, gfx::LineJoin::miter, 10, {}, 0};
}

}  // namespace quillmar::scenes
