#include "settings_ui/minimized_bar_mock_stage.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

ui::View minimizedBarStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>& targets,
                               bool isHovered) {
    return MinimizedBarMockStage{palette, targets, isHovered};
}

}  // namespace quillmar
