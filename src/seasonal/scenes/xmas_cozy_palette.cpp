#include "seasonal/scenes/xmas_cozy_palette.h"

namespace quillmar {

XmasCozyPalette XmasCozyPalette::make(bool isDark) {
    using gfx::Color;
    if (isDark)
        return {Color(0.08, 0.27, 0.18), Color(0.17, 0.45, 0.29), Color(0.44, 0.68, 0.48), Color(0.86, 0.20, 0.27),
                Color(0.52, 0.09, 0.15), Color(1.00, 0.72, 0.32), Color(1.00, 0.94, 0.78), Color(0.86, 0.68, 0.32),
                Color(0.52, 0.38, 0.14), Color(1.00, 0.56, 0.50), Color(0.96, 0.98, 1.00), Color(0.62, 0.74, 0.94),
                Color(0.98, 0.87, 0.60), Color(1.00, 0.90, 0.56)};
    return {Color(0.07, 0.30, 0.19), Color(0.14, 0.44, 0.27), Color(0.36, 0.62, 0.40), Color(0.78, 0.14, 0.22),
            Color(0.48, 0.07, 0.13), Color(0.96, 0.62, 0.20), Color(0.99, 0.93, 0.76), Color(0.78, 0.58, 0.22),
            Color(0.48, 0.34, 0.10), Color(0.94, 0.48, 0.44), Color(1.00, 1.00, 1.00), Color(0.56, 0.68, 0.88),
            Color(0.32, 0.16, 0.22), Color(0.90, 0.68, 0.20)};
}

}  // namespace quillmar
