#include "settings_ui/app_quit_mock_stage.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

ui::View appQuitStageSlot(const SettingsPalette& palette, std::optional<platform::AppIconRef> appIcon, bool isHovered) {
    return ui::View(AppQuitMockStage{palette, appIcon.value_or(nullptr), isHovered}).frame(std::nullopt, 100);
}

}  // namespace quillmar
