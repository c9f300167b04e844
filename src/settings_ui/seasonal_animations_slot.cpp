#include "settings_ui/settings_slots.h"

namespace quillmar {

void stopSeasonalAnimations() {}

}  // namespace quillmar
