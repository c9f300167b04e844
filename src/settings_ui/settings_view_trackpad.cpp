// The Trackpad tab's groups: the trigger gesture tiles and the calibration card.

#include <cstdio>

#include "localization/l10n.h"
#include "platform/haptics.h"
#include "settings/switcher_settings.h"
#include "settings_ui/checked_number.h"
#include "settings_ui/settings_controls.h"
#include "settings_ui/settings_schematics.h"
#include "settings_ui/settings_view.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

namespace {

constexpr double kDimmedRowOpacity = 0.42;

// The row width a stored number is shown with: wide enough for any accepted value.
std::int64_t holdMilliseconds(double stored) { return checkedWhole(stored, 0, 99999); }

std::string sensitivityText(double stored) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f\u00d7", checkedValue(stored, 0.0, 99.0));
    return buffer;
}

ui::View rowText(const std::string& text) {
    return ui::Text(text).font(gfx::Font::system(13)).foregroundStyle(ui::ShapeStyle::primary()).lineLimit(1).minimumScaleFactor(0.88);
}

}  // namespace

void SettingsView::sliderTick() {
    if (!SwitcherSettings::shared().hapticFeedback) return;
    if (auto* haptics = platform::Haptics::installed()) haptics->perform(platform::HapticPattern::alignment);
}

ui::View SettingsView::triggerStylePicker(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    struct Tile {
        TriggerStyle style;
        std::string title, subtitle;
        TileCorners corners;
    };
    const Tile tiles[] = {
        {TriggerStyle::holdAndSlide, L10n::tileHoldAndSlide(), L10n::tileHoldSubtitle(holdMilliseconds(settings.holdDurationMs)),
         {8, 8, 4, 4}},
        {TriggerStyle::immediateHorizontalSlide, L10n::tileInstantSlide(), L10n::tileInstantSubtitle(), {4, 4, 4, 4}},
        {TriggerStyle::topEdgeTwoFinger, L10n::tileTopEdge(), L10n::tileTopEdgeSubtitle(), {4, 4, 8, 8}},
    };
    ui::ViewList views;
    for (const auto& t : tiles) {
        const bool selected = settings.triggerStyle.get() == t.style;
        const auto style = t.style;
        views.push_back(choiceButton(optionTile(GestureSchematicView{style}, selected, t.title, t.subtitle, t.corners, isDark),
                                     selected,
                                     [style] { performSelection([style] { SwitcherSettings::shared().triggerStyle = style; }); },
                                     "triggerTile." + std::string(rawValue(style))));
    }
    return ui::HStack(ui::VerticalAlignment::center, 3, views);
}

ui::View SettingsView::triggerGestureGroup(bool isDark) const {
    return ui::VStack(ui::HorizontalAlignment::leading, 6,
                      {sectionHeader(L10n::sectionTriggerGesture()), tileStrip(triggerStylePicker(isDark), isDark)});
}

ui::View SettingsView::fingerCountPicker(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    const std::pair<std::int64_t, std::string> options[] = {
        {0, L10n::fingers3or4()}, {3, L10n::fingers3Only()}, {4, L10n::fingers4Only()}};
    const auto binding = ui::bind(settings.fingerCount);
    ui::ViewList segments;
    for (const auto& [value, text] : options)
        segments.push_back(segmentButton(text, binding, value, isDark).named("fingers." + std::to_string(value)));
    const bool disabled = settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger;
    return ui::HStack({rowText(L10n::rowRecognizedFingers()), ui::Spacer(),
                       ui::HStack(ui::VerticalAlignment::center, 2, segments).padding(2).background(insetWell(7, isDark))})
        .named("fingerCountRow")
        .disabled(disabled)
        .opacity(disabled ? kDimmedRowOpacity : 1.0);
}

ui::View SettingsView::valueBadge(const std::string& text, double width, bool isDark) {
    const auto shape = ui::RoundedRectangle(5);
    return ui::Text(text)
        .font(gfx::Font::system(11.5))
        .monospacedDigit()
        .foregroundStyle(ui::ShapeStyle::primary())
        .lineLimit(1)
        .frame(width)
        .padding(ui::Edges::vertical(), 3)
        .background(insetWell(5, isDark))
        .overlay(shape.strokeBorder(isDark ? Color::white(1, 0.09) : Color::white(0, 0.075), 0.5))
        .named("valueBadge");
}

ui::View SettingsView::sensitivitySlider(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    return ui::HStack(ui::VerticalAlignment::center, 12,
                      {rowText(L10n::rowScrubSpeed()), ui::Spacer(),
                       ui::Slider(ui::bind(settings.sensitivity), 0.5, 2.5, 0.1)
                           .controlSize(ui::ControlSize::small)
                           .frame(148)
                           .accessibilityLabel(L10n::rowScrubSpeed())
                           .named("sensitivitySlider"),
                       valueBadge(sensitivityText(settings.sensitivity), 46, isDark)})
        .onChange(settings.sensitivity.get(), [] { sliderTick(); });
}

ui::View SettingsView::holdDelaySlider(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    const bool disabled = settings.triggerStyle.get() != TriggerStyle::holdAndSlide;
    return ui::HStack(ui::VerticalAlignment::center, 12,
                      {rowText(L10n::rowHoldDwell()), ui::Spacer(),
                       ui::Slider(ui::bind(settings.holdDurationMs), 40, 220, 5)
                           .controlSize(ui::ControlSize::small)
                           .frame(140)
                           .accessibilityLabel(L10n::rowHoldDwell())
                           .named("holdSlider"),
                       valueBadge(std::to_string(holdMilliseconds(settings.holdDurationMs)) + " ms", 54, isDark)})
        .onChange(settings.holdDurationMs.get(), [] { sliderTick(); })
        .named("holdRow")
        .disabled(disabled)
        .opacity(disabled ? kDimmedRowOpacity : 1.0);
}

ui::View SettingsView::calibrationSection(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    auto row = [](ui::View content, double height) { return content.padding(ui::Edges::horizontal(), 14).frame(std::nullopt, height); };
    return ui::VStack(ui::HorizontalAlignment::center, 0,
                      {
                          row(fingerCountPicker(isDark), 40),
                          cardDivider(isDark),
                          row(sensitivitySlider(isDark), 40),
                          cardDivider(isDark),
                          row(holdDelaySlider(isDark), 38),
                          cardDivider(isDark),
                          ui::HStack({SettingsToggleRow{L10n::toggleLaunchAtLogin(), ui::bind(settings.launchAtLogin)}})
                              .named("launchAtLoginRow")
                              .padding(ui::Edges::horizontal(), 14)
                              .frame(std::nullopt, 31.5),
                      });
}

ui::View SettingsView::calibrationGroup(bool isDark) const {
    return ui::VStack(ui::HorizontalAlignment::leading, 6,
                      {sectionHeader(L10n::sectionCalibration()), cardSurface(calibrationSection(isDark), 11, isDark)});
}

}  // namespace quillmar
