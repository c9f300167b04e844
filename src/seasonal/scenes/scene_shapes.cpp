#include "seasonal/scenes/scene_shapes.h"

namespace quillmar::scenes {

gfx::Path sparklePath(double x, double y, double r) {
    gfx::Path p;
    const gfx::Point c{x, y};
    p.move({x, y - r});
    p.addQuadCurve({x + r, y}, c);
    p.addQuadCurve({x, y + r}, c);
    p.addQuadCurve({x - r, y}, c);
    p.addQuadCurve({x, y - r}, c);
    p.closeSubpath();
    return p;
}

gfx::Shading radialShading(gfx::Point centre, double radius, std::initializer_list<gfx::Color> colors) {
    return gfx::Shading::radialGradient(gfx::Gradient::colors(colors), centre, 0, radius);
}

gfx::Shading radialShading(gfx::Point centre, double radius, std::vector<gfx::GradientStop> stops) {
    return gfx::Shading::radialGradient(gfx::Gradient::withStops(std::move(stops)), centre, 0, radius);
}

gfx::Shading linearShading(gfx::Point from, gfx::Point to, std::initializer_list<gfx::Color> colors) {
    return gfx::Shading::linearGradient(gfx::Gradient::colors(colors), from, to);
}

gfx::Shading linearShading(gfx::Point from, gfx::Point to, std::vector<gfx::GradientStop> stops) {
    return gfx::Shading::linearGradient(gfx::Gradient::withStops(std::move(stops)), from, to);
}

}  // namespace quillmar::scenes
