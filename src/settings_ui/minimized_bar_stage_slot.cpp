#include "settings_ui/settings_slots.h"
#include "settings_ui/slot_placeholder.h"

namespace quillmar {

ui::View minimizedBarStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>&, bool) {
    return slotPlaceholder(palette, "minimizedBarStage", 8.5);
}

}  // namespace quillmar
