#pragma once
// A 2-D affine transform mapping (x, y) to (a x + c y + tx, b x + d y + ty), the same layout as
// Cairo's matrix. Composition follows the drawing model: `t.translatedBy(...)` prepends the
// translation, so it acts first on points and the result maps through `t` afterwards, exactly
// like translating a context whose transform is `t`.

#include "gfx/geometry.h"

namespace quillmar::gfx {

struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr AffineTransform identity() { return {}; }
    static constexpr AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static constexpr AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform rotation(Angle angle);

    // Applies `first` before this transform: result(p) = this(first(p)).
    AffineTransform concatenating(const AffineTransform& first) const;
    AffineTransform translatedBy(double x, double y) const { return concatenating(translation(x, y)); }
    AffineTransform scaledBy(double sx, double sy) const { return concatenating(scale(sx, sy)); }
    AffineTransform rotatedBy(Angle angle) const { return concatenating(rotation(angle)); }

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    Point applyToVector(Point v) const { return {a * v.x + c * v.y, b * v.x + d * v.y}; }
    // Bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;

    double determinant() const { return a * d - b * c; }
    bool isFinite() const;
    // Finite and not collapsing the plane to a line or a point.
    bool isInvertible() const;
    AffineTransform inverted() const;  // identity when not invertible
    bool isIdentity() const { return *this == AffineTransform{}; }
    // The larger of the two axis scale factors: how much a length of 1 may grow.
    double maxScale() const;

    friend constexpr bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

}  // namespace quillmar::gfx
