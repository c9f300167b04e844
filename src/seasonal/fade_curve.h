#pragma once
// The fades of the easter-egg canvases: the smootherstep S(x) = x³(x(6x − 15) + 10) of x held to
// 0...1 (a value that is not a number counts as 0).

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/smootherstep.h"

namespace quillmar {

inline double clampUnit(double x) { return std::isnan(x) ? 0 : std::clamp(x, 0.0, 1.0); }
inline double smoothFade(double x) { return smootherQuintic(clampUnit(x)); }

}  // namespace quillmar
