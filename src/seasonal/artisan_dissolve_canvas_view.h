#pragma once
// The canvas that plays an unlocked easter egg over the About card: a wash in the egg's tint, a
// ring opening around the emblem, the scene of the egg's theme and, for most themes, a layer of
// 26 sparkles and 16 drifting theme charms (11 for the lunar new year) that shy away from the
// pointer. Every position is a pure function of the theme, the progress, the canvas size and the
// pointer, so any frame can be drawn at any progress. Under Reduce Motion only a tinted wash
// rises and falls.
//
// The emblem point E is (width − 29, height / 2). The four window-wide themes (St Patrick's,
// fireworks, Halloween, Christmas) play across the settings window instead; this canvas still
// draws what the card shows of them.

#include "gfx/graphics_context.h"
#include "seasonal/seasonal_easter_egg.h"
#include "ui/view.h"

namespace quillmar {

struct ArtisanDissolveCanvasView {
    SeasonalEasterEgg egg;
    double progress = 0;
    bool isDark = false;

    ui::View body() const;

    // One whole frame. A canvas of 8 points or less on a side, or a progress that is not a
    // number, draws nothing; other progress values are held to 0...1.
    static void renderDissolveScene(gfx::GraphicsContext& context, ui::Size size, const SeasonalEasterEgg& egg,
                                    double progress, bool isDark, bool reduceMotion);

    // Whether the theme lays the sparkle-and-charm layer over its scene.
    static bool hasSparkleLayer(ArtisanCanvasTheme theme);

    friend bool operator==(const ArtisanDissolveCanvasView&, const ArtisanDissolveCanvasView&) = default;
};

}  // namespace quillmar
