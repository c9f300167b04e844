#pragma once
// A vector path: subpaths of lines, quadratic and cubic curves, closed or open.
//
// Arcs (y-down space): angles are measured from +x toward +y. `clockwise = false` sweeps with
// increasing angle, which on screen (y down) turns clockwise; `clockwise = true` sweeps with
// decreasing angle (counter-clockwise on screen). This is the usual convention of y-up drawing
// APIs seen through a flipped (y-down) view, which our drawing code is written against.
//
// Non-finite coordinates are dropped: an element with a NaN or infinite point is ignored, so the
// path never carries a value that could poison the rasteriser.

#include <cstdint>
#include <vector>

#include "gfx/affine_transform.h"
#include "gfx/geometry.h"

namespace quillmar::gfx {

enum class RoundedCornerStyle { circular, continuous };

// Radii of the four corners of an uneven rounded rectangle.
struct RectangleCornerRadii {
    double topLeading = 0;
    double bottomLeading = 0;
    double bottomTrailing = 0;
    double topTrailing = 0;
};

class Path {
public:
    enum class ElementKind : std::uint8_t { move, line, quad, cubic, close };
    struct Element {
        ElementKind kind;
        Point points[3];  // move/line: [0]; quad: control [0], end [1]; cubic: c1, c2, end
    };

    Path() = default;

    // Shape constructors.
    static Path rect(const Rect& r);
    static Path ellipse(const Rect& in);
    static Path circle(Point center, double radius);
    static Path roundedRect(const Rect& r, double cornerRadius,
                            RoundedCornerStyle style = RoundedCornerStyle::continuous);
    static Path roundedRect(const Rect& r, Size cornerSize,
                            RoundedCornerStyle style = RoundedCornerStyle::continuous);
    static Path unevenRoundedRect(const Rect& r, const RectangleCornerRadii& radii,
                                  RoundedCornerStyle style = RoundedCornerStyle::continuous);
    static Path capsule(const Rect& r, RoundedCornerStyle style = RoundedCornerStyle::circular);
    static Path line(Point from, Point to);

    // Building.
    void move(Point to);
    void move(double x, double y) { move(Point{x, y}); }
    void addLine(Point to);
    void addLine(double x, double y) { addLine(Point{x, y}); }
    void addQuadCurve(Point to, Point control);
    void addCurve(Point to, Point control1, Point control2);
    void closeSubpath();
    // Adds an arc of a circle; starts a new subpath at the arc's start point when the path is
    // empty or was just closed, otherwise joins it with a straight line.
    void addArc(Point center, double radius, Angle startAngle, Angle endAngle, bool clockwise);
    void addEllipse(const Rect& in);
    void addRect(const Rect& r);
    void addRoundedRect(const Rect& r, Size cornerSize,
                        RoundedCornerStyle style = RoundedCornerStyle::continuous);
    void addUnevenRoundedRect(const Rect& r, const RectangleCornerRadii& radii,
                              RoundedCornerStyle style = RoundedCornerStyle::continuous);
    void addCapsule(const Rect& r, RoundedCornerStyle style = RoundedCornerStyle::circular);
    // A polyline through the points (a new subpath at the first one).
    void addLines(const std::vector<Point>& points);
    // A closed polygon.
    void addPolygon(const std::vector<Point>& points);
    void addPath(const Path& other, const AffineTransform& transform = AffineTransform{});

    // Queries.
    bool isEmpty() const { return elements_.empty(); }
    const std::vector<Element>& elements() const { return elements_; }
    bool hasCurrentPoint() const { return hasCurrent_; }
    Point currentPoint() const { return current_; }
    // Tight bounds of the geometry (curves included exactly, control points not); empty path: zero.
    Rect boundingRect() const;
    // Winding test of the filled area; `eoFill` selects the even-odd rule.
    bool contains(Point p, bool eoFill = false) const;

    Path applying(const AffineTransform& t) const;
    Path offsetBy(double dx, double dy) const { return applying(AffineTransform::translation(dx, dy)); }

    // The path flattened into polylines (one per subpath), curves cut until the chord error is
    // below `tolerance`. `closed` tells whether each polyline was closed.
    struct Polyline {
        std::vector<Point> points;
        bool closed = false;
    };
    std::vector<Polyline> flattened(double tolerance = 0.1) const;
    // Appends the points a quadratic or cubic element that starts at `from` is cut into, its end
    // point last, and returns how many: enough that no chord strays more than `tolerance` from
    // the curve, and never more than kMaxCurveSegments (also when control points so far apart
    // that their differences overflow leave the count undefined). Other elements append nothing.
    static constexpr int kMaxCurveSegments = 512;
    static int appendCurvePoints(Point from, const Element& curve, double tolerance, std::vector<Point>& out);

    friend bool operator==(const Path& a, const Path& b);

private:
    std::vector<Element> elements_;
    Point current_{};
    Point subpathStart_{};
    bool hasCurrent_ = false;
};

}  // namespace quillmar::gfx
