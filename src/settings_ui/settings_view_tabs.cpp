// What stands below the divider: the sections of the active tab, in order.

#include "localization/l10n.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_slots.h"
#include "settings_ui/settings_view.h"
#include "ui/ui.h"

namespace quillmar {

ui::View SettingsView::tabContent(bool isDark) const {
    const auto& state = SettingsUIState::shared();
    const SettingsPalette palette(isDark);
    const auto tab = state.activeTab.get();
    ui::ViewList parts;
    switch (tab) {
        case SettingsTab::switching:
            parts = {hardwareStageSlot(palette, state.previewTargets, statusDotColor(isDark)),
                     cycleScopeSection(isDark), tactileGroup(isDark)};
            break;
        case SettingsTab::trackpad:
            parts = {hardwareStageSlot(palette, state.previewTargets, statusDotColor(isDark)),
                     triggerGestureGroup(isDark), calibrationGroup(isDark)};
            break;
        case SettingsTab::shortcuts: {
            const bool on = SwitcherSettings::shared().allowQuickCloseQuit;
            parts = {shortcutPreviewCards(isDark)
                         .named("shortcutPreviewCards")
                         .opacity(on ? 1.0 : 0.5)
                         .animation(ui::Animation::easeInOut(0.18), on),
                     quickKeysSection(isDark), minimizedWindowsSection(isDark)};
            break;
        }
        case SettingsTab::about:
            parts = {aboutIdentityCardSlot(palette), makerLetterCard(isDark),
                     ui::Button([] { sendFeedback(); },
                                actionButtonLabel(L10n::sendFeedbackButton(), "envelope", isDark))
                         .buttonStyle(ui::ButtonStyle::plain)
                         .named("sendFeedback")};
            break;
    }
    return ui::VStack(ui::HorizontalAlignment::leading, 14, parts)
        .id(std::string(tab.rawValue()))
        .named("tabContent." + std::string(tab.rawValue()));
}

}  // namespace quillmar
