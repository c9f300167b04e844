#pragma once
// The plate under the Switch Bar's content, shared by both bar styles: frosted glass (dark or
// light) or a solid fill, tinted for contrast, with a thin border inside its rounded edge.
// Also the light flag that decides whether the content is drawn dark on a light plate. The solid
// fill (solidDark, or any look under Reduce Transparency) is near-black for light content and
// near-white for dark content, so the content stays legible whatever the options.

#include "settings/settings_enums.h"
#include "ui/environment.h"
#include "ui/view.h"

namespace quillmar {

struct HUDBackground {
    double cornerRadius = 18;
    bool isSolid = false;
    bool isHighContrast = false;
    bool isLight = false;

    // Inputs from the appearance setting and the accessibility display options in env.
    static HUDBackground make(double cornerRadius, HUDAppearanceStyle style, bool isLight, const ui::Environment& env);
    // Light content colours on a light plate: never while the Christmas perimeter is up.
    static bool isLightAppearance(HUDAppearanceStyle style, ui::ColorScheme systemScheme, bool christmasPerimeter);

    double borderWidth() const { return isHighContrast ? 1.15 : 0.8; }
    ui::Color borderColor() const;
    ui::View body() const;
    friend bool operator==(const HUDBackground&, const HUDBackground&) = default;
};

}  // namespace quillmar
