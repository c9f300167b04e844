#include "settings_ui/keycap_badge.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

ui::View keycapSlot(std::optional<std::string> label, std::optional<std::string> symbol, double width,
                    const SettingsPalette& palette) {
    return KeycapBadge{std::move(label), std::move(symbol), width, palette};
}

}  // namespace quillmar
