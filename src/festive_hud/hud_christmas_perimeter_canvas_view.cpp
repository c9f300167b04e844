#include "festive_hud/hud_christmas_perimeter_canvas_view.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/christmas_garland.h"
#include "festive_hud/christmas_ornaments.h"
#include "platform/accessibility_display_options.h"
#include "runtime/main_loop.h"
#include "ui/canvas.h"

namespace quillmar {

namespace {

// Seconds from the Unix epoch to 1 January 2001, 00:00 UTC: the twinkle's clock counts from there.
constexpr double kReferenceDateOffset = 978307200;

}  // namespace

void drawChristmasPerimeter(gfx::GraphicsContext& context, gfx::Size size, bool isDark, double cornerRadius,
                            double time) {
    const double W = size.width;
    const double H = size.height;
    if (!std::isfinite(W) || !std::isfinite(H) || W < 80 || H < 60) return;
    if (!std::isfinite(time)) time = 0;
    const double limit = std::min(W, H) * 0.42;
    const double r = std::isfinite(cornerRadius) ? std::clamp(cornerRadius, 0.0, limit) : limit;
    const double now = runtime::mediaTime();
    drawChristmasGarland(context, isDark, W, H, r, time, now);
    drawChristmasCornerSprig(context, isDark, 0, 0, 1, 1, r);
    drawChristmasCornerSprig(context, isDark, W, 0, -1, 1, r);
    drawChristmasCornerSprig(context, isDark, 0, H, 1, -1, r);
    drawChristmasCornerSprig(context, isDark, W, H, -1, -1, r);
    if (W >= 150) drawChristmasTopBow(context, isDark, W, time);
}

ui::View HUDChristmasPerimeterCanvasView::body() const {
    const bool dark = isDark;
    const double radius = cornerRadius;
    if (platform::AccessibilityDisplayOptions::shared().shouldReduceMotion())
        return ui::Canvas([dark, radius](gfx::GraphicsContext& c, gfx::Size size) {
            drawChristmasPerimeter(c, size, dark, radius, 0);
        });
    return ui::TimelineView(1.0 / 30, [dark, radius](const ui::TimelineContext& timeline) {
        const double time = timeline.date - kReferenceDateOffset;
        return ui::Canvas([dark, radius, time](gfx::GraphicsContext& c, gfx::Size size) {
            drawChristmasPerimeter(c, size, dark, radius, time);
        });
    });
}

}  // namespace quillmar
