#include "settings_ui/settings_slots.h"
#include "settings_ui/slot_placeholder.h"

namespace quillmar {

ui::View appQuitStageSlot(const SettingsPalette& palette, std::optional<platform::AppIconRef>, bool) {
    return slotPlaceholder(palette, "appQuitStage", 8.5).frame(std::nullopt, 100);
}

}  // namespace quillmar
