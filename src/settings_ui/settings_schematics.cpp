#include "settings_ui/settings_schematics.h"

#include "ui/ui.h"

namespace quillmar {

using gfx::Color;
using gfx::Path;
using gfx::Point;
using gfx::Rect;

namespace {

Color labelColor() { return ui::environment().systemColor(gfx::SystemColor::primaryLabel); }

void dot(gfx::GraphicsContext& ctx, Point c, Color color) {
    ctx.fill(Path::ellipse(Rect{c.x - 2.3, c.y - 2.3, 4.6, 4.6}), color);
}

gfx::StrokeStyle dashed(double width) {
    gfx::StrokeStyle s;
    s.lineWidth = width;
    s.dash = {2, 2};
    return s;
}

// A window or app tile: the fill first (when it has one), then the outline on the same shape.
void tile(gfx::GraphicsContext& ctx, Rect r, double radius, Color label, double fill, const gfx::StrokeStyle& outline,
          double outlineOpacity) {
    const auto shape = Path::roundedRect(r, radius);
    if (fill > 0) ctx.fill(shape, label.opacity(fill));
    ctx.stroke(shape, label.opacity(outlineOpacity), outline);
}

gfx::StrokeStyle solid(double width) {
    gfx::StrokeStyle s;
    s.lineWidth = width;
    return s;
}

}  // namespace

ui::View GestureSchematicView::body() const {
    const Color label = labelColor();
    const TriggerStyle style = kind;
    return ui::Canvas([style, label](gfx::GraphicsContext& ctx, ui::Size size) {
        const Rect pad{(size.width - 54) / 2, (size.height - 24) / 2, 54, 24};
        ctx.stroke(Path::roundedRect(pad, 4.5), label.opacity(0.32), 1.0);
        const double cx = pad.midX(), cy = pad.midY();
        switch (style) {
            case TriggerStyle::holdAndSlide:
                ctx.stroke(Path::circle({cx, cy - 1}, 5.5), label.opacity(0.38), 1.0);
                for (Point p : {Point{cx - 9, cy + 0.5}, Point{cx, cy - 1}, Point{cx + 9, cy + 0.5}})
                    dot(ctx, p, label.opacity(0.88));
                break;
            case TriggerStyle::immediateHorizontalSlide: {
                Path strokes;
                strokes.move(pad.minX() + 6, cy);
                strokes.addLine(pad.minX() + 12, cy);
                strokes.move(pad.maxX() - 12, cy);
                strokes.addLine(pad.maxX() - 6, cy);
                gfx::StrokeStyle s;
                s.lineWidth = 1.1;
                s.lineCap = gfx::LineCap::round;
                ctx.stroke(strokes, label.opacity(0.45), s);
                for (Point p : {Point{cx - 7.5, cy + 0.5}, Point{cx, cy - 1}, Point{cx + 7.5, cy + 0.5}})
                    dot(ctx, p, label.opacity(0.88));
                break;
            }
            case TriggerStyle::topEdgeTwoFinger:
                ctx.stroke(Path::line({pad.minX() + 1, pad.minY() + 8.5}, {pad.maxX() - 1, pad.minY() + 8.5}),
                           label.opacity(0.38), dashed(1));
                for (Point p : {Point{cx - 4.5, pad.minY() + 4.5}, Point{cx + 4.5, pad.minY() + 4.5}})
                    dot(ctx, p, label.opacity(0.9));
                break;
        }
    });
}

ui::View ScopeSchematicView::body() const {
    const Color label = labelColor();
    const SwitcherMode m = mode;
    return ui::Canvas([m, label](gfx::GraphicsContext& ctx, ui::Size size) {
        const double cx = size.width / 2, cy = size.height / 2;
        switch (m) {
            case SwitcherMode::allWindows:
                tile(ctx, {cx - 22, cy - 9, 24, 15}, 2.5, label, 0, solid(1), 0.38);
                tile(ctx, {cx - 12, cy - 6, 24, 15}, 2.5, label, 0.14, solid(1), 0.62);
                tile(ctx, {cx - 2, cy - 3, 24, 15}, 2.5, label, 0.26, solid(1.1), 0.92);
                break;
            case SwitcherMode::appsOnly:
                tile(ctx, {cx - 22, cy - 5.5, 11, 11}, 2.8, label, 0.18, solid(1), 0.55);
                tile(ctx, {cx - 6.5, cy - 6.5, 13, 13}, 3.2, label, 0.30, solid(1.15), 0.95);
                tile(ctx, {cx + 11, cy - 5.5, 11, 11}, 2.8, label, 0.18, solid(1), 0.55);
                break;
            case SwitcherMode::activeAppWindows:
                tile(ctx, {cx - 17, cy - 9, 26, 14}, 2.5, label, 0, dashed(1), 0.4);
                tile(ctx, {cx - 9, cy - 4, 26, 15}, 2.5, label, 0.24, solid(1.1), 0.92);
                break;
        }
    });
}

}  // namespace quillmar
