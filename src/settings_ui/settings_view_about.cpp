// The About tab's letter card and the face of its action button.

#include "localization/l10n.h"
#include "settings_ui/settings_controls.h"
#include "settings_ui/settings_view.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

ui::View SettingsView::makerLetterCard(bool isDark) const {
    ui::View letter = ui::Text(L10n::independentCraftBody())
                          .font(gfx::Font::system(12))
                          .foregroundStyle(ui::ShapeStyle::secondary())
                          .lineSpacing(1.5)
                          .fixedSize(false, true)
                          .padding(12)
                          .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()});
    return ui::VStack(ui::HorizontalAlignment::leading, 6,
                      {sectionHeader(L10n::sectionIndependentCraft()), cardSurface(letter, 11, isDark).named("letterCard")});
}

ui::View SettingsView::actionButtonLabel(const std::string& title, const std::string& symbol, bool isDark) {
    const auto shape = ui::RoundedRectangle(7);
    return ui::HStack(ui::VerticalAlignment::center, 6,
                      {ui::Image::systemName(symbol)
                           .font(gfx::Font::system(12, gfx::FontWeight::medium))
                           .foregroundStyle(ui::ShapeStyle::secondary()),
                       ui::Text(title)
                           .font(gfx::Font::system(13, gfx::FontWeight::medium))
                           .foregroundStyle(ui::ShapeStyle::primary())
                           .lineLimit(1)})
        .frame(ui::FlexibleFrame{.maxWidth = ui::infinity})
        .frame(std::nullopt, 32)
        .background(shape.fill(isDark ? Color::white(1, 0.075) : Color::whiteColor()))
        .overlay(shape.strokeBorder(isDark ? Color::white(1, 0.12) : Color::white(0, 0.11), 1))
        .shadow(Color::white(0, isDark ? 0.14 : 0.05), 1.5, 0, 1)
        .contentShape(ui::Rectangle());
}

}  // namespace quillmar
