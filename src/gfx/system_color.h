#pragma once
// The system's named colours, one table of our own values per appearance.

#include "gfx/color.h"

namespace quillmar::gfx {

enum class Appearance { light, dark };

enum class SystemColor {
    accent,
    primaryLabel,
    secondaryLabel,
    tertiaryLabel,
    separator,
    windowBackground,
    controlBackground,
    green,
    orange,
    yellow,
    red,
    blue,
    white,
    black,
    clear,
};

Color systemColor(SystemColor which, Appearance appearance);

}  // namespace quillmar::gfx
