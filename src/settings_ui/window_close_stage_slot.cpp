#include "settings_ui/settings_slots.h"
#include "settings_ui/window_close_mock_stage.h"

namespace quillmar {

ui::View windowCloseStageSlot(const SettingsPalette& palette, bool isHovered) {
    return ui::View(WindowCloseMockStage{palette, isHovered}).frame(std::nullopt, 100);
}

}  // namespace quillmar
