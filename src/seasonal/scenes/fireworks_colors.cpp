#include "seasonal/scenes/fireworks_colors.h"

namespace quillmar {

FireworkColors fireworksColors(int index, bool isDark) {
    using gfx::Color;
    const Color coolWhite = isDark ? Color(0.95, 0.97, 1.0) : Color(0.97, 0.98, 1.0);
    const Color warmWhite = isDark ? Color(1.0, 0.98, 0.9) : Color(1.0, 0.99, 0.94);
    const Color gold = isDark ? Color(1.0, 0.86, 0.5) : Color(0.96, 0.74, 0.22);
    const Color amber = isDark ? Color(0.98, 0.7, 0.26) : Color(0.86, 0.56, 0.1);
    const Color blue = isDark ? Color(0.48, 0.72, 1.0) : Color(0.26, 0.52, 0.98);
    const Color pink = isDark ? Color(1.0, 0.54, 0.66) : Color(0.94, 0.34, 0.54);
    const Color green = isDark ? Color(0.46, 0.94, 0.7) : Color(0.14, 0.72, 0.48);
    const Color white = Color::whiteColor();
    switch (index) {
        case 0: return {gold, amber, warmWhite};
        case 1: return {coolWhite, blue, white};
        case 2: return {pink, gold, warmWhite};
        case 3: return {green, coolWhite, white};
        case 4: return {blue, coolWhite, white};
        default: return {gold, coolWhite, warmWhite};
    }
}

}  // namespace quillmar
