#include "settings_ui/settings_ui_state.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <string>

#include "runtime/world.h"

namespace quillmar {

SettingsUIState& SettingsUIState::shared() { return runtime::World::shared<SettingsUIState>(); }

void selectSettingsTab(std::string_view name) {
    std::string lowered;
    icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), static_cast<std::int32_t>(name.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8String(lowered);
    auto& ui = SettingsUIState::shared();
    if (lowered == "keys" || lowered == "hotkeys") {
        ui.activeTab = SettingsTab::shortcuts;
    } else if (lowered == "support" || lowered == "about") {
        ui.activeTab = SettingsTab::about;
    } else if (auto tab = SettingsTab::fromRawValue(lowered)) {
        ui.activeTab = *tab;
    }
}

}  // namespace quillmar
