#include "switcher/hud_panel_placement.h"

#include <algorithm>
#include <cmath>

#include "switcher/round_half_away_from_zero.h"

namespace quillmar {

double clampHUDPanelY(const platform::Screen& screen, double y, double height) {
    const auto& v = screen.visibleFrame;
    return std::max(v.minY() + 16, std::min(y, v.maxY() - height - 16));
}

platform::Rect hudPanelFrame(const platform::Screen& screen, platform::Size content) {
    const auto& f = screen.frame;
    const auto& v = screen.visibleFrame;
    const double w = content.width, h = content.height;
    const double x0 = roundHalfAwayFromZero(f.midX() - w / 2);
    const double y0 = roundHalfAwayFromZero(v.midY() - h / 2);
    const double x = std::max(v.minX() + 12, std::min(x0, v.maxX() - w - 12));
    return {x, clampHUDPanelY(screen, y0, h), w, h};
}

}  // namespace quillmar
