#pragma once
// The illustration beside the quit-app quick key: a Q key, an orange arrow and an app about to be
// quit (its icon on a tile with a red power badge, two faint windows of the app behind it). While
// the shortcut is hovered the key is drawn pressed, the windows shrink and fade, the icon dims
// and the badge swells and glows more strongly.

#include "platform/app_icon.h"
#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"

namespace quillmar {

struct AppQuitMockStage {
    SettingsPalette palette;
    platform::AppIconRef appIcon;  // null: an accent-tinted placeholder tile
    bool isHovered = false;

    ui::View body() const;
};

}  // namespace quillmar
