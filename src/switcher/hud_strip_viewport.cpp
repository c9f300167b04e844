#include "switcher/hud_strip_viewport.h"

#include <algorithm>
#include <cmath>

namespace quillmar {

namespace {
// The panel keeps this much of the visible frame free on either side.
constexpr double kPanelSideMargin = 12;
}  // namespace

HUDStripViewport HUDStripViewport::make(const HUDMetrics& m, int count, int selectedIndex, double screenWidth) {
    HUDStripViewport v;
    const int n = std::max(count, 1);
    v.boxSize = m.boxSize;
    v.itemSpacing = m.itemSpacing;
    v.horizontalPadding = m.horizontalPadding;
    v.contentWidth = 2 * m.horizontalPadding + n * m.boxSize + (n - 1) * m.itemSpacing;
    const double screen = std::isfinite(screenWidth) ? screenWidth : 0;
    // Never narrower than one box with its padding, whatever the screen says.
    const double widest = std::max(screen - 2 * kPanelSideMargin, 2 * m.horizontalPadding + m.boxSize);
    v.viewportWidth = std::min(v.contentWidth, widest);
    if (v.scrolls()) {
        const int i = std::clamp(selectedIndex, 0, n - 1);
        v.scrollOffset = std::clamp(v.boxCenterX(i) - v.viewportWidth / 2, 0.0, v.contentWidth - v.viewportWidth);
    }
    return v;
}

HUDStripViewport::EntryRange HUDStripViewport::EntryRange::around(int count, int lowest, int highest,
                                                                  int around) {
    if (count <= 0) return {};
    const int low = std::clamp(std::min(lowest, highest), 0, count - 1);
    const int high = std::clamp(std::max(lowest, highest), 0, count - 1);
    const int margin = std::clamp(around, 0, count);
    return {std::max(low - margin, 0), std::min(high + margin, count - 1)};
}

HUDStripViewport::EntryRange HUDStripViewport::builtEntries(const HUDMetrics& m, int count, int lowestSelection,
                                                            int highestSelection, double screenWidth) {
    if (count <= 0) return {};
    const auto v = make(m, count, lowestSelection, screenWidth);
    if (!v.scrolls()) return {0, count - 1};
    const double slot = m.boxSize + m.itemSpacing;
    // The boxes whose near edge lies within a bar's width of a selected box's centre: the bar never
    // shows further than that from it (half a bar's width where the row scrolls freely).
    const double boxes = std::floor((v.viewportWidth + m.boxSize / 2) / slot);
    if (!(slot > 0) || !std::isfinite(boxes)) return {0, count - 1};
    return EntryRange::around(count, lowestSelection, highestSelection,
                              static_cast<int>(std::min(boxes, static_cast<double>(count))));
}

double HUDStripViewport::titleWidth() const {
    return std::max(std::min(boxSize + 28, viewportWidth - 2 * kTitleEdgeInset), 1.0);
}

HUDStripViewport::TitleRoom HUDStripViewport::titleRoom(int i) const {
    const double center = boxCenterX(i) - scrollOffset;
    return {center - kTitleEdgeInset, viewportWidth - kTitleEdgeInset - center};
}

}  // namespace quillmar
