#include "settings_ui/hardware_stage_view.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

ui::View hardwareStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>& previewTargets,
                           gfx::Color statusDotColor) {
    return HardwareStageView{palette, previewTargets, statusDotColor, std::nullopt};
}

}  // namespace quillmar
