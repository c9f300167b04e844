#pragma once
// One row of the vertical list: icon, title (the window title, or the app name for an app entry
// or a window titled like its app), the app name on the right when the title is a window's, and
// a badge for a minimised or hidden target. Compared like the strip's boxes.

#include "switcher/vertical_hud_metrics.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

struct VerticalListRowContent {
    SwitchTarget target;
    bool isSelected = false;
    bool isLight = false;
    VerticalHUDMetrics metrics;

    ui::View body() const;
    // Whether the row shows the app name besides a window title.
    bool showsAppName() const;
    double titleOpacity() const;
    friend bool operator==(const VerticalListRowContent& a, const VerticalListRowContent& b) {
        return a.isSelected == b.isSelected && a.isLight == b.isLight && a.target == b.target && a.metrics == b.metrics;
    }
};

}  // namespace quillmar
