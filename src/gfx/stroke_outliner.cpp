#include "gfx/stroke_outliner.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Outliner {
    const StrokeStyle& style;
    const AffineTransform& t;
    double h;          // half width, user units
    int arcSteps;      // segments of a full circle for round joins and caps
    std::vector<std::vector<Point>>& out;

    // Emits a polygon (user space), mapped to device space and wound positively.
    void emit(std::vector<Point> poly) {
        if (poly.size() < 3) return;
        double area = 0;
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const Point& a = poly[i];
            const Point& b = poly[(i + 1) % poly.size()];
            area += a.x * b.y - b.x * a.y;
        }
        if (area == 0) return;
        if (area < 0) std::reverse(poly.begin(), poly.end());
        for (Point& p : poly) p = t.apply(p);
        out.push_back(std::move(poly));
    }

    std::vector<Point> circle;  // cos and sin of each step, computed on the first disc

    void disc(Point c) {
        if (circle.empty()) {
            circle.reserve(arcSteps);
            for (int i = 0; i < arcSteps; ++i) {
                double a = 2 * kPi * i / arcSteps;
                circle.push_back({std::cos(a), std::sin(a)});
            }
        }
        std::vector<Point> poly;
        poly.reserve(arcSteps);
        for (const Point& u : circle) poly.push_back({c.x + h * u.x, c.y + h * u.y});
        emit(std::move(poly));
    }

    static Point normal(Point a, Point b) {
        double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        return len > 0 ? Point{-dy / len, dx / len} : Point{0, 0};
    }

    // Join at `v` between a segment ending there (normal n0) and one starting there (n1).
    void join(Point v, Point n0, Point n1, bool inner) {
        double cross = n0.x * n1.y - n0.y * n1.x;
        double dot = n0.x * n1.x + n0.y * n1.y;
        if (std::fabs(cross) < 1e-12 && dot > 0) return;  // straight on
        // The outer side is where the two offset lines open apart.
        double side = cross > 0 ? -1.0 : 1.0;
        Point a = v + n0 * (h * side), b = v + n1 * (h * side);
        LineJoin j = inner ? LineJoin::bevel : style.lineJoin;
        if (j == LineJoin::round) {
            disc(v);
            return;
        }
        if (j == LineJoin::miter) {
            // Miter length over line width is 1 / sin(θ/2), θ the angle between the segments.
            double cosTheta = -dot;
            double sinHalf = std::sqrt(std::max(0.0, (1 - cosTheta) / 2));
            double limit = std::isfinite(style.miterLimit) ? std::max(1.0, style.miterLimit) : 10.0;
            if (sinHalf > 1e-9 && 1.0 / sinHalf <= limit) {
                Point bis{n0.x + n1.x, n0.y + n1.y};
                double bl = std::hypot(bis.x, bis.y);
                if (bl > 1e-12) {
                    double reach = h / sinHalf;
                    Point tip = v + Point{bis.x / bl, bis.y / bl} * (reach * side);
                    emit({v, a, tip, b});
                    return;
                }
            }
        }
        emit({v, a, b});
    }

    void cap(Point end, Point dir /* unit, pointing out of the line */) {
        if (style.lineCap == LineCap::round) {
            disc(end);
        } else if (style.lineCap == LineCap::square) {
            Point n{-dir.y * h, dir.x * h};
            Point e = end + dir * h;
            emit({end + n, e + n, e - n, end - n});
        }
    }

    // Outlines segments [s, e) (counted from vertex `first`) as one polygon: forward along the
    // offset on the left of the path and back along the right. At each vertex in between, the
    // side where the segments open apart gets the bevel edge, and the inner side runs through
    // the vertex itself; this covers exactly what the segments' quadrilaterals and bevel
    // triangles cover together, with far fewer edges.
    void run(const std::vector<Point>& p, const std::vector<Point>& nrm, std::size_t first, std::size_t s,
             std::size_t e, std::size_t n) {
        std::vector<Point> left, right;
        left.reserve(2 * (e - s) + 2);
        right.reserve(2 * (e - s) + 2);
        std::size_t v0 = (first + s) % n;
        left.push_back(p[v0] + nrm[v0 % nrm.size()] * h);
        right.push_back(p[v0] - nrm[v0 % nrm.size()] * h);
        for (std::size_t k = s; k < e; ++k) {
            std::size_t a = (first + k) % n, b = (first + k + 1) % n;
            Point n0 = nrm[a % nrm.size()];
            left.push_back(p[b] + n0 * h);
            right.push_back(p[b] - n0 * h);
            if (k + 1 == e) break;
            Point n1 = nrm[b % nrm.size()];
            double cross = n0.x * n1.y - n0.y * n1.x, dot = n0.x * n1.x + n0.y * n1.y;
            if (!(std::fabs(cross) < 1e-12 && dot > 0)) {  // not straight on (as in join)
                if (cross > 0)
                    left.push_back(p[b]);  // the left side is the inner one
                else
                    right.push_back(p[b]);
            }
            left.push_back(p[b] + n1 * h);
            right.push_back(p[b] - n1 * h);
        }
        // Closed with the reverse of the right side; the quadrilaterals this stands for wind
        // negatively in user space, so the whole polygon is turned round to wind positively.
        std::vector<Point> poly;
        poly.reserve(left.size() + right.size());
        for (auto it = right.begin(); it != right.end(); ++it) poly.push_back(*it);
        for (auto it = left.rbegin(); it != left.rend(); ++it) poly.push_back(*it);
        for (Point& q : poly) q = t.apply(q);
        out.push_back(std::move(poly));
    }

    // One polyline; `corner[i]` tells whether vertex i is a real corner of the path (curve
    // flattening points are bevelled inside their run, which at their tiny angles equals any
    // join).
    void polyline(const std::vector<Point>& pts, const std::vector<bool>& corner, bool closed) {
        std::vector<Point> p;
        std::vector<bool> c;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            if (!p.empty() && pts[i] == p.back()) continue;
            p.push_back(pts[i]);
            c.push_back(corner[i]);
        }
        if (closed && p.size() > 1 && p.front() == p.back()) {
            p.pop_back();
            c.pop_back();
        }
        if (p.size() == 1) {
            // A zero-length subpath shows only its round or square cap.
            if (style.lineCap == LineCap::round) disc(p[0]);
            else if (style.lineCap == LineCap::square) emit({p[0] + Point{-h, -h}, p[0] + Point{h, -h}, p[0] + Point{h, h}, p[0] + Point{-h, h}});
            return;
        }
        if (p.size() < 2) return;
        std::size_t n = p.size();
        std::size_t segs = closed ? n : n - 1;
        std::vector<Point> normals(segs);
        for (std::size_t i = 0; i < segs; ++i) normals[i] = normal(p[i], p[(i + 1) % n]);
        // Real corners get their own join pieces; between them (curve flattening points) the
        // segments are outlined together, as one polygon per run.
        std::size_t first = 0;
        if (closed) {
            while (first < n && !c[first]) ++first;
            if (first == n) first = 0;  // a closed curve without corners: start anywhere
        }
        std::size_t s = 0;
        while (s < segs) {
            std::size_t e = s + 1;  // the run covers segments [s, e)
            while (e < segs && !c[(first + e) % n]) ++e;
            run(p, normals, first, s, e, n);
            s = e;
        }
        for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
            std::size_t v = (first + i) % n;
            if (!c[v] && !(closed && i == 0)) continue;  // inside a run
            join(p[v], normals[(v + segs - 1) % segs], normals[v % segs], !c[v]);
        }
        if (!closed) {
            auto unit = [](Point a, Point b) {
                double l = distance(a, b);
                return l > 0 ? Point{(b.x - a.x) / l, (b.y - a.y) / l} : Point{1, 0};
            };
            cap(p[0], unit(p[1], p[0]));
            cap(p[n - 1], unit(p[n - 2], p[n - 1]));
        }
    }
};

// Flattens one path into polylines, marking which vertices are the path's own corners.
struct Flat {
    std::vector<Point> pts;
    std::vector<bool> corner;
    bool closed = false;
};

std::vector<Flat> flatten(const Path& path, double tolerance) {
    std::vector<Flat> out;
    Point cur{}, start{};
    auto open = [&]() -> Flat& {
        if (out.empty() || out.back().closed) {
            out.push_back({});
            out.back().pts.push_back(cur);
            out.back().corner.push_back(true);
        }
        return out.back();
    };
    for (const Path::Element& e : path.elements()) {
        switch (e.kind) {
            case Path::ElementKind::move:
                cur = start = e.points[0];
                out.push_back({});
                out.back().pts.push_back(cur);
                out.back().corner.push_back(true);
                break;
            case Path::ElementKind::line: {
                Flat& f = open();
                f.pts.push_back(e.points[0]);
                f.corner.push_back(true);
                cur = e.points[0];
                break;
            }
            case Path::ElementKind::quad:
            case Path::ElementKind::cubic: {
                // The points inside a curve are no corners; its end point is.
                Flat& f = open();
                Path::appendCurvePoints(cur, e, tolerance, f.pts);
                f.corner.resize(f.pts.size(), false);
                f.corner.back() = true;
                cur = e.points[e.kind == Path::ElementKind::quad ? 1 : 2];
                break;
            }
            case Path::ElementKind::close:
                if (!out.empty() && !out.back().closed) out.back().closed = true;
                cur = start;
                break;
        }
    }
    return out;
}

// Cuts polylines into dashes (open polylines) by arc length.
std::vector<Flat> dash(const std::vector<Flat>& in, const std::vector<double>& pattern, double phase) {
    double total = 0;
    for (double d : pattern) total += d;
    std::vector<Flat> out;
    for (const Flat& f : in) {
        std::vector<Point> pts = f.pts;
        std::vector<bool> corner = f.corner;
        if (f.closed && pts.size() > 1) {
            pts.push_back(pts.front());
            corner.push_back(true);
        }
        // Position in the pattern at the start of this subpath.
        double pos = std::fmod(phase, total);
        if (pos < 0) pos += total;
        std::size_t idx = 0;
        while (pos > pattern[idx] || (pos == pattern[idx] && pattern[idx] > 0)) {
            pos -= pattern[idx];
            idx = (idx + 1) % pattern.size();
        }
        double left = pattern[idx] - pos;  // length remaining in the current dash or gap
        bool on = idx % 2 == 0;
        Flat current;
        if (on && !pts.empty()) {
            current.pts.push_back(pts[0]);
            current.corner.push_back(true);
        }
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            Point a = pts[i], b = pts[i + 1];
            double len = distance(a, b), done = 0;
            while (len - done > left) {
                done += left;
                Point p = a + (b - a) * (done / len);
                if (on) {
                    current.pts.push_back(p);
                    current.corner.push_back(true);
                    out.push_back(std::move(current));
                    current = {};
                } else {
                    current.pts.push_back(p);
                    current.corner.push_back(true);
                }
                on = !on;
                idx = (idx + 1) % pattern.size();
                left = pattern[idx];
            }
            left -= len - done;
            if (on) {
                current.pts.push_back(b);
                current.corner.push_back(corner[i + 1]);
            }
        }
        if (on && current.pts.size() > 1) out.push_back(std::move(current));
    }
    return out;
}

}  // namespace

void outlineStroke(const Path& path, const StrokeStyle& style, const AffineTransform& t, double tolerance,
                   std::vector<std::vector<Point>>& out) {
    double h = style.lineWidth / 2;
    if (!(h > 0) || !std::isfinite(h) || !t.isInvertible()) return;
    double scale = t.maxScale();
    double userTol = tolerance / std::max(scale, 1e-9);
    double rDev = h * scale;
    int steps = rDev < 1 ? 8 : static_cast<int>(std::clamp(std::ceil(kPi / std::acos(std::max(-1.0, 1 - tolerance / rDev))), 8.0, 128.0));
    Outliner o{style, t, h, steps, out, {}};

    std::vector<Flat> lines = flatten(path, userTol);
    double total = 0;
    bool dashOk = !style.dash.empty();
    for (double d : style.dash) {
        if (!std::isfinite(d) || d < 0) dashOk = false;
        total += d;
    }
    bool dashed = false;
    if (dashOk && total > 0 && std::isfinite(total)) {
        std::vector<double> pattern = style.dash;
        if (pattern.size() % 2) pattern.insert(pattern.end(), style.dash.begin(), style.dash.end());
        double phase = std::isfinite(style.dashPhase) ? style.dashPhase : 0.0;
        double length = 0;
        for (const Flat& f : lines)
            for (std::size_t i = 1; i < f.pts.size(); ++i) length += distance(f.pts[i - 1], f.pts[i]);
        // A pattern far finer than a pixel, or one that would cut the path into a huge number of
        // pieces, is drawn solid.
        if (total * scale >= 0.25 && length / total < 100000) {
            lines = dash(lines, pattern, phase);
            dashed = true;
        }
    }
    for (const Flat& f : lines) o.polyline(f.pts, f.corner, f.closed && !dashed);
}

}  // namespace quillmar::gfx
