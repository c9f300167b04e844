#pragma once
// The Christmas garland of the Switch Bar: a sagging pine rope along the four edges, swag after
// swag (about 44 points each), with green needles and a gold thread, and one glass bulb hanging
// from the middle of every swag. Each bulb has its colour from a five-colour palette, twinkles
// slowly on its own phase, and glows brighter where the glow trail says the selection is or has
// just been. The corners stay free for the sprigs and, on bars 150 points wide or more, the
// middle of the top edge for the bow.
//
// Points in the bar's own coordinates, origin at the top-left corner, y downward.

#include <array>

#include "gfx/color.h"
#include "gfx/graphics_context.h"

namespace quillmar {

struct ChristmasBulbColors {
    gfx::Color highlight;  // centre of the glass
    gfx::Color body;       // main glass colour
    gfx::Color rim;        // edge of the glass; darkened, it also outlines it
    gfx::Color halo;       // the glow around the bulb
};

// Amber, red, green, blue, orange: bulb k takes row k mod 5.
const std::array<ChristmasBulbColors, 5>& christmasBulbPalette();

// The runs and their bulbs on a bar width × height. `cornerRadius` is the radius the perimeter
// already limited; `time` drives the twinkle (0 holds every bulb still); `now` is the media time
// the glow trail is read at.
void drawChristmasGarland(gfx::GraphicsContext& context, bool isDark, double width, double height,
                          double cornerRadius, double time, double now);

// One bulb hanging from (x, y) in the direction `angle`, with its glow (clamped to 0...1). Draws
// on its own copy of the context.
void drawChristmasBulb(gfx::GraphicsContext context, int index, bool isDark, double x, double y, double angle,
                       double time, double glow);

}  // namespace quillmar
