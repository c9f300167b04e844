#include "settings_ui/settings_slots.h"
#include "settings_ui/slot_placeholder.h"

namespace quillmar {

ui::View aboutIdentityCardSlot(const SettingsPalette& palette) {
    return slotPlaceholder(palette, "aboutIdentityCard", 12).frame(std::nullopt, 72);
}

}  // namespace quillmar
