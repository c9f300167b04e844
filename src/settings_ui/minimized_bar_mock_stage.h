#pragma once
// The illustration of the Shortcuts tab's minimised-windows card: an amber minimise button, an
// amber arrow and a small dark Switch Bar of three icons whose last one, past a thin divider, is
// a parked minimised entry with a minus badge. Hovering the card moves the highlight from the
// first icon to the parked one, which brightens and grows a little.
//
// Also here: the minimised-window badge shared with the hardware stage's miniature Switch Bar,
// and the three sample icons that stand in when fewer than three preview targets exist.

#include <array>
#include <vector>

#include "platform/app_icon.h"
#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

// The file browser's icon, the web browser's icon and our own logo: made once, on first need,
// and kept for the life of the process.
const std::array<platform::AppIconRef, 3>& mockStageSampleIcons();

// A black disc with a thin white rim and a white minus; takes the frame its caller gives it.
ui::View minimizedWindowBadge(double fillOpacity, double rimOpacity);

struct MinimizedBarMockStage {
    SettingsPalette palette;
    std::vector<SwitchTarget> targets;
    bool isHovered = false;

    // The three icons the bar shows: the first three targets' icons, topped up with the sample
    // icons in their order. The third is always drawn as the parked entry.
    std::array<platform::AppIconRef, 3> displayIcons() const;

    ui::View body() const;
};

}  // namespace quillmar
