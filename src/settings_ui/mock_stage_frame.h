#pragma once
// Pieces the illustrated mock stages of the Shortcuts tab share: the stage frame (the palette's
// backdrop with the content row centred, clipped to a rounded rectangle with a faint rim) and the
// raised key that is drawn pressed while its shortcut is hovered.

#include <string>

#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"

namespace quillmar {

// `row` centred on the backdrop with 8 pt on either side; fills what the container offers.
ui::View mockStageFrame(const SettingsPalette& palette, ui::View row);

// A 34 × 34 key with `letter` on it, 1.5 pt lower and with a tighter shadow while pressed.
ui::View mockStageKey(const SettingsPalette& palette, const std::string& letter, bool isPressed);

// The bold right arrow between a key and what it does.
ui::View mockStageArrow(double size, const ui::ShapeStyle& colour);

}  // namespace quillmar
