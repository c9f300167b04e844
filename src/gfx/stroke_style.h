#pragma once
// How a path is filled and how it is stroked.

#include <vector>

namespace quillmar::gfx {

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };

struct FillStyle {
    bool eoFill = false;      // even-odd rule instead of non-zero winding
    bool antialiased = true;
};

struct StrokeStyle {
    double lineWidth = 1;
    LineCap lineCap = LineCap::butt;
    LineJoin lineJoin = LineJoin::miter;
    double miterLimit = 10;
    std::vector<double> dash{};  // on, off, on, off...; empty for a solid line
    double dashPhase = 0;
};

}  // namespace quillmar::gfx
