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

HUDStripViewport::EntryRange HUDStripViewport::builtEntries(const HUDMetrics& m, int count, int lowestSelection,
                                                            int highestSelection, double screenWidth) {
    if (count <= 0) return {};
    const auto low = make(m, count, std::min(lowestSelection, highestSelection), screenWidth);
    if (!low.scrolls()) return {0, count - 1};
    const auto high = make(m, count, std::max(lowestSelection, highestSelection), screenWidth);
    const double margin = low.viewportWidth / 2;
    const double slot = m.boxSize + m.itemSpacing;
    if (!(slot > 0) || !std::isfinite(slot)) return {0, count - 1};
    // Box i spans horizontalPadding + i * slot ... + boxSize in the row.
    const double from = low.scrollOffset - margin - m.horizontalPadding;
    const double to = high.scrollOffset + high.viewportWidth + margin - m.horizontalPadding;
    const double first = std::floor((from - m.boxSize) / slot) + 1, last = std::floor(to / slot);
    if (std::isnan(first) || std::isnan(last)) return {0, count - 1};
    EntryRange r;
    r.first = static_cast<int>(std::clamp(first, 0.0, double(count - 1)));
    r.last = static_cast<int>(std::clamp(last, double(r.first), double(count - 1)));
    return r;
}

double HUDStripViewport::titleWidth() const {
    return std::max(std::min(boxSize + 28, viewportWidth - 2 * kTitleEdgeInset), 1.0);
}

HUDStripViewport::TitleRoom HUDStripViewport::titleRoom(int i) const {
    const double center = boxCenterX(i) - scrollOffset;
    return {center - kTitleEdgeInset, viewportWidth - kTitleEdgeInset - center};
}

}  // namespace quillmar
