#pragma once
// Shapes: outlines that fill the frame they are given. As views they are filled, stroked along
// their outline, or stroked inside their border (strokeBorder keeps the whole line within the
// frame); they also serve as clip shapes, content (hit) shapes and backgrounds.

#include <functional>
#include <memory>

#include "gfx/path.h"
#include "gfx/stroke_style.h"
#include "ui/shape_style.h"
#include "ui/view.h"

namespace quillmar::ui {

class Shape : public View {
public:
    enum class Kind { rectangle, roundedRectangle, unevenRoundedRectangle, circle, ellipse, capsule, custom };

    static Shape rectangle();
    static Shape roundedRectangle(double cornerRadius,
                                  gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::continuous);
    static Shape roundedRectangle(Size cornerSize,
                                  gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::continuous);
    static Shape unevenRoundedRectangle(const gfx::RectangleCornerRadii& radii,
                                        gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::continuous);
    static Shape circle();  // the largest circle centred in the frame
    static Shape ellipse();
    static Shape capsule(gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::circular);
    // Any outline, made from the frame it is given.
    static Shape custom(std::function<gfx::Path(const Rect&)> path);

    // The same shape inset by `amount` on every side.
    Shape inset(double amount) const;

    gfx::Path path(const Rect& in) const;
    Kind kind() const { return spec_.kind; }

    // As views (a Shape used as a view is filled with the environment's foreground style).
    View fill(const ShapeStyle& style = ShapeStyle::primary(), gfx::FillStyle fillStyle = {}) const;
    View stroke(const ShapeStyle& style, double lineWidth = 1) const;
    View stroke(const ShapeStyle& style, const gfx::StrokeStyle& strokeStyle) const;
    // Stroked inside the border: the shape inset by half the line width, then stroked.
    View strokeBorder(const ShapeStyle& style, double lineWidth = 1) const;
    View strokeBorder(const ShapeStyle& style, const gfx::StrokeStyle& strokeStyle) const;

    struct Spec {
        Kind kind = Kind::rectangle;
        double radius = 0;
        Size cornerSize{};
        gfx::RectangleCornerRadii radii{};
        gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::continuous;
        std::shared_ptr<const std::function<gfx::Path(const Rect&)>> custom;
        double inset = 0;
    };

private:
    explicit Shape(Spec spec);
    Spec spec_;
};

inline Shape Rectangle() { return Shape::rectangle(); }
inline Shape RoundedRectangle(double cornerRadius,
                              gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::continuous) {
    return Shape::roundedRectangle(cornerRadius, style);
}
inline Shape UnevenRoundedRectangle(const gfx::RectangleCornerRadii& radii,
                                    gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::continuous) {
    return Shape::unevenRoundedRectangle(radii, style);
}
inline Shape Circle() { return Shape::circle(); }
inline Shape Ellipse() { return Shape::ellipse(); }
inline Shape Capsule(gfx::RoundedCornerStyle style = gfx::RoundedCornerStyle::circular) {
    return Shape::capsule(style);
}

}  // namespace quillmar::ui
