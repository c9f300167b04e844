#pragma once
// Effects applied to what a context draws: per draw call, or to a whole layer (drawLayer).

#include <vector>

#include "gfx/color.h"

namespace quillmar::gfx {

struct Filter {
    enum class Kind { shadow, blur, saturation };
    Kind kind = Kind::blur;
    Color color{};       // shadow colour
    // Shadow or blur radius in points: the standard deviation of the Gaussian, as a view's
    // shadow or blur radius. (A Core Graphics shadow "blur" b is a radius of b / 2.)
    double radius = 0;
    double x = 0, y = 0; // shadow offset in points (y down)
    double amount = 1;   // saturation factor: 0 grey, 1 unchanged

    static Filter shadow(const Color& color, double radius, double x = 0, double y = 0);
    static Filter blur(double radius);
    static Filter saturation(double amount);
};

}  // namespace quillmar::gfx
