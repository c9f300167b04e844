#pragma once
// The fourteen colours of the St Patrick's window spectacle, one fixed value per appearance.

#include "gfx/color.h"

namespace quillmar {

struct StpatPalette {
    gfx::Color emeraldDeep, emerald, spring, mint, gold, goldHi, goldShadow, cream, clover, cloverPink,
        iron, ironHi, ironDeep, lantern;

    // Built on first read, once per process, and never changed afterwards.
    static const StpatPalette& light();
    static const StpatPalette& dark();
    static const StpatPalette& forAppearance(bool isDark) { return isDark ? dark() : light(); }
};

}  // namespace quillmar
