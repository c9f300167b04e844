#include "settings_ui/palette/adaptive_window_vibrancy.h"

#include "ui/ui.h"

namespace quillmar {

ui::View AdaptiveWindowVibrancy::body() const {
    const auto& env = ui::environment();
    const bool dark = env.colorScheme == ui::ColorScheme::dark;
    const ui::Color base = env.systemColor(gfx::SystemColor::windowBackground);
    // A faint vertical sheen, as the material shows it when the window is active.
    const ui::Color top = base.mix(ui::Color::whiteColor(), dark ? 0.04 : 0.25);
    return ui::Rectangle().fill(ui::ShapeStyle::linearGradient(gfx::Gradient::colors({top, base}), ui::UnitPoint::top(),
                                                              ui::UnitPoint::bottom()));
}

}  // namespace quillmar
