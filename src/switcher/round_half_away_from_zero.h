#pragma once
// The Switch Bar's one rounding rule: to the nearest integer, halves away from zero (12.5 gives
// 13, -2.5 gives -3). A non-finite value gives 0, so it never reaches a frame or a size.

#include <cmath>

namespace quillmar {

inline double roundHalfAwayFromZero(double v) { return std::isfinite(v) ? std::round(v) : 0; }

}  // namespace quillmar
