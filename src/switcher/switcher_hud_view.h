#pragma once
// The Switch Bar's content, hosted by its panel: the horizontal icon strip or the vertical list
// (by the switchBarStyle setting) on the plate, with the festive overlay on top, all under one
// rounded clip. It keeps no state of the switch: it shows what the controller publishes, tells
// the controller its measured size (so the panel stays centred), hands its layout to the festive
// state, and commits a clicked entry. A strip wider than its screen, or a list in its scroll
// viewport, builds only the entries the selection has brought into reach (the controller's
// selectionReach); a plain frame of the same size, read by assistive technology as the entries it
// stands for, takes the place of the rest.
//
// Names for inspection: "switchBar" (the whole bar), "hudItem.<i>" / "hudRow.<i>" (entries),
// "hudHighlight", "hudRule", "hudPlate", "hudTitle", "hudMinimizedBadge".

#include <functional>
#include <vector>

#include "festive_hud/hud_festive_geometry.h"
#include "switcher/hud_metrics.h"
#include "switcher/hud_strip_viewport.h"
#include "switcher/vertical_hud_metrics.h"
#include "ui/state.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

class SwitcherController;

struct SwitcherHUDView {
    // The festive overlay laid over the whole bar, centred, under the bar's clip: given whether
    // the plate is dark and the bar's corner radius. Unset, the bar carries no overlay. Held by
    // the world (a reset forgets it).
    using FestiveOverlayFactory = std::function<ui::View(bool isDark, double cornerRadius)>;
    static void setFestiveOverlayFactory(FestiveOverlayFactory factory);

    ui::Namespace hudSelectionNamespace;

    ui::View body() const;

    // The content-size hook: writes the festive geometry when it changed and re-centres the panel.
    static void handleContentSize(ui::Size size);
    // The festive geometry of a layout of the given size. A strip wider than its screen is moved
    // left by scrollOffset, a list in its scroll viewport up by it, and so are their anchors.
    static HUDFestiveGeometry festiveGeometry(ui::Size size, int count, bool vertical, const HUDMetrics& horizontal,
                                              const VerticalHUDMetrics& verticalMetrics, double scrollOffset = 0);
    // How far the list in its scroll viewport is scrolled while `selected` is selected: the
    // selected row centred in the viewport, limited to the content at both ends (0 without a
    // viewport). The rule above the first parked entry counts, as the list lays it out.
    static double listScrollOffset(const VerticalHUDMetrics& metrics, const std::vector<SwitchTarget>& targets,
                                   int selected);
    // The rows a list in its scroll viewport builds while the selection has ranged over
    // lowestSelection...highestSelection: those the viewport shows for any selection in between,
    // and more on either side, as many rows before and after as a viewport and a half holds (see
    // HUDStripViewport::EntryRange::around). Every row without a viewport.
    static HUDStripViewport::EntryRange builtListRows(const VerticalHUDMetrics& metrics,
                                                      const std::vector<SwitchTarget>& targets, int lowestSelection,
                                                      int highestSelection);
    // Whether the bar draws dark content on a light plate now.
    static bool isLightAppearance();

};

}  // namespace quillmar
