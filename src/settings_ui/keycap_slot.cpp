#include "settings_ui/settings_slots.h"
#include "settings_ui/slot_placeholder.h"
#include "ui/ui.h"

namespace quillmar {

ui::View keycapSlot(std::optional<std::string> label, std::optional<std::string>, double width,
                    const SettingsPalette& palette) {
    const auto shape = ui::RoundedRectangle(5.5);
    return ui::Text(label.value_or(""))
        .font(gfx::Font::system(11, gfx::FontWeight::semibold))
        .frame(width, 22)
        .background(shape.fill(palette.isDark ? ui::Color::white(1, 0.075) : ui::Color::whiteColor()))
        .overlay(shape.strokeBorder(palette.isDark ? ui::Color::white(1, 0.12) : ui::Color::white(0, 0.11), 0.85))
        .named("keycap");
}

}  // namespace quillmar
