#pragma once
// What a fill or stroke paints with: a colour or a gradient.
//
// Gradient stops are sorted by location; stops at equal locations make a hard edge. A stop whose
// colour is fully clear blends toward its neighbour's colour at zero alpha, so a fade to clear
// never darkens. A degenerate gradient (zero length, or zero end radius) paints its last colour.

#include <variant>
#include <vector>

#include "gfx/color.h"
#include "gfx/geometry.h"

namespace quillmar::gfx {

struct GradientStop {
    Color color{};
    double location = 0;
};

struct Gradient {
    std::vector<GradientStop> stops;

    Gradient() = default;
    explicit Gradient(std::vector<GradientStop> s);
    // Colours spread evenly from 0 to 1.
    static Gradient colors(const std::vector<Color>& colors);
    static Gradient withStops(std::vector<GradientStop> s) { return Gradient(std::move(s)); }

    // The stops as they are rendered: sorted, locations clamped to 0...1, clear stops replaced
    // by their neighbours' colours at zero alpha, alpha multiplied by `opacity`.
    std::vector<GradientStop> resolvedStops(double opacity = 1.0) const;
    Color lastColor() const;
    Gradient opacity(double k) const;
};

// Beyond the end points a gradient either repeats its end colours (pad, the default) or paints
// nothing (none).
enum class GradientExtend { pad, none };

class Shading {
public:
    enum class Kind { color, linearGradient, radialGradient };

    struct Linear {
        Gradient gradient;
        Point start, end;
        GradientExtend extend = GradientExtend::pad;
    };
    struct Radial {
        Gradient gradient;
        Point center;
        double startRadius = 0, endRadius = 0;
        GradientExtend extend = GradientExtend::pad;
    };

    Shading() : value_(Color::black()) {}
    // A colour converts to its shading implicitly, so `ctx.fill(path, color)` reads naturally.
    Shading(const Color& c) : value_(c) {}  // NOLINT(google-explicit-constructor)
    static Shading color(const Color& c) { return Shading(c); }
    static Shading linearGradient(const Gradient& g, Point start, Point end,
                                  GradientExtend extend = GradientExtend::pad);
    static Shading radialGradient(const Gradient& g, Point center, double startRadius, double endRadius,
                                  GradientExtend extend = GradientExtend::pad);

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    const Color* asColor() const { return std::get_if<Color>(&value_); }
    const Linear* asLinear() const { return std::get_if<Linear>(&value_); }
    const Radial* asRadial() const { return std::get_if<Radial>(&value_); }
    // The colours this shading paints (one for a colour, the resolved stops for a gradient).
    std::vector<Color> colors() const;
    // True when the gradient cannot spread (zero length, zero radius) and paints its last colour.
    bool isDegenerate() const;

private:
    explicit Shading(Linear l) : value_(std::move(l)) {}
    explicit Shading(Radial r) : value_(std::move(r)) {}
    std::variant<Color, Linear, Radial> value_;
};

}  // namespace quillmar::gfx
