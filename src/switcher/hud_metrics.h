#pragma once
// Sizes of the horizontal icon strip, derived from the number of entries and the width of the
// screen that shows the bar: the boxes shrink (down to a floor) so that many windows fit.

namespace quillmar {

struct HUDMetrics {
    double boxSize = 0;
    double iconSize = 0;
    double boxCornerRadius = 0;
    double itemSpacing = 0;
    double horizontalPadding = 0;
    double topPadding = 0;
    double bottomPadding = 0;
    double hudCornerRadius = 0;
    double fontSize = 0;

    // count below 2 counts as one item; a non-finite or tiny screen width counts as the narrowest.
    static HUDMetrics make(int count, double screenWidth);

    friend bool operator==(const HUDMetrics&, const HUDMetrics&) = default;
};

}  // namespace quillmar
