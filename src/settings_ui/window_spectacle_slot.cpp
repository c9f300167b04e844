#include "seasonal/artisan_window_spectacle_host_view.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

ui::View windowSpectacleSlot(bool isDark) { return ArtisanWindowSpectacleHostView{isDark}; }

}  // namespace quillmar
