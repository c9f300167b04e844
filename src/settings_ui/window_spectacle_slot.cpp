#include "settings_ui/settings_slots.h"
#include "ui/ui.h"

namespace quillmar {

ui::View windowSpectacleSlot(bool) { return ui::EmptyView(); }

}  // namespace quillmar
