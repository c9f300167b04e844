#pragma once
// Colours that recur across the Halloween pieces and scenes.

#include "gfx/color.h"

namespace quillmar::halloween {

inline const gfx::Color kMoonlight = gfx::Color::rgb(0.84, 0.88, 0.96);
inline const gfx::Color kPumpkin = gfx::Color::rgb(1, 0.52, 0.12);
inline const gfx::Color kSilk = gfx::Color::rgb(0.93, 0.91, 0.84);

}  // namespace quillmar::halloween
