#include "seasonal/scenes/soft_radial_wash.h"

#include <cmath>

#include "gfx/render_target.h"

namespace quillmar {

namespace {

// Pixels per point of the coarse grid: one sample every four points.
constexpr double kWashResolution = 0.25;

}  // namespace

void fillSoftRadialWash(gfx::GraphicsContext& context, double width, double height, const gfx::Shading& shading) {
    if (!(width > 0 && height > 0) || !std::isfinite(width) || !std::isfinite(height)) return;
    const gfx::Rect canvas{0, 0, width, height};
    auto coarse = gfx::render({width, height}, kWashResolution,
                              [&](gfx::GraphicsContext& grid) { grid.fill(gfx::Path::rect(canvas), shading); });
    gfx::ImageStyle style;
    style.interpolation = gfx::ImageInterpolation::low;
    context.draw(coarse->takeImage(), canvas, style);
}

}  // namespace quillmar
