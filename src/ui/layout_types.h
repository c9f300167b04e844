#pragma once
// Geometry and alignment vocabulary of the view layer. Points, y down, origin top-left (the
// graphics layer's conventions); a proposal leaves a dimension unset to ask for the ideal size.

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "gfx/color.h"
#include "gfx/geometry.h"

namespace quillmar::ui {

using gfx::Angle;
using gfx::Color;
using gfx::EdgeInsets;
using gfx::Point;
using gfx::Rect;
using gfx::Size;
using gfx::UnitPoint;

inline constexpr double infinity = std::numeric_limits<double>::infinity();

enum class Axis { horizontal, vertical };

enum class HorizontalAlignment { leading, center, trailing };
enum class VerticalAlignment { top, center, bottom };

struct Alignment {
    HorizontalAlignment horizontal = HorizontalAlignment::center;
    VerticalAlignment vertical = VerticalAlignment::center;

    static constexpr Alignment center() { return {}; }
    static constexpr Alignment topLeading() { return {HorizontalAlignment::leading, VerticalAlignment::top}; }
    static constexpr Alignment top() { return {HorizontalAlignment::center, VerticalAlignment::top}; }
    static constexpr Alignment topTrailing() { return {HorizontalAlignment::trailing, VerticalAlignment::top}; }
    static constexpr Alignment leading() { return {HorizontalAlignment::leading, VerticalAlignment::center}; }
    static constexpr Alignment trailing() { return {HorizontalAlignment::trailing, VerticalAlignment::center}; }
    static constexpr Alignment bottomLeading() { return {HorizontalAlignment::leading, VerticalAlignment::bottom}; }
    static constexpr Alignment bottom() { return {HorizontalAlignment::center, VerticalAlignment::bottom}; }
    static constexpr Alignment bottomTrailing() {
        return {HorizontalAlignment::trailing, VerticalAlignment::bottom};
    }
    friend constexpr bool operator==(Alignment, Alignment) = default;
};

// Offset of a box of size `inner` inside a box of size `outer` (may be negative: overflow).
inline double alignOffset(HorizontalAlignment a, double outer, double inner) {
    switch (a) {
        case HorizontalAlignment::leading: return 0;
        case HorizontalAlignment::center: return (outer - inner) / 2;
        case HorizontalAlignment::trailing: return outer - inner;
    }
    return 0;
}
inline double alignOffset(VerticalAlignment a, double outer, double inner) {
    switch (a) {
        case VerticalAlignment::top: return 0;
        case VerticalAlignment::center: return (outer - inner) / 2;
        case VerticalAlignment::bottom: return outer - inner;
    }
    return 0;
}
inline Point alignOffset(Alignment a, Size outer, Size inner) {
    return {alignOffset(a.horizontal, outer.width, inner.width), alignOffset(a.vertical, outer.height, inner.height)};
}

// A set of edges, for padding.
struct Edges {
    std::uint8_t bits = 0;
    static constexpr Edges top() { return {1}; }
    static constexpr Edges leading() { return {2}; }
    static constexpr Edges bottom() { return {4}; }
    static constexpr Edges trailing() { return {8}; }
    static constexpr Edges horizontal() { return {2 | 8}; }
    static constexpr Edges vertical() { return {1 | 4}; }
    static constexpr Edges all() { return {15}; }
    constexpr bool contains(Edges e) const { return (bits & e.bits) == e.bits; }
    friend constexpr Edges operator|(Edges a, Edges b) { return {static_cast<std::uint8_t>(a.bits | b.bits)}; }
    friend constexpr bool operator==(Edges, Edges) = default;
};

// What a parent offers a child: a width and a height, each unset (ideal size wanted), finite, or
// infinite (as much as the child wants).
struct ProposedSize {
    std::optional<double> width;
    std::optional<double> height;

    static ProposedSize unspecified() { return {}; }
    static ProposedSize infinite() { return {infinity, infinity}; }
    static ProposedSize zero() { return {0.0, 0.0}; }
    static ProposedSize exactly(Size s) { return {s.width, s.height}; }
    std::optional<double> along(Axis a) const { return a == Axis::horizontal ? width : height; }
    std::optional<double> across(Axis a) const { return a == Axis::horizontal ? height : width; }
    static ProposedSize make(Axis a, std::optional<double> along, std::optional<double> across) {
        return a == Axis::horizontal ? ProposedSize{along, across} : ProposedSize{across, along};
    }
    // Unset dimensions replaced by `s`'s.
    Size replacingUnspecified(Size s) const { return {width.value_or(s.width), height.value_or(s.height)}; }
    friend bool operator==(const ProposedSize&, const ProposedSize&) = default;
};

inline double along(Axis a, Size s) { return a == Axis::horizontal ? s.width : s.height; }
inline double across(Axis a, Size s) { return a == Axis::horizontal ? s.height : s.width; }
inline Size makeSize(Axis a, double along, double across) {
    return a == Axis::horizontal ? Size{along, across} : Size{across, along};
}

// Finite non-negative value, or `fallback`: keeps bad numbers out of layout.
inline double sanitizeLength(double v, double fallback = 0) {
    if (std::isnan(v)) return fallback;
    return v < 0 ? 0 : v;
}

}  // namespace quillmar::ui
