#include "seasonal/about_identity_card_view.h"
#include "settings_ui/settings_slots.h"
#include "settings_ui/settings_ui_state.h"

namespace quillmar {

ui::View aboutIdentityCardSlot(const SettingsPalette& palette) {
    // The card asks the window around it whether it is on screen and on the About tab.
    auto& host = AboutCardHost::shared();
    host.isSettingsWindowVisible = [] { return SettingsUIState::shared().isWindowVisible; };
    host.isAboutTabActive = [] { return SettingsUIState::shared().activeTab.get() == SettingsTab::about; };
    return ui::View(AboutIdentityCardView{palette}).named("aboutIdentityCard");
}

}  // namespace quillmar
