#include "seasonal/artisan_craft_state.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

void stopSeasonalAnimations() {
    auto& craft = ArtisanCraftState::shared();
    craft.stopHint();
    craft.stopTapBurst();
    craft.stopDissolve();
}

}  // namespace quillmar
