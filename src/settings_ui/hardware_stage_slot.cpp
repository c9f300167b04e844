#include "seasonal/artisan_craft_state.h"
#include "settings_ui/hardware_stage_view.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

ui::View hardwareStageSlot(const SettingsPalette& palette, const std::vector<SwitchTarget>& previewTargets,
                           gfx::Color statusDotColor) {
    // While an easter egg plays, the fingers on the drawn pad take its tint.
    std::optional<gfx::Color> tint;
    if (const auto* craft = runtime::World::find<ArtisanCraftState>())
        if (const auto& egg = craft->activeEasterEgg.get()) tint = egg->touchTintColor;
    return HardwareStageView{palette, previewTargets, statusDotColor, tint};
}

}  // namespace quillmar
