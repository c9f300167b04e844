#pragma once
// Plane geometry shared by every layer: points, sizes and rectangles in points (double precision).
//
// Conventions:
// - Coordinates are in points. Drawing and window-server space put the origin at the top-left
//   corner with y DOWNWARD; global screen space (platform/screens.h) puts it at the bottom-left with
//   y upward. The types are the same, only the reading of y differs.
// - Angles are in radians (use Angle::degrees() to give degrees). Angle 0 points along +x and a
//   positive angle turns from +x toward +y, which on screen (y down) is clockwise.
// - A Rect is (x, y, width, height). The window server may hand out a negative width or height:
//   the edges (minX...maxY), containment, intersection, union and insetBy then read the
//   standardised rectangle, the one spanning the same area with a non-negative size.
//   isEmpty() reads the size as stored, so a negative size counts as empty (nothing to draw);
//   ask standardized().isEmpty() about the area it spans.

#include <algorithm>
#include <cmath>

namespace quillmar {

struct Point {
    double x = 0;
    double y = 0;

    constexpr Point() = default;
    constexpr Point(double px, double py) : x(px), y(py) {}

    bool isFinite() const { return std::isfinite(x) && std::isfinite(y); }
    friend constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend constexpr Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
    friend constexpr Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
    friend constexpr Point operator*(double k, Point a) { return {a.x * k, a.y * k}; }
    friend constexpr bool operator==(Point a, Point b) = default;
};

inline double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

struct Size {
    double width = 0;
    double height = 0;

    constexpr Size() = default;
    constexpr Size(double w, double h) : width(w), height(h) {}

    bool isFinite() const { return std::isfinite(width) && std::isfinite(height); }
    bool isEmpty() const { return !(width > 0 && height > 0); }
    friend constexpr bool operator==(Size a, Size b) = default;
};

// A fraction of a rectangle's size: (0, 0) is the top-leading corner, (0.5, 0.5) the centre.
struct UnitPoint {
    double x = 0.5;
    double y = 0.5;

    static constexpr UnitPoint topLeading() { return {0, 0}; }
    static constexpr UnitPoint top() { return {0.5, 0}; }
    static constexpr UnitPoint topTrailing() { return {1, 0}; }
    static constexpr UnitPoint leading() { return {0, 0.5}; }
    static constexpr UnitPoint center() { return {0.5, 0.5}; }
    static constexpr UnitPoint trailing() { return {1, 0.5}; }
    static constexpr UnitPoint bottomLeading() { return {0, 1}; }
    static constexpr UnitPoint bottom() { return {0.5, 1}; }
    static constexpr UnitPoint bottomTrailing() { return {1, 1}; }
    friend constexpr bool operator==(UnitPoint a, UnitPoint b) = default;
};

struct EdgeInsets {
    double top = 0;
    double leading = 0;
    double bottom = 0;
    double trailing = 0;

    static constexpr EdgeInsets all(double v) { return {v, v, v, v}; }
    friend constexpr bool operator==(EdgeInsets a, EdgeInsets b) = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    constexpr Rect() = default;
    constexpr Rect(double px, double py, double w, double h) : x(px), y(py), width(w), height(h) {}
    constexpr Rect(Point origin, Size size)
        : x(origin.x), y(origin.y), width(size.width), height(size.height) {}

    // The smallest rectangle holding both corners, whatever their order.
    static Rect fromCorners(Point a, Point b) {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x), std::fabs(b.y - a.y)};
    }

    constexpr Point origin() const { return {x, y}; }
    constexpr Size size() const { return {width, height}; }
    // Written so that a non-finite size gives a non-finite max edge, as x + width would.
    constexpr double minX() const { return width < 0 ? x + width : x; }
    constexpr double minY() const { return height < 0 ? y + height : y; }
    constexpr double maxX() const { return width < 0 ? x : x + width; }
    constexpr double maxY() const { return height < 0 ? y : y + height; }
    constexpr double midX() const { return x + width / 2; }
    constexpr double midY() const { return y + height / 2; }
    constexpr Point center() const { return {midX(), midY()}; }
    constexpr Point point(UnitPoint u) const { return {x + width * u.x, y + height * u.y}; }

    // The same area with a non-negative size.
    constexpr Rect standardized() const {
        return {minX(), minY(), width < 0 ? -width : width, height < 0 ? -height : height};
    }

    bool isFinite() const {
        return std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height);
    }
    bool isEmpty() const { return !(width > 0 && height > 0); }
    // Half-open: the min edges belong to the rectangle, the max edges do not.
    constexpr bool contains(Point p) const {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    // Shrinks the rectangle by dx and dy on each side (negative values grow it); a shrink past
    // the middle leaves a zero size there.
    Rect insetBy(double dx, double dy) const {
        const Rect s = standardized();
        Rect r{s.x + dx, s.y + dy, s.width - 2 * dx, s.height - 2 * dy};
        if (r.width < 0) { r.x = s.midX(); r.width = 0; }
        if (r.height < 0) { r.y = s.midY(); r.height = 0; }
        return r;
    }
    Rect inset(EdgeInsets e) const {
        const Rect s = standardized();
        Rect r{s.x + e.leading, s.y + e.top, s.width - e.leading - e.trailing, s.height - e.top - e.bottom};
        r.width = std::max(0.0, r.width);
        r.height = std::max(0.0, r.height);
        return r;
    }
    Rect offsetBy(double dx, double dy) const { return {x + dx, y + dy, width, height}; }

    // A zero rectangle at the origin is the empty start of a union, not a point to include.
    Rect unionWith(const Rect& o) const {
        if (o.width <= 0 && o.height <= 0 && o.x == 0 && o.y == 0) return *this;
        if (width <= 0 && height <= 0 && x == 0 && y == 0) return o;
        double x0 = std::min(minX(), o.minX()), y0 = std::min(minY(), o.minY());
        double x1 = std::max(maxX(), o.maxX()), y1 = std::max(maxY(), o.maxY());
        return {x0, y0, x1 - x0, y1 - y0};
    }
    Rect intersection(const Rect& o) const {
        double x0 = std::max(minX(), o.minX()), y0 = std::max(minY(), o.minY());
        double x1 = std::min(maxX(), o.maxX()), y1 = std::min(maxY(), o.maxY());
        if (x1 <= x0 || y1 <= y0) return {};
        return {x0, y0, x1 - x0, y1 - y0};
    }
    bool intersects(const Rect& o) const { return !intersection(o).isEmpty(); }

    friend constexpr bool operator==(const Rect& a, const Rect& b) = default;
};

// The largest rectangle of `content`'s aspect ratio that fits in `bounds`, centred.
inline Rect aspectFit(Size content, Rect bounds) {
    if (!(content.width > 0 && content.height > 0) || bounds.isEmpty()) return {bounds.center(), Size{}};
    double k = std::min(bounds.width / content.width, bounds.height / content.height);
    Size s{content.width * k, content.height * k};
    return {bounds.midX() - s.width / 2, bounds.midY() - s.height / 2, s.width, s.height};
}

// The smallest rectangle of `content`'s aspect ratio that covers `bounds`, centred.
inline Rect aspectFill(Size content, Rect bounds) {
    if (!(content.width > 0 && content.height > 0) || bounds.isEmpty()) return {bounds.center(), Size{}};
    double k = std::max(bounds.width / content.width, bounds.height / content.height);
    Size s{content.width * k, content.height * k};
    return {bounds.midX() - s.width / 2, bounds.midY() - s.height / 2, s.width, s.height};
}

struct Angle {
    double rad = 0;

    static constexpr Angle radians(double r) { return {r}; }
    static constexpr Angle degrees(double d) { return {d * 3.14159265358979323846 / 180.0}; }
    constexpr double inRadians() const { return rad; }
    constexpr double inDegrees() const { return rad * 180.0 / 3.14159265358979323846; }
    friend constexpr bool operator==(Angle a, Angle b) = default;
};

}  // namespace quillmar
