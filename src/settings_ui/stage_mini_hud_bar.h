#pragma once
// The small replica of the Switch Bar on the settings window's hardware stage: the stage's
// targets as an icon strip or as a compact three-row list, one entry highlighted. A change of
// the highlighted entry slides the highlight; switching between strip and list morphs every
// icon and the highlight from one layout into the other (matched geometry by entry index).

#include <vector>

#include "platform/app_icon.h"
#include "ui/state.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

// One icon of the strip: 28 pt, dimmed and badged when minimised or hidden, a little larger
// when selected.
struct StageMiniHUDTile {
    platform::AppIconRef icon;
    bool isMinimizedOrHidden = false;
    bool isSelected = false;
    ui::Namespace iconNamespace;
    std::string iconGeometryID;

    ui::View body() const;
};

struct StageMiniHUDBar {
    std::vector<SwitchTarget> targets;
    int highlightedIdx = 0;  // any index outside the list highlights nothing
    bool isVerticalStyle = false;
    bool isDark = false;
    ui::Namespace miniHUDNamespace;

    // The indices of the list's rows: all of them up to three, otherwise three consecutive ones
    // keeping the highlighted row in the middle where it can.
    static std::vector<int> visibleListIndices(int count, int highlightedIdx);
    // The label of a list row: the app name for app entries and for windows without a title.
    static std::string rowLabel(const SwitchTarget& target);
    // The bar's width with `count` targets, as a strip or as a list.
    static double width(std::size_t count, bool verticalStyle);

    ui::View body() const;

private:
    ui::View strip() const;
    ui::View list() const;
    // inWindow: the row lies in the visible window (rows outside it are built but out of sight).
    ui::View row(int index, bool inWindow) const;
    ui::View highlight(bool selected, double radius, double fillOpacity) const;
};

}  // namespace quillmar
