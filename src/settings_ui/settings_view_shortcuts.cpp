// The Shortcuts tab's sections: the W and Q preview cards, the Switch Bar Keys card and the
// minimised-windows card.

#include "localization/l10n.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_controls.h"
#include "settings_ui/settings_slots.h"
#include "settings_ui/settings_view.h"
#include "ui/ui.h"
#include "windows/window_manager.h"

namespace quillmar {

using ui::Color;

namespace {

ui::View captionHeader(const std::string& title, const std::string& chip, bool isDark) {
    return ui::HStack(ui::VerticalAlignment::center, 6,
                      {ui::Text(title)
                           .font(gfx::Font::system(13, gfx::FontWeight::semibold))
                           .foregroundStyle(ui::ShapeStyle::primary())
                           .lineLimit(1)
                           .minimumScaleFactor(0.88),
                       ui::Spacer(2),
                       ui::Text(chip)
                           .font(gfx::Font::system(10.5, gfx::FontWeight::medium))
                           .monospacedDigit()
                           .foregroundStyle(ui::ShapeStyle::secondary())
                           .lineLimit(1)
                           .padding(ui::EdgeInsets{2, 6.5, 2, 6.5})
                           .background(insetWell(5, isDark))
                           .layoutPriority(1)});
}

// Body text that wraps onto as many lines as it needs and is never compressed.
ui::View wrappingText(const std::string& text) {
    return ui::Text(text)
        .font(gfx::Font::system(11.5))
        .foregroundStyle(ui::ShapeStyle::secondary())
        .lineSpacing(1.5)
        .fixedSize(false, true);
}

ui::View shortcutCaption(const std::string& title, const std::string& chip, const std::string& body, bool isDark) {
    return ui::VStack(ui::HorizontalAlignment::leading, 4, {captionHeader(title, chip, isDark), wrappingText(body)})
        .padding(ui::Edges::horizontal(), 2);
}

// A row of the Switch Bar Keys card: one line at a fixed height.
ui::View keysRow(ui::View content, double height) {
    return content.padding(ui::Edges::horizontal(), 14).frame(std::nullopt, height);
}

}  // namespace

void SettingsView::setShortcutHover(ShortcutHoverKind kind, bool inside) {
    ui::withAnimation(ui::Animation::spring(0.24, 0.82, 0), [&] {
        auto& hovered = SettingsUIState::shared().hoveredShortcut;
        if (inside) hovered = kind;
        else if (hovered.get() == kind) hovered = std::nullopt;
    });
}

ui::View SettingsView::shortcutPreviewCards(bool isDark) const {
    const auto& state = SettingsUIState::shared();
    const SettingsPalette palette(isDark);
    const auto hovered = state.hoveredShortcut.get();
    std::optional<platform::AppIconRef> icon;
    if (!state.previewTargets->empty()) icon = state.previewTargets->front().appIcon;

    auto card = [&](ui::View stage, ui::View caption, ShortcutHoverKind kind, const char* name) {
        return cardSurface(ui::VStack(ui::HorizontalAlignment::leading, 9, {stage.frame(std::nullopt, 100), caption})
                               .padding(10)
                               .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .maxHeight = ui::infinity,
                                                        .alignment = ui::Alignment::topLeading()}),
                           12, isDark)
            .onHover([kind](bool inside) { setShortcutHover(kind, inside); })
            .named(name);
    };
    return ui::HStack(
        ui::VerticalAlignment::center, 10,
        {card(windowCloseStageSlot(palette, hovered == ShortcutHoverKind::closeWindow),
              shortcutCaption(L10n::shortcutWTitle(), "W \u00b7 \u2318W", L10n::shortcutWBody(), isDark),
              ShortcutHoverKind::closeWindow, "closeWindowCard"),
         card(appQuitStageSlot(palette, icon, hovered == ShortcutHoverKind::quitApp),
              shortcutCaption(L10n::shortcutQTitle(), "Q \u00b7 \u2318Q", L10n::shortcutQBody(), isDark),
              ShortcutHoverKind::quitApp, "quitAppCard")})
        .fixedSize(false, true);
}

ui::View SettingsView::quickKeysSection(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    const SettingsPalette palette(isDark);
    const bool showNote = settings.allowQuickCloseQuit && !WindowManager::shared().isAccessibilityTrusted;
    auto title = [](const std::string& text) { return rowTitle(text, gfx::Font::system(13), ui::ShapeStyle::primary()); };
    ui::View toggleRow = keysRow(
        trailingControlRow(
            ui::HStack(ui::VerticalAlignment::center, 10,
                       {ui::HStack(ui::VerticalAlignment::center, 3,
                                   {keycapSlot("W", std::nullopt, 24, palette), keycapSlot("Q", std::nullopt, 24, palette)})
                            .frame(52, std::nullopt, ui::Alignment::leading()),
                        title(L10n::toggleQuickKeysShort())}),
            ui::Toggle(L10n::toggleQuickKeysShort(), ui::bind(settings.allowQuickCloseQuit))
                .labelsHidden()
                .controlSize(ui::ControlSize::small)
                .named("quickKeysSwitch")),
        38).named("quickKeysToggleRow");
    ui::View note = ui::when(showNote, [&] {
        return ui::VStack(
            ui::HorizontalAlignment::center, 0,
            {cardDivider(isDark),
             keysRow(trailingControlRow(
                         ui::HStack(ui::VerticalAlignment::center, 8,
                                    {ui::Circle().fill(ui::environment().systemColor(gfx::SystemColor::orange)).frame(7, 7),
                                     rowTitle(L10n::shortcutAccessibilityHint(), gfx::Font::system(12),
                                              ui::ShapeStyle::secondary())}),
                         ui::Button(L10n::grantAccessButton(),
                                    [] { WindowManager::shared().requestAccessibilityPermission(); })
                             .buttonStyle(ui::ButtonStyle::borderedProminent)
                             .controlSize(ui::ControlSize::small)
                             .named("quickKeysGrantAccess")),
                     36)
                 .named("quickKeysAccessibilityRow")});
    });
    ui::View escapeRow = keysRow(
        ui::HStack(ui::VerticalAlignment::center, 10,
                   {keycapSlot("esc", std::nullopt, 34, palette).frame(52, std::nullopt, ui::Alignment::leading()),
                    title(L10n::navEscapeTitle()), ui::Spacer(),
                    ui::Text(L10n::navEscapeRightNote())
                        .font(gfx::Font::system(11.5))
                        .foregroundStyle(ui::ShapeStyle::secondary())
                        .lineLimit(1)}),
        36);
    return ui::VStack(ui::HorizontalAlignment::leading, 6,
                      {sectionHeader(L10n::sectionSwitchBarKeys()),
                       cardSurface(ui::VStack(ui::HorizontalAlignment::center, 0,
                                              {toggleRow, note, cardDivider(isDark), escapeRow.named("escapeRow")}),
                                   11, isDark)
                           .named("quickKeysCard")});
}

ui::View SettingsView::minimizedWindowsSection(bool isDark) const {
    const auto& state = SettingsUIState::shared();
    const SettingsPalette palette(isDark);
    const bool hovered = state.hoveredShortcut.get() == ShortcutHoverKind::minimizedBar;
    ui::View text = ui::VStack(ui::HorizontalAlignment::leading, 3,
                               {ui::Text(L10n::minimizedCardTitle())
                                    .font(gfx::Font::system(13, gfx::FontWeight::semibold))
                                    .foregroundStyle(ui::ShapeStyle::primary())
                                    .lineLimit(1)
                                    .minimumScaleFactor(0.88),
                                wrappingText(L10n::minimizedCardBody())});
    ui::View content = ui::HStack(ui::VerticalAlignment::center, 14,
                                  {minimizedBarStageSlot(palette, state.previewTargets, hovered).frame(172, 58), text,
                                   ui::Spacer(0)});
    return ui::VStack(ui::HorizontalAlignment::leading, 6,
                      {sectionHeader(L10n::sectionMinimizedWindows()),
                       cardSurface(content.padding(12), 12, isDark)
                           .onHover([](bool inside) { setShortcutHover(ShortcutHoverKind::minimizedBar, inside); })
                           .named("minimizedCard")});
}

}  // namespace quillmar
