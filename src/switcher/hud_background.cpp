#include "switcher/hud_background.h"

#include "platform/accessibility_display_options.h"
#include "switcher/visual_effect_blur.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

HUDBackground HUDBackground::make(double cornerRadius, HUDAppearanceStyle style, bool isLight, const ui::Environment& env) {
    const bool reduceTransparency = env.accessibilityReduceTransparency ||
                                    platform::AccessibilityDisplayOptions::shared().shouldReduceTransparency();
    HUDBackground b;
    b.cornerRadius = cornerRadius;
    b.isSolid = style == HUDAppearanceStyle::solidDark || reduceTransparency;
    b.isHighContrast = env.colorSchemeContrast == ui::ColorSchemeContrast::increased || reduceTransparency;
    b.isLight = isLight;
    return b;
}

bool HUDBackground::isLightAppearance(HUDAppearanceStyle style, ui::ColorScheme systemScheme, bool christmasPerimeter) {
    if (christmasPerimeter) return false;
    switch (style) {
        case HUDAppearanceStyle::darkGlass:
        case HUDAppearanceStyle::solidDark: return false;
        case HUDAppearanceStyle::lightGlass: return true;
        case HUDAppearanceStyle::adaptive: return systemScheme == ui::ColorScheme::light;
    }
    return false;
}

Color HUDBackground::borderColor() const {
    if (isLight) return Color::black().opacity(isHighContrast ? 0.32 : 0.15);
    if (isHighContrast) return Color::whiteColor().opacity(0.45);
    return Color::whiteColor().opacity(isSolid ? 0.28 : 0.22);
}

ui::View HUDBackground::body() const {
    const auto shape = ui::RoundedRectangle(cornerRadius);
    ui::View fill;
    if (isSolid && isLight) {
        // A light look keeps dark content, so its solid plate is the light counterpart of the
        // near-black one: dark text on near-black would be all but unreadable.
        fill = shape.fill(Color::rgb(0.95, 0.95, 0.96, 1)).opacity(0.96);
    } else if (isSolid) {
        fill = shape.fill(Color::rgb(0.1, 0.11, 0.13, 1)).opacity(0.96);
    } else if (isLight) {
        fill = ui::ZStack({ui::View(VisualEffectBlur{VisualEffectBlur::Material::menu,
                                                     VisualEffectBlur::BlendingMode::behindWindow, true}),
                           shape.fill(Color::whiteColor().opacity(isHighContrast ? 0.72 : 0.56))});
    } else {
        fill = ui::ZStack({ui::View(VisualEffectBlur{VisualEffectBlur::Material::hudWindow,
                                                     VisualEffectBlur::BlendingMode::behindWindow, false}),
                           shape.fill(Color::black().opacity(isHighContrast ? 0.36 : 0.24))});
    }
    gfx::StrokeStyle stroke;
    stroke.lineWidth = borderWidth();
    return ui::ZStack({fill, shape.strokeBorder(borderColor(), stroke)}).named("hudPlate");
}

}  // namespace quillmar
