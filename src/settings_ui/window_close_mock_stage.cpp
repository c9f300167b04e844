#include "settings_ui/window_close_mock_stage.h"

#include "settings_ui/mock_stage_frame.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;
using ui::ShapeStyle;

namespace {

const Color kCloseRed = Color::rgb(1.0, 0.37, 0.34);

ui::View line(double width, double opacity) {
    return ui::RoundedRectangle(2).fill(ShapeStyle::primary().opacity(opacity)).frame(width, 4.5);
}

ui::View lightDot(double diameter, double opacity) {
    return ui::Circle().fill(ShapeStyle::primary().opacity(opacity)).frame(diameter, diameter);
}

ui::View closeButton() {
    return ui::ZStack({ui::Circle().fill(kCloseRed.opacity(0.3)).frame(17, 17), ui::Circle().fill(kCloseRed).frame(11.5, 11.5),
                       ui::Image::systemName("xmark")
                           .font(gfx::Font::system(6.5, gfx::FontWeight::black))
                           .foregroundColor(Color::black().opacity(0.75))})
        .named("mockCloseButton");
}

// A window's content: its traffic lights and two lines of text, pushed to the top.
ui::View mockWindow(bool front) {
    ui::View lights = front ? ui::HStack(ui::VerticalAlignment::center, 4,
                                         {closeButton(), lightDot(5, 0.22), lightDot(5, 0.22), ui::Spacer()})
                            : ui::HStack(ui::VerticalAlignment::center, 3.5,
                                         {lightDot(4.5, 0.24), lightDot(4.5, 0.24), lightDot(4.5, 0.24), ui::Spacer()});
    ui::View text = front ? ui::VStack(ui::HorizontalAlignment::leading, 3, {line(56, 0.15), line(38, 0.09)})
                          : ui::VStack(ui::HorizontalAlignment::leading, 3, {line(56, 0.16), line(38, 0.10)});
    return ui::VStack(ui::HorizontalAlignment::leading, 5,
                      {lights.padding(ui::Edges::horizontal(), 6).padding(ui::Edges::top(), front ? 4 : 5),
                       text.padding(ui::Edges::horizontal(), front ? 8 : 7), ui::Spacer(0)})
        .frame(88, 50);
}

}  // namespace

ui::View WindowCloseMockStage::body() const {
    const bool dark = palette.isDark;
    const auto shape = ui::RoundedRectangle(7);
    gfx::StrokeStyle backRim;
    backRim.lineWidth = 1;
    gfx::StrokeStyle frontRim;
    frontRim.lineWidth = 1.1;

    const ui::View back = mockWindow(false)
                              .background(shape.fill(dark ? Color::white(0.23) : Color::whiteColor())
                                              .shadow(Color::black().opacity(0.18), 3, 0, 1.5))
                              .overlay(shape.strokeBorder(ShapeStyle::primary().opacity(dark ? 0.22 : 0.16), backRim))
                              .named("mockBackWindow")
                              .offset(18, -17);
    const ui::View front = mockWindow(true)
                               .background(shape.fill(dark ? Color::white(0.16) : Color::white(0.98))
                                               .shadow(Color::black().opacity(0.26), 5, 0, 2))
                               .overlay(shape.strokeBorder(kCloseRed.opacity(0.72), frontRim))
                               .named("mockFrontWindow")
                               .scaleEffect(isHovered ? 0.9 : 1.0)
                               .opacity(isHovered ? 0.16 : 1.0);
    const ui::View pair = ui::ZStack(ui::Alignment::bottomLeading(), {back, front})
                              .frame(108, 70, ui::Alignment::bottomLeading());

    return mockStageFrame(palette, ui::HStack(ui::VerticalAlignment::center, 8,
                                              {mockStageKey(palette, "W", isHovered), mockStageArrow(10, kCloseRed), pair}))
        .named("windowCloseMockStage");
}

}  // namespace quillmar
