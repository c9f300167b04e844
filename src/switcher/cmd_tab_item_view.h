#pragma once
// One box of the horizontal strip: the app icon (dimmed, desaturated and badged for a minimised
// or hidden target) and, for the selected box only, its label under it. Compared by the fields
// that change its look, so a scrub step re-renders only the two boxes whose selection changed.

#include <limits>

#include "switcher/hud_metrics.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

struct CmdTabItemView {
    // The title row under the box: this far below it and this tall.
    static constexpr double kTitleGap = 6;
    static constexpr double kTitleRowHeight = 17;

    SwitchTarget target;
    bool isSelected = false;
    bool isLight = false;
    HUDMetrics metrics;
    // How far the title may reach left and right of the box's centre (a title near the bar's
    // edge stays inside it), and how wide it may be (0: the box plus 28).
    double titleRoomBefore = std::numeric_limits<double>::infinity();
    double titleRoomAfter = std::numeric_limits<double>::infinity();
    double titleWidth = 0;

    ui::View body() const;
    // The icon opacity for the target's state.
    double iconOpacity() const;
    friend bool operator==(const CmdTabItemView& a, const CmdTabItemView& b) {
        return a.isSelected == b.isSelected && a.isLight == b.isLight && a.target == b.target && a.metrics == b.metrics &&
               a.titleRoomBefore == b.titleRoomBefore && a.titleRoomAfter == b.titleRoomAfter &&
               a.titleWidth == b.titleWidth;
    }
};

// The icon of a target as a resizable image, or a neutral rounded square when it has none.
ui::View targetIconView(const SwitchTarget& target);

}  // namespace quillmar
