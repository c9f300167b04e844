#include "app/demo/pointer_arrow.h"

#include <vector>

#include "gfx/path.h"
#include "gfx/render_target.h"
#include "gfx/stroke_style.h"

namespace quillmar {

void drawPointerArrow(gfx::GraphicsContext& context, gfx::Point tip) {
    // The classic arrow, tip at the origin, 17 points tall.
    static const std::vector<gfx::Point> outline = {{0, 0},     {0, 15.5}, {3.9, 11.9}, {6.6, 17},
                                                    {9.1, 15.9}, {6.5, 11}, {11.4, 11}};
    std::vector<gfx::Point> points;
    for (const auto& p : outline) points.push_back({tip.x + p.x, tip.y + p.y});
    gfx::Path arrow;
    arrow.addPolygon(points);
    gfx::StrokeStyle rim;
    rim.lineWidth = 2.4;
    rim.lineJoin = gfx::LineJoin::round;
    context.stroke(arrow, gfx::Color::whiteColor(), rim);
    context.fill(arrow, gfx::Color::rgb(0, 0, 0));
}

bool writeViewPicture(ui::HostingView& host, const std::string& path, double scale, std::optional<ui::Rect> area,
                      std::optional<ui::Point> pointer, std::string* error) {
    if (!area && !pointer) return host.writePng(path, scale, std::nullopt, error);
    host.layoutIfNeeded();
    const ui::Rect r = area.value_or(ui::Rect{0, 0, host.size().width, host.size().height});
    gfx::RenderTarget target({r.width, r.height}, scale);
    gfx::GraphicsContext c = target.context();
    c.translateBy(-r.x, -r.y);
    host.draw(c);
    if (pointer) drawPointerArrow(c, *pointer);
    return target.writePng(path, error);
}

}  // namespace quillmar
