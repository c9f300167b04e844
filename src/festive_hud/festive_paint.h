#pragma once
// Small drawing helpers shared by the particle art, the Christmas garland and its ornaments:
// opacities scaled by a strength and clamped to 0...1, sRGB colours carrying such an opacity,
// round-capped strokes, the tumble phase of a turning figure, lightened and darkened colours,
// gradients from plain colour lists, the figure a kind draws, and the guard that keeps a
// particle with non-finite fields away from the canvas.

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <vector>

#include "festive_hud/clamped_index.h"
#include "festive_hud/hud_festive_particle.h"
#include "gfx/graphics_context.h"
#include "gfx/path.h"
#include "gfx/shading.h"
#include "gfx/stroke_style.h"

namespace quillmar::festive_paint {

using gfx::Color;
using gfx::Path;
using gfx::Point;

inline constexpr double kPi = 3.14159265358979323846;

// k × strength clamped to 0...1; a product that is not a number is 0.
inline double alpha(double k, double strength) {
    const double v = k * strength;
    if (!(v > 0)) return 0;
    return v > 1 ? 1 : v;
}

// An sRGB colour whose opacity is k × strength, clamped.
inline Color rgb(double r, double g, double b, double k = 1, double strength = 1) {
    return Color(r, g, b, alpha(k, strength));
}

// Each channel c becomes c + (1 − c) × a (alpha kept).
inline Color lightened(const Color& c, double a) {
    return Color(c.red + (1 - c.red) * a, c.green + (1 - c.green) * a, c.blue + (1 - c.blue) * a, c.alpha);
}

// Each channel multiplied by k (alpha kept).
inline Color darkened(const Color& c, double k) { return Color(c.red * k, c.green * k, c.blue * k, c.alpha); }

inline double fract(double x) { return x - std::floor(x); }

// The phase of a figure that seems to turn about its vertical axis: the seed gives each particle
// its own start and speed.
inline double tumblePhase(double seed, double age, double omega) {
    return 6.2832 * seed + age * omega * (0.75 + 0.5 * seed);
}

inline gfx::StrokeStyle stroke(double width, gfx::LineCap cap = gfx::LineCap::round,
                               gfx::LineJoin join = gfx::LineJoin::round) {
    return gfx::StrokeStyle{width, cap, join};
}

inline gfx::Shading linear(std::initializer_list<Color> colors, Point start, Point end) {
    return gfx::Shading::linearGradient(gfx::Gradient::colors(std::vector<Color>(colors)), start, end);
}
inline gfx::Shading linearStops(std::initializer_list<gfx::GradientStop> stops, Point start, Point end) {
    return gfx::Shading::linearGradient(gfx::Gradient::withStops(std::vector<gfx::GradientStop>(stops)), start, end);
}
inline gfx::Shading radial(std::initializer_list<Color> colors, Point center, double endRadius,
                           double startRadius = 0) {
    return gfx::Shading::radialGradient(gfx::Gradient::colors(std::vector<Color>(colors)), center, startRadius,
                                        endRadius);
}
inline gfx::Shading radialStops(std::initializer_list<gfx::GradientStop> stops, Point center, double endRadius,
                                double startRadius = 0) {
    return gfx::Shading::radialGradient(gfx::Gradient::withStops(std::vector<gfx::GradientStop>(stops)), center,
                                        startRadius, endRadius);
}

// A shape built around its own origin, turned by `angle` radians and then moved to `at`.
inline Path turnedAndPlaced(const Path& shape, double angle, Point at) {
    return shape.applying(gfx::AffineTransform::translation(at.x, at.y).rotatedBy(gfx::Angle::radians(angle)));
}

// The ellipse inscribed in the rectangle (x, y, width, height).
inline Path ellipseIn(double x, double y, double w, double h) { return Path::ellipse(gfx::Rect{x, y, w, h}); }

// A blossom petal of radius r: its tip at (0, 0.92 r), its broad end with a small cleft at
// (0, notchY).
inline Path blossomPetalPath(double r, double notchY) {
    Path p;
    p.move(0, 0.92 * r);
    p.addCurve({0, notchY}, {-1.12 * r, 0.55 * r}, {-0.86 * r, -1.06 * r});
    p.addCurve({0, 0.92 * r}, {0.86 * r, -1.06 * r}, {1.12 * r, 0.55 * r});
    p.closeSubpath();
    return p;
}

// A four-pointed star of radius R whose sides are pinched toward the centre: each side is a
// quadratic curve whose control lies at (±pinch R, ±pinch R).
inline Path pinchedStarPath(double R, double pinch) {
    const double k = pinch * R;
    Path p;
    p.move(0, -R);
    p.addQuadCurve({R, 0}, {k, -k});
    p.addQuadCurve({0, R}, {k, k});
    p.addQuadCurve({-R, 0}, {-k, k});
    p.addQuadCurve({0, -R}, {-k, -k});
    p.closeSubpath();
    return p;
}

// One segment of an outline: a line, a quadratic curve (control c1) or a cubic curve (controls
// c1, c2) to `end`.
struct OutlineSegment {
    enum class Kind { line, quad, cubic };
    Kind kind = Kind::line;
    Point end{};
    Point c1{};
    Point c2{};
};
inline OutlineSegment lineTo(double x, double y) { return {OutlineSegment::Kind::line, {x, y}}; }
inline OutlineSegment quadTo(double x, double y, double cx, double cy) {
    return {OutlineSegment::Kind::quad, {x, y}, {cx, cy}};
}
inline OutlineSegment cubicTo(double x, double y, double c1x, double c1y, double c2x, double c2y) {
    return {OutlineSegment::Kind::cubic, {x, y}, {c1x, c1y}, {c2x, c2y}};
}

// A closed figure symmetric about the y axis: from `start` (on the axis) along the right-hand
// segments, then their mirror image traversed back up the left side. Every coordinate is
// multiplied by `scale`.
inline Path mirroredOutline(Point start, std::initializer_list<OutlineSegment> right, double scale) {
    auto at = [scale](Point p) { return Point{p.x * scale, p.y * scale}; };
    auto mirrored = [scale](Point p) { return Point{-p.x * scale, p.y * scale}; };
    std::vector<Point> starts;
    Path path;
    path.move(at(start));
    Point from = start;
    for (const auto& seg : right) {
        starts.push_back(from);
        switch (seg.kind) {
            case OutlineSegment::Kind::line: path.addLine(at(seg.end)); break;
            case OutlineSegment::Kind::quad: path.addQuadCurve(at(seg.end), at(seg.c1)); break;
            case OutlineSegment::Kind::cubic: path.addCurve(at(seg.end), at(seg.c1), at(seg.c2)); break;
        }
        from = seg.end;
    }
    std::size_t i = right.size();
    for (auto it = std::rbegin(right); it != std::rend(right); ++it) {
        const Point back = starts[--i];
        switch (it->kind) {
            case OutlineSegment::Kind::line: path.addLine(mirrored(back)); break;
            case OutlineSegment::Kind::quad: path.addQuadCurve(mirrored(back), mirrored(it->c1)); break;
            case OutlineSegment::Kind::cubic: path.addCurve(mirrored(back), mirrored(it->c2), mirrored(it->c1)); break;
        }
    }
    path.closeSubpath();
    return path;
}

// The offset that puts a drop shadow 0.6 points right of and 1 point below a figure on screen,
// whatever the figure's rotation `rot` (the offset is given in the rotated frame).
inline Point screenShadowOffset(double rot) {
    return {0.6 * std::cos(rot) + std::sin(rot), std::cos(rot) - 0.6 * std::sin(rot)};
}

// Fills `outline` moved by the screen shadow offset of a figure turned by `rot`.
inline void fillDropShadow(gfx::GraphicsContext& c, const Path& outline, double rot, const Color& color) {
    const Point o = screenShadowOffset(rot);
    c.fill(outline.offsetBy(o.x, o.y), color);
}

// A tumbling blossom petal of a particle: narrowing and widening as it turns (phase speed 2.4),
// its broad end at notchFactor × r, filled from `centre` to `edge` and outlined.
inline void paintBlossomPetal(gfx::GraphicsContext& c, const HUDFestiveParticle& p, double notchFactor,
                              const Color& centre, const Color& edge, const Color& outline) {
    const double r = 0.5 * p.size;
    c.scaleBy(0.42 + 0.58 * std::fabs(std::cos(tumblePhase(p.seed, p.age, 2.4))), 1);
    const Path petal = blossomPetalPath(r, notchFactor * r);
    c.fill(petal, radial({centre, edge}, {0, 0.15 * r}, 1.05 * r));
    c.stroke(petal, outline, stroke(0.5));
}

// The figure a kind draws when a festival has `figures` of them: kinds 0 ... figures − 2 draw
// their own, every other value (the last kind, anything past it, and negative kinds) the last.
inline std::size_t figureOfKind(int kind, std::size_t figures) {
    if (kind < 0) return figures == 0 ? 0 : figures - 1;
    return clampedIndex(static_cast<std::int64_t>(kind), figures);
}

// The particle as the art may read it: nothing to draw for a size that is not a positive finite
// number; a seed, age, life, rotation or velocity that is not finite is read as 0.
inline std::optional<HUDFestiveParticle> drawableParticle(const HUDFestiveParticle& p) {
    if (!std::isfinite(p.size) || !(p.size > 0)) return std::nullopt;
    HUDFestiveParticle q = p;
    auto finiteOrZero = [](double& v) {
        if (!std::isfinite(v)) v = 0;
    };
    finiteOrZero(q.seed);
    finiteOrZero(q.age);
    finiteOrZero(q.life);
    finiteOrZero(q.rot);
    finiteOrZero(q.vx);
    finiteOrZero(q.vy);
    finiteOrZero(q.x);
    finiteOrZero(q.y);
    return q;
}

}  // namespace quillmar::festive_paint
