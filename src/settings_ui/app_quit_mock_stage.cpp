#include "settings_ui/app_quit_mock_stage.h"

#include <string>

#include "settings_ui/mock_stage_frame.h"
#include "switcher/app_icon_image_cache.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;
using ui::ShapeStyle;

namespace {

// A faint window of the app, moved behind the tile; it shrinks (with its move) and fades while
// the shortcut is hovered.
ui::View appWindow(const std::string& name, const ui::ShapeStyle& fill, double rimOpacity, double dx, double dy,
                   bool hovered) {
    gfx::StrokeStyle rim;
    rim.lineWidth = 1;
    const auto shape = ui::RoundedRectangle(7);
    return ui::ZStack({shape.fill(fill), shape.strokeBorder(ShapeStyle::primary().opacity(rimOpacity), rim)})
        .frame(84, 46)
        .named(name)
        .offset(dx, dy)
        .scaleEffect(hovered ? 0.91 : 1.0)
        .opacity(hovered ? 0.14 : 1.0);
}

ui::View powerBadge(bool dark, bool hovered) {
    const Color ring = dark ? Color::rgb(0.12, 0.13, 0.16) : Color::white(0.93);
    const auto disc = ShapeStyle::linearGradient(
        gfx::Gradient::colors({Color::rgb(1.0, 0.44, 0.24), Color::rgb(0.9, 0.22, 0.2)}), ui::UnitPoint::top(),
        ui::UnitPoint::bottom());
    return ui::ZStack({ui::Circle().fill(ring).frame(23, 23),
                       ui::Circle()
                           .fill(disc)
                           .frame(19.5, 19.5)
                           .shadow(ui::environment().systemColor(gfx::SystemColor::red).opacity(hovered ? 0.55 : 0.32),
                                   hovered ? 6 : 3, 0, 1.5),
                       ui::Image::systemName("power")
                           .font(gfx::Font::system(9.5, gfx::FontWeight::bold))
                           .foregroundColor(Color::whiteColor())})
        .named("mockPowerBadge")
        .scaleEffect(hovered ? 1.08 : 1.0)
        .offset(6, 5);
}

}  // namespace

ui::View AppQuitMockStage::body() const {
    const bool dark = palette.isDark;
    const auto image = AppIconImageCache::shared().image(appIcon);
    ui::View face = image.isNull()
                        ? ui::ZStack({ui::RoundedRectangle(9).fill(ShapeStyle::tint().opacity(0.28)).frame(34, 34),
                                      ui::Image::systemName("app.fill")
                                          .font(gfx::Font::system(16))
                                          .foregroundStyle(ShapeStyle::primary().opacity(0.5))})
                              .named("mockAppPlaceholder")
                        : ui::View(ui::Image(image).resizable().interpolation(gfx::ImageInterpolation::high))
                              .frame(34, 34)
                              .named("mockAppIcon")
                              .opacity(isHovered ? 0.38 : 0.72)
                              .saturation(0.75);
    const ui::View tile = ui::ZStack(ui::Alignment::bottomTrailing(),
                                     {ui::RoundedRectangle(10)
                                          .fill(dark ? Color::rgb(0.12, 0.13, 0.16) : Color::white(0.95))
                                          .frame(38, 38),
                                      face.padding(2), powerBadge(dark, isHovered)});
    const ui::View scene =
        ui::ZStack({appWindow("mockAppBackWindow", dark ? Color::whiteColor().opacity(0.04) : Color::black().opacity(0.04),
                              0.2, 11, -9, isHovered),
                    appWindow("mockAppFrontWindow", Color::whiteColor().opacity(dark ? 0.06 : 0.55), 0.24, -9, 9,
                              isHovered),
                    tile})
            .frame(108, 70);
    const auto orange = ui::environment().systemColor(gfx::SystemColor::orange);
    return mockStageFrame(palette, ui::HStack(ui::VerticalAlignment::center, 8,
                                              {mockStageKey(palette, "Q", isHovered), mockStageArrow(10, orange), scene}))
        .named("appQuitMockStage");
}

}  // namespace quillmar
