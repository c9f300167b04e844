#include "switcher/vertical_hud_metrics.h"

#include <algorithm>
#include <cmath>

#include "switcher/round_half_away_from_zero.h"

namespace quillmar {

VerticalHUDMetrics VerticalHUDMetrics::make(int count, double screenWidth, double screenHeight) {
    VerticalHUDMetrics m;
    if (count < 10) {
        m.rowHeight = 40, m.iconSize = 24, m.rowCornerRadius = 9.5, m.hudCornerRadius = 18;
        m.rowSpacing = 2, m.outerPadding = 8, m.titleFontSize = 13, m.appFontSize = 11.5;
    } else if (count < 15) {
        m.rowHeight = 33, m.iconSize = 20, m.rowCornerRadius = 8, m.hudCornerRadius = 16;
        m.rowSpacing = 1.5, m.outerPadding = 7, m.titleFontSize = 12.5, m.appFontSize = 11;
    } else {
        m.rowHeight = 30, m.iconSize = 18, m.rowCornerRadius = 7.5, m.hudCornerRadius = 15;
        m.rowSpacing = 1, m.outerPadding = 6.5, m.titleFontSize = 12, m.appFontSize = 10.5;
    }
    m.usesScrollViewport = count >= 15;
    // Non-finite screen sizes fall to the lower bounds through the clamps.
    const double w = std::isfinite(screenWidth) ? screenWidth : 0;
    const double h = std::isfinite(screenHeight) ? screenHeight : 0;
    m.panelWidth = std::clamp(roundHalfAwayFromZero(0.29 * w), 368.0, 424.0);
    m.maxViewportHeight = std::clamp(roundHalfAwayFromZero(0.6 * h), 340.0, 504.0);
    return m;
}

}  // namespace quillmar
