#include "settings_ui/settings_controls.h"

#include "platform/haptics.h"
#include "settings/switcher_settings.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

namespace {
Color white(double a) { return Color::white(1, a); }
Color black(double a) { return Color::white(0, a); }
}  // namespace

void selectionHaptic() {
    if (!SwitcherSettings::shared().hapticFeedback) return;
    if (auto* haptics = platform::Haptics::installed()) haptics->perform(platform::HapticPattern::alignment);
}

void performSelection(const std::function<void()>& action) {
    ui::withAnimation(ui::Animation::spring(0.24, 0.82, 0), action);
    selectionHaptic();
}

void selectSegment(const ui::Binding<std::int64_t>& binding, std::int64_t value) {
    ui::withAnimation(ui::Animation::spring(0.22, 0.85, 0), [&] { binding.set(value); });
    selectionHaptic();
}

ui::View optionTile(ui::View content, bool isSelected, const std::string& title, const std::string& subtitle,
                    TileCorners corners, bool isDark) {
    const auto shape = ui::UnevenRoundedRectangle(corners.radii());
    const ui::ShapeStyle fill = isSelected ? ui::ShapeStyle::tint().opacity(isDark ? 0.18 : 0.12)
                                           : ui::ShapeStyle(isDark ? white(0.038) : white(0.7));
    const ui::ShapeStyle rim = isSelected ? ui::ShapeStyle::tint() : ui::ShapeStyle(isDark ? white(0.07) : black(0.06));
    return ui::VStack(ui::HorizontalAlignment::center, 3,
                      {
                          content.frame(std::nullopt, 28)
                              .foregroundStyle(isSelected ? ui::ShapeStyle::primary() : ui::ShapeStyle::secondary()),
                          ui::Text(title)
                              .font(gfx::Font::system(12, gfx::FontWeight::medium))
                              .foregroundStyle(ui::ShapeStyle::primary())
                              .lineLimit(1)
                              .minimumScaleFactor(0.86),
                          ui::Text(subtitle)
                              .font(gfx::Font::system(11))
                              .monospacedDigit()
                              .foregroundStyle(ui::ShapeStyle::secondary())
                              .lineLimit(1)
                              .minimumScaleFactor(0.86),
                      })
        .frame(ui::FlexibleFrame{.maxWidth = ui::infinity})
        .padding(ui::EdgeInsets{6.5, 6, 6.5, 6})
        .background(shape.fill(fill))
        .overlay(shape.strokeBorder(rim, isSelected ? 1.5 : 1.0));
}

ui::View segmentLabel(const std::string& title, bool isSelected, bool isDark) {
    const auto shape = ui::RoundedRectangle(5);
    return ui::Text(title)
        .font(gfx::Font::system(11.5, isSelected ? gfx::FontWeight::medium : gfx::FontWeight::regular))
        .foregroundStyle(isSelected ? ui::ShapeStyle::primary() : ui::ShapeStyle::secondary())
        .lineLimit(1)
        .padding(ui::EdgeInsets{3.5, 9, 3.5, 9})
        .background(shape.fill(isSelected ? (isDark ? white(0.16) : white(1)) : Color::clear())
                        .shadow(isSelected ? black(isDark ? 0.2 : 0.08) : Color::clear(), 1, 0, 1))
        .overlay(shape.strokeBorder(isSelected ? (isDark ? white(0.14) : black(0.08)) : Color::clear(), 0.5));
}

ui::View choiceButton(ui::View label, bool isSelected, std::function<void()> action, const std::string& name) {
    return ui::Button(std::move(action), std::move(label))
        .buttonStyle(ui::ButtonStyle::plain)
        .accessibilityAddTraits(isSelected ? ui::AccessibilityTraits::isSelected() : ui::AccessibilityTraits::none())
        .named(name);
}

ui::View segmentButton(const std::string& title, const ui::Binding<std::int64_t>& binding, std::int64_t value,
                       bool isDark) {
    const bool selected = binding.get() == value;
    return choiceButton(segmentLabel(title, selected, isDark), selected, [binding, value] { selectSegment(binding, value); },
                        "segment." + std::to_string(value));
}

ui::View rowTitle(const std::string& text, const gfx::Font& font, const ui::ShapeStyle& style) {
    return ui::Text(text).font(font).foregroundStyle(style).lineLimit(1).minimumScaleFactor(0.88);
}

ui::View trailingControlRow(ui::View leading, ui::View control) {
    return ui::HStack(ui::VerticalAlignment::center, 8,
                      {leading.frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .alignment = ui::Alignment::leading()}),
                       control});
}

ui::View SettingsToggleRow::body() const {
    return trailingControlRow(rowTitle(title, gfx::Font::system(13), ui::ShapeStyle::primary()),
                              ui::Toggle(title, isOn).labelsHidden().controlSize(ui::ControlSize::small));
}

ui::View sectionHeader(const std::string& text) {
    return ui::Text(text)
        .font(gfx::Font::system(12, gfx::FontWeight::medium))
        .foregroundStyle(ui::ShapeStyle::secondary())
        .padding(ui::Edges::horizontal(), 4);
}

ui::View cardSurface(ui::View content, double cornerRadius, bool isDark) {
    const auto shape = ui::RoundedRectangle(cornerRadius);
    return content.background(shape.fill(isDark ? white(0.048) : white(0.76)))
        .overlay(shape.strokeBorder(isDark ? white(0.09) : black(0.075), 1));
}

ui::View tileStrip(ui::View tiles, bool isDark) {
    const auto shape = ui::RoundedRectangle(12);
    return tiles.padding(4)
        .background(shape.fill(isDark ? black(0.22) : black(0.045)))
        .overlay(shape.strokeBorder(isDark ? white(0.09) : black(0.075), 1));
}

ui::View cardDivider(bool isDark) {
    return ui::Rectangle().fill(isDark ? white(0.065) : black(0.06)).frame(std::nullopt, 1);
}

ui::View insetWell(double cornerRadius, bool isDark) {
    return ui::RoundedRectangle(cornerRadius).fill(isDark ? black(0.28) : black(0.06));
}

}  // namespace quillmar
