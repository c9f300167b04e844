#pragma once
// One box of the horizontal strip: the app icon (dimmed, desaturated and badged for a minimised
// or hidden target) and, for the selected box only, its label under it. Compared by the fields
// that change its look, so a scrub step re-renders only the two boxes whose selection changed.

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
    // Where the strip puts the title: moved this far sideways and this wide (0: the box plus 28),
    // so that a title near the bar's edge stays inside it.
    double titleShift = 0;
    double titleWidth = 0;

    ui::View body() const;
    // The icon opacity for the target's state.
    double iconOpacity() const;
    friend bool operator==(const CmdTabItemView& a, const CmdTabItemView& b) {
        return a.isSelected == b.isSelected && a.isLight == b.isLight && a.target == b.target && a.metrics == b.metrics &&
               a.titleShift == b.titleShift && a.titleWidth == b.titleWidth;
    }
};

// The icon of a target as a resizable image, or a neutral rounded square when it has none.
ui::View targetIconView(const SwitchTarget& target);

}  // namespace quillmar
