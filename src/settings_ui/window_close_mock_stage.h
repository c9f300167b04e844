#pragma once
// The illustration beside the close-window quick key: a W key, a red arrow and two miniature
// windows, the front one with a red close button and a red rim. While the shortcut is hovered
// the key is drawn pressed and the front window shrinks and fades, uncovering the one behind.

#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"

namespace quillmar {

struct WindowCloseMockStage {
    SettingsPalette palette;
    bool isHovered = false;

    ui::View body() const;
    friend bool operator==(const WindowCloseMockStage&, const WindowCloseMockStage&) = default;
};

}  // namespace quillmar
