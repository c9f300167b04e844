#pragma once
// The one colour set of the cozy Christmas and winter scenes, built per frame from the appearance.

#include "gfx/color.h"

namespace quillmar {

struct XmasCozyPalette {
    gfx::Color pineDeep, pineMid, pineLight;
    gfx::Color cranberry, cranberryDeep;
    gfx::Color amber, candleCream;
    gfx::Color brass, brassDeep;
    gfx::Color rose;
    gfx::Color snow, snowShade;
    gfx::Color silhouette;  // light cream when dark, dark plum when light: ink that stands out in both
    gfx::Color stardust;

    static XmasCozyPalette make(bool isDark);
};

}  // namespace quillmar
