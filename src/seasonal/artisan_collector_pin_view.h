#pragma once
// The emblem of the Western easter eggs: a round enamel collector pin, 36 by 36 points, with a
// metal rim (silver for the snowflake, gold for every other motif), an enamel disc in the
// motif's two colours, a bright bezel, the motif figure and a gloss arc over the top. When an
// egg is unlocked the pin pops in: 14 % larger at the start of the dissolve, back to its size at
// 0.16 of it. The appearance changes only the drop shadow.

#include <optional>

#include "gfx/graphics_context.h"
#include "seasonal/pin_motif.h"
#include "ui/view.h"

namespace quillmar {

struct ArtisanCollectorPinView {
    PinMotif motif = PinMotif::shamrock;
    bool isDark = false;
    std::optional<double> bloomProgress;

    ui::View body() const;

    // Draws the pin centred in a canvas of `size` (all lengths fixed in points).
    static void renderPin(gfx::GraphicsContext& context, ui::Size size, PinMotif motif);
    // 1.14 at the start of the dissolve easing to 1 at 0.16; 1 without a dissolve.
    static double bloomScale(std::optional<double> bloomProgress);

    friend bool operator==(const ArtisanCollectorPinView&, const ArtisanCollectorPinView&) = default;
};

}  // namespace quillmar
