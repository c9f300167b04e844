#include "gfx/polygon_clip.h"

namespace quillmar::gfx {
namespace {

// Keeps the part of `in` on the inner side of one border.
template <class Inside, class Cross>
std::vector<Point> clipSide(const std::vector<Point>& in, Inside inside, Cross cross) {
    std::vector<Point> out;
    if (in.empty()) return out;
    out.reserve(in.size() + 4);
    Point prev = in.back();
    bool prevIn = inside(prev);
    for (const Point& cur : in) {
        bool curIn = inside(cur);
        if (curIn != prevIn) out.push_back(cross(prev, cur));
        if (curIn) out.push_back(cur);
        prev = cur;
        prevIn = curIn;
    }
    return out;
}

Point atX(Point a, Point b, double x) { return {x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; }
Point atY(Point a, Point b, double y) { return {a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; }

}  // namespace

std::vector<Point> clipPolygonToRect(const std::vector<Point>& polygon, const Rect& r) {
    const double x0 = r.minX(), x1 = r.maxX(), y0 = r.minY(), y1 = r.maxY();
    std::vector<Point> p = clipSide(polygon, [&](Point q) { return q.x >= x0; }, [&](Point a, Point b) { return atX(a, b, x0); });
    p = clipSide(p, [&](Point q) { return q.x <= x1; }, [&](Point a, Point b) { return atX(a, b, x1); });
    p = clipSide(p, [&](Point q) { return q.y >= y0; }, [&](Point a, Point b) { return atY(a, b, y0); });
    p = clipSide(p, [&](Point q) { return q.y <= y1; }, [&](Point a, Point b) { return atY(a, b, y1); });
    return p;
}

}  // namespace quillmar::gfx
