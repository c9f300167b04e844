#include "settings_ui/settings_slots.h"
#include "settings_ui/slot_placeholder.h"

namespace quillmar {

ui::View windowCloseStageSlot(const SettingsPalette& palette, bool) {
    return slotPlaceholder(palette, "windowCloseStage", 8.5).frame(std::nullopt, 100);
}

}  // namespace quillmar
