#include "settings_ui/settings_slots.h"
#include "settings_ui/slot_placeholder.h"

namespace quillmar {

ui::View hardwareStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>&, gfx::Color) {
    return slotPlaceholder(palette, "hardwareStage", 12).frame(std::nullopt, 164);
}

}  // namespace quillmar
