#pragma once
// What shapes and text are painted with: a colour, a gradient laid over the shape's bounds, a
// level of the environment's foreground (primary, secondary...), or the tint (accent) colour.
// Styles resolve against the environment, so a view drawn in the dark scheme gets light labels.

#include <vector>

#include "gfx/shading.h"
#include "ui/layout_types.h"

namespace quillmar::ui {

struct Environment;

class ShapeStyle {
public:
    enum class Kind { color, linearGradient, radialGradient, hierarchical, tint };
    enum class Level { primary, secondary, tertiary, quaternary };

    ShapeStyle() = default;  // the primary foreground
    ShapeStyle(const Color& c);  // NOLINT(google-explicit-constructor): colours are styles

    static ShapeStyle primary() { return hierarchical(Level::primary); }
    static ShapeStyle secondary() { return hierarchical(Level::secondary); }
    static ShapeStyle tertiary() { return hierarchical(Level::tertiary); }
    static ShapeStyle quaternary() { return hierarchical(Level::quaternary); }
    static ShapeStyle tint();
    static ShapeStyle linearGradient(const gfx::Gradient& g, UnitPoint start, UnitPoint end);
    static ShapeStyle radialGradient(const gfx::Gradient& g, UnitPoint center, double startRadius, double endRadius);

    // The same style at `k` times its opacity.
    ShapeStyle opacity(double k) const;

    Kind kind() const { return kind_; }
    bool isGradient() const { return kind_ == Kind::linearGradient || kind_ == Kind::radialGradient; }

    // The colours painted in `env` (one, or the gradient's stops in order), alpha included.
    std::vector<Color> resolvedColors(const Environment& env) const;
    // The shading over `bounds` with the given colours (resolvedColors, or animated ones).
    gfx::Shading shading(const Rect& bounds, const std::vector<Color>& colors) const;
    gfx::Shading resolve(const Environment& env, const Rect& bounds) const {
        return shading(bounds, resolvedColors(env));
    }

    friend bool operator==(const ShapeStyle& a, const ShapeStyle& b);

private:
    static ShapeStyle hierarchical(Level l);

    Kind kind_ = Kind::hierarchical;
    Level level_ = Level::primary;
    Color color_;
    gfx::Gradient gradient_;
    UnitPoint start_{0.5, 0}, end_{0.5, 1};
    double startRadius_ = 0, endRadius_ = 0;
    double opacity_ = 1;
};

// Colours as animatable numbers (premultiplied, so a fade to clear does not pass through grey)
// and back.
std::vector<double> colorsToData(const std::vector<Color>& colors);
std::vector<Color> dataToColors(const double* data, std::size_t count);

}  // namespace quillmar::ui
