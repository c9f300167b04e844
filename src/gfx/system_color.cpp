#include "gfx/system_color.h"

namespace quillmar::gfx {

// Our own table, chosen for contrast on the light and dark window backgrounds of this system.
Color systemColor(SystemColor which, Appearance appearance) {
    const bool dark = appearance == Appearance::dark;
    switch (which) {
        case SystemColor::accent: return dark ? Color(0.10, 0.52, 1.00) : Color(0.00, 0.46, 0.98);
        case SystemColor::primaryLabel: return dark ? Color(1, 1, 1, 0.86) : Color(0, 0, 0, 0.86);
        case SystemColor::secondaryLabel: return dark ? Color(1, 1, 1, 0.55) : Color(0, 0, 0, 0.50);
        case SystemColor::tertiaryLabel: return dark ? Color(1, 1, 1, 0.26) : Color(0, 0, 0, 0.26);
        case SystemColor::separator: return dark ? Color(1, 1, 1, 0.10) : Color(0, 0, 0, 0.10);
        case SystemColor::windowBackground: return dark ? Color(0.16, 0.16, 0.17) : Color(0.93, 0.93, 0.93);
        case SystemColor::controlBackground: return dark ? Color(0.12, 0.12, 0.13) : Color(1, 1, 1);
        case SystemColor::green: return dark ? Color(0.19, 0.82, 0.35) : Color(0.16, 0.70, 0.29);
        case SystemColor::orange: return dark ? Color(1.00, 0.62, 0.04) : Color(1.00, 0.58, 0.00);
        case SystemColor::yellow: return dark ? Color(1.00, 0.84, 0.04) : Color(1.00, 0.80, 0.00);
        case SystemColor::red: return dark ? Color(1.00, 0.27, 0.23) : Color(1.00, 0.23, 0.19);
        case SystemColor::blue: return dark ? Color(0.04, 0.52, 1.00) : Color(0.00, 0.48, 1.00);
        case SystemColor::white: return Color(1, 1, 1, 1);
        case SystemColor::black: return Color(0, 0, 0, 1);
        case SystemColor::clear: return Color(0, 0, 0, 0);
    }
    return Color(0, 0, 0, 1);
}

}  // namespace quillmar::gfx
