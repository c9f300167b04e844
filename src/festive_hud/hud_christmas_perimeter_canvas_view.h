#pragma once
// The Christmas perimeter laid over the Switch Bar on December 24 and 25: the garland with its
// glowing bulbs along the edges, a sprig in each corner and, on bars 150 points wide or more,
// the bow with its bells at the top. Animated on a timeline of at least 1/30 s (bulbs twinkle,
// bells swing); under Reduce Motion a still canvas whose glow still follows the trail each time
// the bar redraws. It takes no input of its own.

#include "gfx/graphics_context.h"
#include "ui/view.h"

namespace quillmar {

// The renderer behind both canvases: a canvas smaller than 80 × 60 points draws nothing. `time`
// (seconds) drives the twinkle and the swing only through sines; 0 holds everything still. The
// glow is read at the media clock's now.
void drawChristmasPerimeter(gfx::GraphicsContext& context, gfx::Size size, bool isDark, double cornerRadius,
                            double time);

struct HUDChristmasPerimeterCanvasView {
    bool isDark = true;
    double cornerRadius = 18;

    ui::View body() const;
    friend bool operator==(const HUDChristmasPerimeterCanvasView&, const HUDChristmasPerimeterCanvasView&) = default;
};

}  // namespace quillmar
