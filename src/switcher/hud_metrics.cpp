#include "switcher/hud_metrics.h"

#include <algorithm>
#include <cmath>

#include "switcher/round_half_away_from_zero.h"


namespace quillmar {

HUDMetrics HUDMetrics::make(int count, double screenWidth) {
    const int n = count >= 2 ? count : 1;
    const double width = std::isfinite(screenWidth) ? screenWidth : 0;
    const double avail = width - 48 >= 320 ? width - 48 : 320;
    double box = (avail - 48 - 8.0 * (n - 1)) / n;
    const bool tight = box < 72;
    if (tight) box = (avail - 28 - 4.0 * (n - 1)) / n;

    HUDMetrics m;
    m.boxSize = std::max(std::min(std::floor(box), 110.0), 36.0);
    const double s = m.boxSize / 110;
    m.iconSize = roundHalfAwayFromZero(0.78 * m.boxSize);
    m.boxCornerRadius = std::max(roundHalfAwayFromZero(18 * s), 8.0);
    m.itemSpacing = tight ? 4 : 8;
    m.horizontalPadding = tight ? 14 : 24;
    m.topPadding = std::max(roundHalfAwayFromZero(22 * std::max(s, 0.65)), 12.0);
    m.bottomPadding = std::max(roundHalfAwayFromZero(14 * std::max(s, 0.75)), 10.0);
    m.hudCornerRadius = std::max(roundHalfAwayFromZero(28 * std::max(s, 0.7)), 18.0);
    m.fontSize = std::max(roundHalfAwayFromZero(12.5 * std::max(s, 0.84)), 10.5);
    return m;
}

}  // namespace quillmar
