#pragma once
// The scenes three East Asian eggs play in the dissolve canvas, each a pure function of the
// progress p (0...1), the canvas size and the appearance:
// - the lunar new year: a golden dragon chasing a pearl across the card, cloud curls, spark
//   bursts (the last on the emblem point) and spinning coins and gold ingots;
// - the summer jade lotus: ripples from the icon and the emblem, and three silk threads;
// - the Korean cranes: five cranes flying up and to the right.

#include "gfx/graphics_context.h"
#include "runtime/geometry.h"

namespace quillmar {

void drawLunarNewYearDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height, double p,
                              double emblemX, double emblemY);
void drawJadeLotusDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height, double p,
                           double emblemX, double emblemY);
void drawKoreanCranesDissolve(gfx::GraphicsContext& context, bool isDark, double p);

// A point of the dragon's spine at parameter t (0 its start, 1 its end), undulating with p.
struct DragonSpinePoint {
    Point point;
    Point direction;  // unit
    Point normal;     // unit, the direction turned a quarter clockwise on screen
};
DragonSpinePoint lunarDragonSpine(double t, double p, double width, double height);

}  // namespace quillmar
