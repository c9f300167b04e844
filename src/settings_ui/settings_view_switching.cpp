// The Switching tab's groups: the cycle scope tiles with the Switch Bar layout picker, and the
// tactile and smart-pause card with the Accessibility row.

#include "localization/l10n.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_controls.h"
#include "settings_ui/settings_schematics.h"
#include "settings_ui/settings_view.h"
#include "ui/ui.h"
#include "windows/window_manager.h"

namespace quillmar {

using ui::Color;

void SettingsView::selectSwitchBarStyle(SwitchBarStyle style) {
    ui::withAnimation(ui::Animation::spring(0.32, 0.82, 0), [style] { SwitcherSettings::shared().switchBarStyle = style; });
    selectionHaptic();
}

ui::View SettingsView::layoutPicker(bool isDark) const {
    const auto current = SwitcherSettings::shared().switchBarStyle.get();
    struct Item {
        SwitchBarStyle style;
        const char* symbol;
        std::string label;
    };
    const Item items[] = {{SwitchBarStyle::horizontal, "rectangle.grid.1x2", L10n::styleHorizontalShort()},
                          {SwitchBarStyle::vertical, "list.bullet.rectangle", L10n::styleVerticalShort()}};
    const auto ns = layoutStyleNamespace;
    ui::ViewList buttons;
    for (const auto& item : items) {
        const bool selected = item.style == current;
        const auto shape = ui::RoundedRectangle(5);
        ui::View thumb = ui::when(selected, [&] {
            return shape.fill(isDark ? Color::white(1, 0.16) : Color::whiteColor())
                .overlay(shape.strokeBorder(isDark ? Color::white(1, 0.14) : Color::white(0, 0.08), 0.5))
                .shadow(Color::white(0, isDark ? 0.22 : 0.08), 1, 0, 1)
                .matchedGeometryEffect("switchBarStyleThumb", ns)
                .named("layoutThumb");
        });
        ui::View label =
            ui::HStack(ui::VerticalAlignment::center, 4,
                       {ui::Image::systemName(item.symbol)
                            .font(gfx::Font::system(10, selected ? gfx::FontWeight::semibold : gfx::FontWeight::regular)),
                        ui::Text(item.label)
                            .font(gfx::Font::system(11, selected ? gfx::FontWeight::medium : gfx::FontWeight::regular))
                            .lineLimit(1)})
                .foregroundStyle(selected ? ui::ShapeStyle::primary() : ui::ShapeStyle::secondary())
                .padding(ui::EdgeInsets{3, 8, 3, 8})
                .background(thumb)
                .contentShape(ui::Rectangle());
        const auto style = item.style;
        buttons.push_back(choiceButton(label, selected, [style] { selectSwitchBarStyle(style); },
                                       "layout." + std::string(rawValue(style))));
    }
    return ui::HStack(ui::VerticalAlignment::center, 2, buttons).padding(2).background(insetWell(7, isDark)).named("layoutPicker");
}

ui::View SettingsView::cycleScopeHeader(bool isDark) const {
    return ui::HStack(ui::VerticalAlignment::center, 8,
                      {sectionHeader(L10n::sectionCycleScope()), ui::Spacer(4), layoutPicker(isDark)});
}

ui::View SettingsView::cycleScopePicker(bool isDark) const {
    const auto current = SwitcherSettings::shared().switcherMode.get();
    struct Tile {
        SwitcherMode mode;
        std::string title, subtitle;
        TileCorners corners;
    };
    const Tile tiles[] = {
        {SwitcherMode::allWindows, L10n::modeAllWindowsShort(), L10n::modeAllWindowsSub(), {8, 8, 4, 4}},
        {SwitcherMode::appsOnly, L10n::modeAppsOnlyShort(), L10n::modeAppsOnlySub(), {4, 4, 4, 4}},
        {SwitcherMode::activeAppWindows, L10n::modeActiveAppShort(), L10n::modeActiveAppSub(), {4, 4, 8, 8}},
    };
    ui::ViewList views;
    for (const auto& t : tiles) {
        const bool selected = current == t.mode;
        const auto mode = t.mode;
        views.push_back(choiceButton(optionTile(ScopeSchematicView{mode}, selected, t.title, t.subtitle, t.corners, isDark),
                                     selected,
                                     [mode] { performSelection([mode] { SwitcherSettings::shared().switcherMode = mode; }); },
                                     "scopeTile." + std::string(rawValue(mode))));
    }
    return ui::HStack(ui::VerticalAlignment::center, 3, views);
}

ui::View SettingsView::cycleScopeSection(bool isDark) const {
    return ui::VStack(ui::HorizontalAlignment::leading, 5, {cycleScopeHeader(isDark), tileStrip(cycleScopePicker(isDark), isDark)});
}

ui::View SettingsView::accessibilityStatusRow(bool isDark) const {
    auto& windowManager = WindowManager::shared();
    const bool trusted = windowManager.isAccessibilityTrusted;
    const auto& env = ui::environment();
    ui::View trailing = trusted ? ui::Text(L10n::verifiedBadge())
                                      .font(gfx::Font::system(11.5, gfx::FontWeight::medium))
                                      .foregroundStyle(ui::ShapeStyle::secondary())
                                      .lineLimit(1)
                                      .padding(ui::EdgeInsets{3, 8, 3, 8})
                                      .background(insetWell(5, isDark))
                                      .named("verifiedBadge")
                                : ui::Button(L10n::grantAccessButton(),
                                             [] { WindowManager::shared().requestAccessibilityPermission(); })
                                      .buttonStyle(ui::ButtonStyle::borderedProminent)
                                      .controlSize(ui::ControlSize::small)
                                      .named("grantAccess");
    return trailingControlRow(
               ui::HStack(ui::VerticalAlignment::center, 8,
                          {ui::Circle()
                               .fill(env.systemColor(trusted ? gfx::SystemColor::green : gfx::SystemColor::orange))
                               .frame(7, 7),
                           rowTitle(trusted ? L10n::accessibilityGranted() : L10n::accessibilityNeeded(),
                                    gfx::Font::system(13), ui::ShapeStyle::primary())}),
               trailing)
        .named("accessibilityRow");
}

ui::View SettingsView::tactileSection(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    const std::pair<std::string, runtime::Published<bool>*> toggles[] = {
        {L10n::toggleHaptics(), &settings.hapticFeedback},
        {L10n::toggleSingleFinger(), &settings.allowSingleFingerContinue},
        {L10n::toggleSuppressScroll(), &settings.suppressBackgroundScroll},
        {L10n::togglePauseInGames(), &settings.pauseInGames},
    };
    const char* names[] = {"hapticsRow", "singleFingerRow", "suppressScrollRow", "pauseInGamesRow"};
    ui::ViewList rows;
    for (std::size_t i = 0; i < std::size(toggles); ++i) {
        rows.push_back(ui::HStack({SettingsToggleRow{toggles[i].first, ui::bind(*toggles[i].second)}})
                           .padding(ui::Edges::horizontal(), 14)
                           .frame(std::nullopt, 31.5)
                           .named(names[i]));
        rows.push_back(cardDivider(isDark));
    }
    rows.push_back(accessibilityStatusRow(isDark).padding(ui::Edges::horizontal(), 14).frame(std::nullopt, 35));
    return ui::VStack(ui::HorizontalAlignment::center, 0, rows);
}

ui::View SettingsView::tactileGroup(bool isDark) const {
    return ui::VStack(ui::HorizontalAlignment::leading, 5,
                      {sectionHeader(L10n::sectionTactileAndPermissions()), cardSurface(tactileSection(isDark), 11, isDark)});
}

}  // namespace quillmar
