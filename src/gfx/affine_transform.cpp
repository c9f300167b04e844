#include "gfx/affine_transform.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {

AffineTransform AffineTransform::rotation(Angle angle) {
    double s = std::sin(angle.rad), c = std::cos(angle.rad);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concatenating(const AffineTransform& f) const {
    // this ∘ f: p -> this(f(p))
    return {a * f.a + c * f.b,           b * f.a + d * f.b,
            a * f.c + c * f.d,           b * f.c + d * f.d,
            a * f.tx + c * f.ty + tx,    b * f.tx + d * f.ty + ty};
}

Rect AffineTransform::apply(const Rect& r) const {
    Point p[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                  apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
    double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const Point& q : p) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

bool AffineTransform::isFinite() const {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) &&
           std::isfinite(tx) && std::isfinite(ty);
}

bool AffineTransform::isInvertible() const {
    if (!isFinite()) return false;
    double det = determinant();
    // Relative to the scale of the matrix, so that tiny but uniform scales remain usable.
    double norm = std::max({std::fabs(a), std::fabs(b), std::fabs(c), std::fabs(d)});
    return norm > 0 && std::fabs(det) > 1e-12 * norm * norm && std::isfinite(1.0 / det);
}

AffineTransform AffineTransform::inverted() const {
    if (!isInvertible()) return {};
    double det = determinant();
    double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
}

double AffineTransform::maxScale() const {
    return std::max(std::hypot(a, b), std::hypot(c, d));
}

}  // namespace quillmar::gfx
