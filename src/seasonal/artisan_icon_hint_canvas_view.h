#pragma once
// The transparent canvas over the About card's app icon. It draws two animations the craft
// state drives: the hint (a glowing ring that swells around the icon, a sparkle orbiting it, a
// charm of the day's theme tumbling off to the right and a gold flake) and the tap burst (a ring
// thrown off the icon on the first and second tap, a fan of gold shards and, from the second
// tap on, theme charms among them). Either may run alone or both at once.
//
// Canvas points, origin top left; the icon occupies (12, 12)...(60, 60). The hint's charm
// travels to about x = 99, so the owner makes the canvas wider than the icon and leaves it
// unclipped. Under Reduce Motion the hint is one fading outline and the burst only its ring.

#include <optional>

#include "gfx/graphics_context.h"
#include "seasonal/seasonal_easter_egg.h"
#include "ui/view.h"

namespace quillmar {

struct ArtisanIconHintCanvasView {
    SeasonalEasterEgg egg;
    bool isDark = false;
    std::optional<double> hintProgress;
    int tapBurstLevel = 0;
    std::optional<double> tapBurstProgress;

    ui::View body() const;

    // One frame: the hint, then the burst.
    static void renderIconHint(gfx::GraphicsContext& context, ui::Size size, const ArtisanIconHintCanvasView& view,
                               bool reduceMotion);

    friend bool operator==(const ArtisanIconHintCanvasView&, const ArtisanIconHintCanvasView&) = default;
};

}  // namespace quillmar
