#include "settings_ui/slot_placeholder.h"

#include "ui/ui.h"

namespace quillmar {

ui::View slotPlaceholder(const SettingsPalette& palette, const std::string& name, double cornerRadius) {
    const auto shape = ui::RoundedRectangle(cornerRadius);
    return shape.fill(palette.backdropGradient())
        .overlay(shape.strokeBorder(palette.isDark ? ui::Color::white(1, 0.09) : ui::Color::white(0, 0.075), 1))
        .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .maxHeight = ui::infinity})
        .accessibilityHidden()
        .named(name);
}

}  // namespace quillmar
