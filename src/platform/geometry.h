#pragma once
// Points, sizes and rectangles in points (double precision), as the platform's geometry reads
// them. A rectangle may carry a negative size; its min/max edges are those of the standardised
// rectangle, as the platform's own geometry functions do.

#include <algorithm>
#include <cmath>

namespace quillmar::platform {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}
    constexpr Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

    bool operator==(const Rect&) const = default;

    double minX() const { return std::min(origin.x, origin.x + size.width); }
    double maxX() const { return std::max(origin.x, origin.x + size.width); }
    double midX() const { return origin.x + size.width / 2; }
    double minY() const { return std::min(origin.y, origin.y + size.height); }
    double maxY() const { return std::max(origin.y, origin.y + size.height); }
    double midY() const { return origin.y + size.height / 2; }
    double width() const { return std::abs(size.width); }
    double height() const { return std::abs(size.height); }
    bool isEmpty() const { return size.width == 0 || size.height == 0; }

    Rect standardized() const { return {minX(), minY(), width(), height()}; }
    // Half-open: the min edges belong to the rectangle, the max edges do not.
    bool contains(Point p) const {
        return !isEmpty() && p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }
    // Shrinks by dx and dy on each side (negative values grow the rectangle).
    Rect insetBy(double dx, double dy) const {
        Rect s = standardized();
        return {s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy};
    }
    bool intersects(const Rect& o) const {
        return !isEmpty() && !o.isEmpty() && minX() < o.maxX() && o.minX() < maxX() && minY() < o.maxY() &&
               o.minY() < maxY();
    }
};

}  // namespace quillmar::platform
