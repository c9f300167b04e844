#pragma once
// The horizontal strip inside the width a screen can show. The row of boxes (with its padding)
// is never wider than the screen's visible width less the panel's side margins; when it would
// be, the bar shows that much of it and scrolls it so the selected box sits in the middle
// (clamped at the ends). Where the row fits nothing moves. Titles are kept off the bar's edges:
// a title that would cross one near its box is shifted inwards as far as it needs, and narrowed
// to the bar.

#include "switcher/hud_metrics.h"

namespace quillmar {

struct HUDStripViewport {
    // Clear space kept between a title and the bar's left or right edge.
    static constexpr double kTitleEdgeInset = 8;

    double contentWidth = 0;   // the whole row, padding included
    double viewportWidth = 0;  // what the bar shows of it
    double scrollOffset = 0;   // how far the row is moved left
    double boxSize = 0;
    double itemSpacing = 0;
    double horizontalPadding = 0;

    // count is the number of entries (below 1 counts as one), screenWidth the visible width.
    static HUDStripViewport make(const HUDMetrics& metrics, int count, int selectedIndex, double screenWidth);

    bool scrolls() const { return contentWidth > viewportWidth; }
    // Centre of box i in the row's own coordinates.
    double boxCenterX(int i) const { return horizontalPadding + i * (boxSize + itemSpacing) + boxSize / 2; }
    // Width of a title frame: its box plus 28, at most the bar less the edge insets.
    double titleWidth() const;
    // How far box i's title may reach left (before) and right (after) of the box's centre to
    // stay inside the bar as shown now.
    struct TitleRoom {
        double before = 0, after = 0;
    };
    TitleRoom titleRoom(int i) const;

    // The entries (first to last, by index) a scrolling strip builds when its selection has ranged
    // over lowest ... highest since the bar opened: every entry within a bar's width of a selected
    // box's centre, which holds every entry the bar showed or passed over on the way and half a bar's
    // width more on either side (the overshoot of a glide, the slide of the entries after a close).
    // Those further out are never seen and only take their room.
    struct EntryRange {
        int first = 0, last = -1;
        int count() const { return last >= first ? last - first + 1 : 0; }
        // The entries from `around` before lowest to `around` after highest, of `count`. Counted
        // in entries, never in points (a scroll held at an end moves by none): a reach one entry
        // wider builds one entry more, so a close or quit that first widens the reach by the
        // entries leaving builds, before they move, every entry the shorter list builds after.
        static EntryRange around(int count, int lowest, int highest, int around);
        friend bool operator==(const EntryRange&, const EntryRange&) = default;
    };
    static EntryRange builtEntries(const HUDMetrics& metrics, int count, int lowestSelection, int highestSelection,
                                   double screenWidth);

    friend bool operator==(const HUDStripViewport&, const HUDStripViewport&) = default;
};

}  // namespace quillmar
