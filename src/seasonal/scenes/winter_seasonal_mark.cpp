// The small seasonal mark of the two winter themes in the icon hint: a holly sprig, a snowflake
// with or without a glow, or a four-pointed sparkle, chosen by the variant.

#include "seasonal/scenes/christmas_pieces.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/spectacle_renderers.h"

#include <cmath>

namespace quillmar {

namespace {
using gfx::Color;

Color snowflakeInk(bool isDark) { return isDark ? Color(0.94, 0.97, 1.00) : Color(0.46, 0.60, 0.80); }

void glowingSnowflake(gfx::GraphicsContext& ctx, bool isDark, double s, double a) {
    if (a > 0.01) {
        const Color glow = isDark ? Color::whiteColor() : Color(0.62, 0.76, 0.96);
        ctx.fill(scenes::circlePath(0, 0, 1.75 * s), scenes::radialShading({0, 0}, 1.75 * s, {glow.opacity(a), glow.opacity(0)}));
    }
    ctx.stroke(snowflakePath(s, 2), snowflakeInk(isDark), scenes::roundStroke(0.95));
}

void plainSnowflake(gfx::GraphicsContext& ctx, bool isDark, double s) {
    ctx.stroke(snowflakePath(s, 1), snowflakeInk(isDark), scenes::roundStroke(0.8));
}
}  // namespace

void drawWinterSeasonalMark(gfx::GraphicsContext& context, ArtisanCanvasTheme theme, int variant, bool isDark,
                            double size, double intensity) {
    if (!std::isfinite(size) || !std::isfinite(intensity)) return;
    const XmasCozyPalette palette = XmasCozyPalette::make(isDark);
    if (theme == ArtisanCanvasTheme::winterAuroraHearth) {
        switch (variant % 3) {
            case 0: glowingSnowflake(context, isDark, 0.95 * size, 0.28 + 0.3 * intensity); break;
            case 1: plainSnowflake(context, isDark, 0.80 * size); break;
            default:
                context.fill(scenes::sparklePath(0, 0, 0.90 * size), Color(1.0, 0.7 + 0.2 * intensity, 0.3).opacity(0.9));
                break;
        }
        return;
    }
    switch (variant % 4) {
        case 0: drawHollySprig(context, palette, 1.05 * size); break;
        case 1: glowingSnowflake(context, isDark, 0.95 * size, 0.3 + 0.3 * intensity); break;
        case 2: context.fill(scenes::sparklePath(0, 0, 0.92 * size), palette.stardust.opacity(0.75 + 0.25 * intensity)); break;
        default: plainSnowflake(context, isDark, 0.78 * size); break;
    }
}

}  // namespace quillmar
