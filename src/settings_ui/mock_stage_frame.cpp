#include "settings_ui/mock_stage_frame.h"

#include "ui/ui.h"

namespace quillmar {

using ui::Color;

ui::View mockStageFrame(const SettingsPalette& palette, ui::View row) {
    const auto shape = ui::RoundedRectangle(8.5);
    gfx::StrokeStyle rim;
    rim.lineWidth = 0.75;
    return ui::ZStack({ui::Rectangle().fill(palette.backdropGradient()),
                       row.padding(ui::Edges::horizontal(), 8)})
        .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .maxHeight = ui::infinity})
        .clipShape(shape)
        .overlay(shape.strokeBorder(palette.isDark ? Color::whiteColor().opacity(0.09) : Color::black().opacity(0.075),
                                    rim));
}

ui::View mockStageKey(const SettingsPalette& palette, const std::string& letter, bool isPressed) {
    const bool dark = palette.isDark;
    const auto shape = ui::RoundedRectangle(8);
    gfx::StrokeStyle rim;
    rim.lineWidth = 0.85;
    return ui::ZStack({shape.fill(palette.surfaceGradient())
                           .shadow(Color::black().opacity(dark ? 0.45 : 0.14), isPressed ? 1.5 : 4, 0,
                                   isPressed ? 1 : 2.5),
                       shape.strokeBorder(Color::whiteColor().opacity(dark ? 0.24 : 0.95), rim),
                       ui::Text(letter)
                           .font(gfx::Font::system(15, gfx::FontWeight::bold, gfx::FontDesign::rounded))
                           .foregroundStyle(ui::ShapeStyle::primary())})
        .frame(34, 34)
        .named("mockStageKey")
        .offset(0, isPressed ? 1.5 : 0);
}

ui::View mockStageArrow(double size, const ui::ShapeStyle& colour) {
    return ui::Image::systemName("arrow.right")
        .font(gfx::Font::system(size, gfx::FontWeight::bold))
        .foregroundStyle(colour);
}

}  // namespace quillmar
