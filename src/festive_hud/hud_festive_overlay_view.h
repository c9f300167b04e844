#pragma once
// The festive decoration the Switch Bar lays over its content, in the same frame: the Christmas
// perimeter underneath (while it is up) and the festive particles on top (while a festival's
// particles fly), drawn with the art of the active festival. It redraws on every frame the
// festive state publishes and never takes clicks or scrolls.

#include <optional>
#include <span>

#include "festive_hud/hud_festive_particle.h"
#include "festive_hud/hud_festive_theme.h"
#include "gfx/graphics_context.h"
#include "ui/view.h"

namespace quillmar {

// A particle's opacity over its life: it fades in over its first 0.1 s and out, linearly, over
// the last 32 % of its life (a life of 0 or less counts as 0.01 s). Not-a-number reads as 0.
double festiveParticleOpacity(double age, double life);

// Draws the particles in order (later ones over earlier ones) with the theme's art, each on its
// own copy of the context moved to the particle, rotated by its rot and faded; particles of
// opacity 0.01 or less are skipped.
void drawFestiveParticles(gfx::GraphicsContext& context, std::span<const HUDFestiveParticle> particles,
                          HUDFestiveTheme theme, bool isDark);

struct HUDFestiveOverlayView {
    bool isDark = true;         // the bar is drawn dark: picks the perimeter's and the art's palettes
    double cornerRadius = 18;   // of the bar's outline, for the perimeter

    ui::View body() const;
    friend bool operator==(const HUDFestiveOverlayView&, const HUDFestiveOverlayView&) = default;
};

}  // namespace quillmar
