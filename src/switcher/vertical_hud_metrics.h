#pragma once
// Sizes of the vertical list: three tiers of row sizes by entry count (from 15 entries on the
// list scrolls inside a viewport), a panel width and a viewport height that follow the screen.

namespace quillmar {

struct VerticalHUDMetrics {
    double panelWidth = 0;
    double rowHeight = 0;
    double iconSize = 0;
    double rowCornerRadius = 0;
    double hudCornerRadius = 0;
    double rowSpacing = 0;
    double outerPadding = 0;
    double titleFontSize = 0;
    double appFontSize = 0;
    bool usesScrollViewport = false;
    double maxViewportHeight = 0;

    static VerticalHUDMetrics make(int count, double screenWidth, double screenHeight);

    friend bool operator==(const VerticalHUDMetrics&, const VerticalHUDMetrics&) = default;
};

}  // namespace quillmar
