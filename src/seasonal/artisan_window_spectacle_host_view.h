#pragma once
// The transparent canvas laid over the whole settings window that plays the window-wide scene of
// four eggs (St Patrick's, fireworks, Halloween, Christmas) while their dissolve runs. It shows
// nothing otherwise. Under Reduce Motion it draws a tinted wash that rises to its peak at half
// the dissolve and fades out again.

#include "gfx/graphics_context.h"
#include "seasonal/artisan_craft_state.h"
#include "ui/view.h"

namespace quillmar {

struct ArtisanWindowSpectacleHostView {
    bool isDark = false;
    ArtisanCraftState* artisan = &ArtisanCraftState::shared();

    ui::View body() const;

    // Whether an egg of this theme plays across the window instead of inside the card.
    static bool playsAcrossWindow(ArtisanCanvasTheme theme);
    // One frame at the canvas size; nothing at 40 points or less on a side.
    static void renderWindowSpectacle(gfx::GraphicsContext& context, ui::Size size, ArtisanCanvasTheme theme,
                                      double progress, bool isDark, bool reduceMotion);

    friend bool operator==(const ArtisanWindowSpectacleHostView&, const ArtisanWindowSpectacleHostView&) = default;
};

}  // namespace quillmar
