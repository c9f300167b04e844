#pragma once
// Values a view inherits from its container: the colour scheme and accessibility display flags
// of the window, and the text, colour and control settings that modifiers hand down.

#include <optional>

#include "gfx/font.h"
#include "gfx/system_color.h"
#include "gfx/text_layout.h"
#include "ui/shape_style.h"

namespace quillmar::ui {

enum class ColorScheme { light, dark };
enum class ColorSchemeContrast { standard, increased };
enum class ControlSize { mini, small, regular, large };
enum class ButtonStyle { automatic, plain, borderedProminent };

struct Environment {
    ColorScheme colorScheme = ColorScheme::light;
    ColorSchemeContrast colorSchemeContrast = ColorSchemeContrast::standard;
    bool accessibilityReduceMotion = false;
    bool accessibilityReduceTransparency = false;
    bool isEnabled = true;

    gfx::Font font = gfx::Font::system(13);
    std::optional<ShapeStyle> foregroundStyle;  // none: primary
    std::optional<Color> tint;                  // none: the system accent colour
    int lineLimit = 0;                          // 0: unlimited
    double minimumScaleFactor = 1;
    double lineSpacing = 0;
    gfx::TextAlignment multilineTextAlignment = gfx::TextAlignment::leading;

    ControlSize controlSize = ControlSize::regular;
    ButtonStyle buttonStyle = ButtonStyle::automatic;
    bool labelsHidden = false;

    gfx::Appearance appearance() const {
        return colorScheme == ColorScheme::dark ? gfx::Appearance::dark : gfx::Appearance::light;
    }
    Color systemColor(gfx::SystemColor c) const { return gfx::systemColor(c, appearance()); }
    Color accentColor() const { return tint ? *tint : systemColor(gfx::SystemColor::accent); }
    ShapeStyle foreground() const { return foregroundStyle ? *foregroundStyle : ShapeStyle::primary(); }

    // The display flags from the platform's accessibility options, the rest default.
    static Environment fromSystem();

    friend bool operator==(const Environment&, const Environment&) = default;
};

}  // namespace quillmar::ui
