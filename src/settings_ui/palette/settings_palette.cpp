#include "settings_ui/palette/settings_palette.h"

namespace quillmar {

using gfx::Color;

ui::ShapeStyle SettingsPalette::backdropGradient() const {
    const auto colors = isDark ? std::vector<Color>{Color::rgb(0.17, 0.14, 0.165), Color::rgb(0.11, 0.13, 0.175),
                                                    Color::rgb(0.095, 0.095, 0.11)}
                               : std::vector<Color>{Color::rgb(0.86, 0.91, 0.96), Color::rgb(0.92, 0.915, 0.90),
                                                    Color::rgb(0.84, 0.87, 0.91)};
    return ui::ShapeStyle::linearGradient(gfx::Gradient::colors(colors), ui::UnitPoint::topLeading(),
                                          ui::UnitPoint::bottomTrailing());
}

ui::ShapeStyle SettingsPalette::surfaceGradient() const {
    const auto colors = isDark ? std::vector<Color>{Color::rgb(0.205, 0.205, 0.225), Color::rgb(0.14, 0.14, 0.16)}
                               : std::vector<Color>{Color::rgb(0.97, 0.972, 0.98), Color::rgb(0.895, 0.90, 0.92)};
    return ui::ShapeStyle::linearGradient(gfx::Gradient::colors(colors), ui::UnitPoint::top(),
                                          ui::UnitPoint::bottom());
}

}  // namespace quillmar
