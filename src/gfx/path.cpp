#include "gfx/path.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Control points of one corner in corner-local units (see appendCorner). The continuous corner
// runs 1.528 radii along each edge and reaches the diagonal at 0.29 radii; both halves keep their
// inner control points on the edge line, so curvature starts at zero where the edge ends and
// grows smoothly toward the diagonal, instead of jumping as a circular arc does.
struct CornerShape {
    double p;   // where the corner leaves the edge
    double c1;  // first control, on the edge
    Point c2;   // second control
    double d;   // the diagonal point (d, d)
};
constexpr CornerShape kContinuous{1.528, 1.0, {0.58, 0.0}, 0.29};
// A quarter circle cut at 45 degrees, in the same form (controls 4/3·tan(π/16) from the ends).
constexpr CornerShape kCircular{1.0, 1.0 - 0.2652164898, {0.2928932188 + 0.1875347, 0.2928932188 - 0.1875347},
                                0.2928932188};

CornerShape lerp(const CornerShape& a, const CornerShape& b, double t) {
    auto l = [t](double x, double y) { return x + (y - x) * t; };
    return {l(a.p, b.p), l(a.c1, b.c1), {l(a.c2.x, b.c2.x), l(a.c2.y, b.c2.y)}, l(a.d, b.d)};
}

bool finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

void Path::move(Point to) {
    if (!finite(to)) return;
    elements_.push_back({ElementKind::move, {to, {}, {}}});
    current_ = subpathStart_ = to;
    hasCurrent_ = true;
}

void Path::addLine(Point to) {
    if (!finite(to)) return;
    if (!hasCurrent_) { move(to); return; }
    elements_.push_back({ElementKind::line, {to, {}, {}}});
    current_ = to;
}

void Path::addQuadCurve(Point to, Point control) {
    if (!finite(to) || !finite(control)) return;
    if (!hasCurrent_) move(control);
    elements_.push_back({ElementKind::quad, {control, to, {}}});
    current_ = to;
}

void Path::addCurve(Point to, Point control1, Point control2) {
    if (!finite(to) || !finite(control1) || !finite(control2)) return;
    if (!hasCurrent_) move(control1);
    elements_.push_back({ElementKind::cubic, {control1, control2, to}});
    current_ = to;
}

void Path::closeSubpath() {
    if (!hasCurrent_ || elements_.empty() || elements_.back().kind == ElementKind::close) return;
    elements_.push_back({ElementKind::close, {}});
    current_ = subpathStart_;
}

void Path::addArc(Point center, double radius, Angle startAngle, Angle endAngle, bool clockwise) {
    double a0 = startAngle.rad, a1 = endAngle.rad;
    if (!finite(center) || !std::isfinite(radius) || radius < 0 || !std::isfinite(a0) || !std::isfinite(a1))
        return;
    Point start{center.x + radius * std::cos(a0), center.y + radius * std::sin(a0)};
    bool fresh = !hasCurrent_ || elements_.empty() || elements_.back().kind == ElementKind::close;
    if (fresh) move(start); else addLine(start);
    if (radius == 0) return;

    // Sweep: increasing angle unless clockwise, wrapped into one turn (a sweep of a whole turn or
    // more draws the full circle once).
    double sweep = a1 - a0;
    const double turn = 2 * kPi;
    if (!clockwise) {
        if (sweep >= turn) sweep = turn;
        else { sweep = std::fmod(sweep, turn); if (sweep < 0) sweep += turn; }
    } else {
        if (sweep <= -turn) sweep = -turn;
        else { sweep = std::fmod(sweep, turn); if (sweep > 0) sweep -= turn; }
    }
    if (sweep == 0) return;
    int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    double step = sweep / segments;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    double a = a0;
    for (int i = 0; i < segments; ++i) {
        double b = a + step;
        Point p0{center.x + radius * std::cos(a), center.y + radius * std::sin(a)};
        Point p3{center.x + radius * std::cos(b), center.y + radius * std::sin(b)};
        Point c1{p0.x - k * radius * std::sin(a), p0.y + k * radius * std::cos(a)};
        Point c2{p3.x + k * radius * std::sin(b), p3.y - k * radius * std::cos(b)};
        addCurve(p3, c1, c2);
        a = b;
    }
}

void Path::addEllipse(const Rect& r) {
    if (!r.isFinite() || r.width < 0 || r.height < 0) return;
    const double k = 0.5522847498307936;
    double cx = r.midX(), cy = r.midY(), rx = r.width / 2, ry = r.height / 2;
    // Starts at the right-hand point and runs with increasing angle (clockwise on screen), the
    // same direction as rect and roundedRect, so shapes joined in one path add up under non-zero.
    move({cx + rx, cy});
    addCurve({cx, cy + ry}, {cx + rx, cy + k * ry}, {cx + k * rx, cy + ry});
    addCurve({cx - rx, cy}, {cx - k * rx, cy + ry}, {cx - rx, cy + k * ry});
    addCurve({cx, cy - ry}, {cx - rx, cy - k * ry}, {cx - k * rx, cy - ry});
    addCurve({cx + rx, cy}, {cx + k * rx, cy - ry}, {cx + rx, cy - k * ry});
    closeSubpath();
}

void Path::addRect(const Rect& r) {
    if (!r.isFinite()) return;
    move({r.minX(), r.minY()});
    addLine({r.maxX(), r.minY()});
    addLine({r.maxX(), r.maxY()});
    addLine({r.minX(), r.maxY()});
    closeSubpath();
}

namespace {

// Appends one corner. `corner` is the rectangle's corner point, `back` the unit vector from the
// corner back along the edge the path arrives on, `fwd` the unit vector along the edge it leaves
// on. `rx`, `ry` are the radii along `back` and `fwd`; `limitBack`, `limitFwd` how much of each
// edge the corner may use.
void appendCorner(Path& path, Point corner, Point back, Point fwd, double rx, double ry,
                  double limitBack, double limitFwd, RoundedCornerStyle style, bool first) {
    auto at = [&](double s, double t) { return corner + back * s + fwd * t; };
    if (rx <= 0 || ry <= 0) {
        if (first) path.move(corner); else path.addLine(corner);
        return;
    }
    CornerShape shape = kCircular;
    double sx = rx, sy = ry;
    if (style == RoundedCornerStyle::continuous) {
        // How many radii fit on each edge decides how far toward the full continuous shape the
        // corner can go; where less than one radius fits it is a circular corner of what fits.
        double k = std::min(limitBack / rx, limitFwd / ry);
        if (k >= kContinuous.p) {
            shape = kContinuous;
        } else if (k > 1.0) {
            shape = lerp(kCircular, kContinuous, (k - 1.0) / (kContinuous.p - 1.0));
        } else {
            sx = std::min(rx, limitBack);
            sy = std::min(ry, limitFwd);
        }
    } else {
        sx = std::min(rx, limitBack);
        sy = std::min(ry, limitFwd);
    }
    Point start = at(shape.p * sx, 0);
    if (first) path.move(start); else path.addLine(start);
    path.addCurve(at(shape.d * sx, shape.d * sy), at(shape.c1 * sx, 0), at(shape.c2.x * sx, shape.c2.y * sy));
    path.addCurve(at(0, shape.p * sy), at(shape.c2.y * sx, shape.c2.x * sy), at(0, shape.c1 * sy));
}

}  // namespace

void Path::addRoundedRect(const Rect& r, Size cornerSize, RoundedCornerStyle style) {
    if (!r.isFinite() || !cornerSize.isFinite()) return;
    Rect n = Rect::fromCorners(r.origin(), {r.maxX(), r.maxY()});
    double rx = std::max(0.0, cornerSize.width), ry = std::max(0.0, cornerSize.height);
    if (rx <= 0 || ry <= 0 || n.width <= 0 || n.height <= 0) { addRect(n); return; }
    double hx = n.width / 2, hy = n.height / 2;
    // Clockwise on screen from the top edge: top-right, bottom-right, bottom-left, top-left.
    appendCorner(*this, {n.maxX(), n.minY()}, {-1, 0}, {0, 1}, rx, ry, hx, hy, style, true);
    appendCorner(*this, {n.maxX(), n.maxY()}, {0, -1}, {-1, 0}, ry, rx, hy, hx, style, false);
    appendCorner(*this, {n.minX(), n.maxY()}, {1, 0}, {0, -1}, rx, ry, hx, hy, style, false);
    appendCorner(*this, {n.minX(), n.minY()}, {0, 1}, {1, 0}, ry, rx, hy, hx, style, false);
    closeSubpath();
}

void Path::addUnevenRoundedRect(const Rect& r, const RectangleCornerRadii& radii, RoundedCornerStyle style) {
    if (!r.isFinite()) return;
    Rect n = Rect::fromCorners(r.origin(), {r.maxX(), r.maxY()});
    auto clean = [](double v) { return std::isfinite(v) ? std::max(0.0, v) : 0.0; };
    double tl = clean(radii.topLeading), tr = clean(radii.topTrailing);
    double br = clean(radii.bottomTrailing), bl = clean(radii.bottomLeading);
    // Radii that together overrun a side are scaled down together, so neighbours never overlap.
    double f = 1.0;
    auto fit = [&](double a, double b, double side) { if (a + b > side && a + b > 0) f = std::min(f, side / (a + b)); };
    fit(tl, tr, n.width);
    fit(bl, br, n.width);
    fit(tl, bl, n.height);
    fit(tr, br, n.height);
    tl *= f; tr *= f; br *= f; bl *= f;
    // Each corner may use the part of an edge its neighbour leaves free.
    auto share = [](double mine, double other, double side) {
        return mine + other > 0 ? side * mine / (mine + other) : side / 2;
    };
    appendCorner(*this, {n.maxX(), n.minY()}, {-1, 0}, {0, 1}, tr, tr, share(tr, tl, n.width),
                 share(tr, br, n.height), style, true);
    appendCorner(*this, {n.maxX(), n.maxY()}, {0, -1}, {-1, 0}, br, br, share(br, tr, n.height),
                 share(br, bl, n.width), style, false);
    appendCorner(*this, {n.minX(), n.maxY()}, {1, 0}, {0, -1}, bl, bl, share(bl, br, n.width),
                 share(bl, tl, n.height), style, false);
    appendCorner(*this, {n.minX(), n.minY()}, {0, 1}, {1, 0}, tl, tl, share(tl, bl, n.height),
                 share(tl, tr, n.width), style, false);
    closeSubpath();
}

void Path::addCapsule(const Rect& r, RoundedCornerStyle style) {
    if (!r.isFinite()) return;
    double radius = std::min(std::fabs(r.width), std::fabs(r.height)) / 2;
    addRoundedRect(r, {radius, radius}, style);
}

void Path::addLines(const std::vector<Point>& points) {
    bool first = true;
    for (const Point& p : points) {
        if (!finite(p)) continue;
        if (first) { move(p); first = false; } else addLine(p);
    }
}

void Path::addPolygon(const std::vector<Point>& points) {
    addLines(points);
    closeSubpath();
}

void Path::addPath(const Path& other, const AffineTransform& t) {
    if (!t.isFinite()) return;
    for (const Element& e : other.elements_) {
        switch (e.kind) {
            case ElementKind::move: move(t.apply(e.points[0])); break;
            case ElementKind::line: addLine(t.apply(e.points[0])); break;
            case ElementKind::quad: addQuadCurve(t.apply(e.points[1]), t.apply(e.points[0])); break;
            case ElementKind::cubic:
                addCurve(t.apply(e.points[2]), t.apply(e.points[0]), t.apply(e.points[1]));
                break;
            case ElementKind::close: closeSubpath(); break;
        }
    }
}

Path Path::applying(const AffineTransform& t) const {
    Path p;
    p.addPath(*this, t);
    return p;
}

Path Path::rect(const Rect& r) { Path p; p.addRect(r); return p; }
Path Path::ellipse(const Rect& in) { Path p; p.addEllipse(in); return p; }
Path Path::circle(Point c, double radius) {
    Path p;
    p.addEllipse({c.x - radius, c.y - radius, 2 * radius, 2 * radius});
    return p;
}
Path Path::roundedRect(const Rect& r, double cornerRadius, RoundedCornerStyle style) {
    Path p; p.addRoundedRect(r, {cornerRadius, cornerRadius}, style); return p;
}
Path Path::roundedRect(const Rect& r, Size cornerSize, RoundedCornerStyle style) {
    Path p; p.addRoundedRect(r, cornerSize, style); return p;
}
Path Path::unevenRoundedRect(const Rect& r, const RectangleCornerRadii& radii, RoundedCornerStyle style) {
    Path p; p.addUnevenRoundedRect(r, radii, style); return p;
}
Path Path::capsule(const Rect& r, RoundedCornerStyle style) { Path p; p.addCapsule(r, style); return p; }
Path Path::line(Point from, Point to) { Path p; p.move(from); p.addLine(to); return p; }

namespace {

void extendBy(double& lo, double& hi, double v) { lo = std::min(lo, v); hi = std::max(hi, v); }

// Extremes of a 1-D quadratic Bézier on (0, 1).
void quadExtrema(double p0, double p1, double p2, double& lo, double& hi) {
    double den = p0 - 2 * p1 + p2;
    if (den != 0) {
        double t = (p0 - p1) / den;
        if (t > 0 && t < 1) {
            double u = 1 - t;
            extendBy(lo, hi, u * u * p0 + 2 * u * t * p1 + t * t * p2);
        }
    }
}

void cubicExtrema(double p0, double p1, double p2, double p3, double& lo, double& hi) {
    // Derivative: 3[(p1-p0)(1-t)^2 + 2(p2-p1)(1-t)t + (p3-p2)t^2] = a t^2 + b t + c
    double a = -p0 + 3 * p1 - 3 * p2 + p3;
    double b = 2 * (p0 - 2 * p1 + p2);
    double c = p1 - p0;
    double roots[2];
    int n = 0;
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12) roots[n++] = -c / b;
    } else {
        double disc = b * b - 4 * a * c;
        if (disc >= 0) {
            double s = std::sqrt(disc);
            roots[n++] = (-b + s) / (2 * a);
            roots[n++] = (-b - s) / (2 * a);
        }
    }
    for (int i = 0; i < n; ++i) {
        double t = roots[i];
        if (t > 0 && t < 1) {
            double u = 1 - t;
            extendBy(lo, hi, u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
        }
    }
}

}  // namespace

Rect Path::boundingRect() const {
    if (elements_.empty()) return {};
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    Point cur{};
    for (const Element& e : elements_) {
        switch (e.kind) {
            case ElementKind::move:
            case ElementKind::line:
                cur = e.points[0];
                extendBy(x0, x1, cur.x);
                extendBy(y0, y1, cur.y);
                break;
            case ElementKind::quad:
                extendBy(x0, x1, e.points[1].x);
                extendBy(y0, y1, e.points[1].y);
                quadExtrema(cur.x, e.points[0].x, e.points[1].x, x0, x1);
                quadExtrema(cur.y, e.points[0].y, e.points[1].y, y0, y1);
                cur = e.points[1];
                break;
            case ElementKind::cubic:
                extendBy(x0, x1, e.points[2].x);
                extendBy(y0, y1, e.points[2].y);
                cubicExtrema(cur.x, e.points[0].x, e.points[1].x, e.points[2].x, x0, x1);
                cubicExtrema(cur.y, e.points[0].y, e.points[1].y, e.points[2].y, y0, y1);
                cur = e.points[2];
                break;
            case ElementKind::close: break;
        }
    }
    if (!(x0 <= x1)) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

std::vector<Path::Polyline> Path::flattened(double tolerance) const {
    if (!(tolerance > 0)) tolerance = 0.1;
    std::vector<Polyline> out;
    Point cur{}, start{};
    auto open = [&]() -> Polyline& {
        if (out.empty() || out.back().closed) { out.push_back({}); out.back().points.push_back(cur); }
        return out.back();
    };
    for (const Element& e : elements_) {
        switch (e.kind) {
            case ElementKind::move:
                cur = start = e.points[0];
                out.push_back({});
                out.back().points.push_back(cur);
                break;
            case ElementKind::line:
                open().points.push_back(e.points[0]);
                cur = e.points[0];
                break;
            case ElementKind::quad:
            case ElementKind::cubic:
                appendCurvePoints(cur, e, tolerance, open().points);
                cur = e.points[e.kind == ElementKind::quad ? 1 : 2];
                break;
            case ElementKind::close:
                if (!out.empty() && !out.back().closed) out.back().closed = true;
                cur = start;
                break;
        }
    }
    return out;
}

int Path::appendCurvePoints(Point from, const Element& curve, double tolerance, std::vector<Point>& out) {
    // Segments for a chord error within the tolerance, from the largest second difference of the
    // control points (`factor` per degree).
    auto segmentsFor = [&](double secondDifference, double factor) {
        const double n = std::ceil(std::sqrt(factor * secondDifference / (8 * tolerance)));
        return std::isnan(n) ? kMaxCurveSegments : static_cast<int>(std::clamp(n, 1.0, double(kMaxCurveSegments)));
    };
    const Point p0 = from;
    if (curve.kind == ElementKind::quad) {
        const Point c = curve.points[0], end = curve.points[1];
        const int n = segmentsFor(distance(p0 - c, c - end), 2);
        for (int i = 1; i <= n; ++i) {
            const double t = double(i) / n, u = 1 - t;
            out.push_back(p0 * (u * u) + c * (2 * u * t) + end * (t * t));
        }
        return n;
    }
    if (curve.kind != ElementKind::cubic) return 0;
    const Point c1 = curve.points[0], c2 = curve.points[1], end = curve.points[2];
    const int n = segmentsFor(std::max(distance(p0 - c1, c1 - c2), distance(c1 - c2, c2 - end)), 6);
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n, u = 1 - t;
        out.push_back(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + end * (t * t * t));
    }
    return n;
}

bool Path::contains(Point p, bool eoFill) const {
    if (!finite(p)) return false;
    Rect b = boundingRect();
    if (p.x < b.minX() || p.x > b.maxX() || p.y < b.minY() || p.y > b.maxY()) return false;
    int winding = 0;
    // Every subpath counts as closed for filling.
    for (const Polyline& pl : flattened(0.05)) {
        const auto& pts = pl.points;
        std::size_t n = pts.size();
        if (n < 2) continue;
        for (std::size_t i = 0; i < n; ++i) {
            Point a = pts[i], c = pts[(i + 1) % n];
            if (a.y <= p.y) {
                if (c.y > p.y && (c.x - a.x) * (p.y - a.y) - (p.x - a.x) * (c.y - a.y) > 0) ++winding;
            } else {
                if (c.y <= p.y && (c.x - a.x) * (p.y - a.y) - (p.x - a.x) * (c.y - a.y) < 0) --winding;
            }
        }
    }
    return eoFill ? (winding % 2 != 0) : (winding != 0);
}

bool operator==(const Path& a, const Path& b) {
    if (a.elements_.size() != b.elements_.size()) return false;
    for (std::size_t i = 0; i < a.elements_.size(); ++i) {
        const auto& x = a.elements_[i];
        const auto& y = b.elements_[i];
        if (x.kind != y.kind) return false;
        for (int k = 0; k < 3; ++k)
            if (!(x.points[k] == y.points[k])) return false;
    }
    return true;
}

}  // namespace quillmar::gfx
