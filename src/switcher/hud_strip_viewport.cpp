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

double HUDStripViewport::titleWidth() const {
    return std::max(std::min(boxSize + 28, viewportWidth - 2 * kTitleEdgeInset), 1.0);
}

double HUDStripViewport::titleShift(int i) const {
    const double half = titleWidth() / 2;
    const double center = boxCenterX(i) - scrollOffset;
    const double lo = kTitleEdgeInset + half, hi = viewportWidth - kTitleEdgeInset - half;
    if (lo > hi) return viewportWidth / 2 - center;
    return std::clamp(center, lo, hi) - center;
}

}  // namespace quillmar
