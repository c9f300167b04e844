#pragma once
// An analytic-coverage scanline rasteriser for filled paths: the signed area of every edge is
// accumulated per pixel and summed along each row, which gives exact antialiasing at a cost
// proportional to the shape's area, with none of the per-call setup of Cairo's general scan
// converter (which dominates when many small shapes are filled every frame).

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gfx/geometry.h"

namespace quillmar::gfx {

class CoverageRasterizer {
public:
    // Starts a mask covering device pixels [x0, x0 + width) × [y0, y0 + height).
    void reset(int x0, int y0, int width, int height);
    // Adds one edge of a closed polygon, in device coordinates.
    void addLine(Point a, Point b);
    // Resolves the coverage into 8-bit alpha rows of `stride` bytes (which must start zeroed);
    // `evenOdd` folds the winding. Leaves the accumulator clean for the next shape.
    void resolve(std::uint8_t* out, int stride, bool evenOdd);
    // Resolves one row into `out` (columns [rowBegin(y), rowEnd(y)) are written, in mask
    // columns); rows must be resolved in order, each once.
    void resolveRow(int y, std::uint8_t* out, bool evenOdd);
    // Columns [rowBegin(y), rowEnd(y)) of row y may be covered; outside them coverage is zero.
    int rowBegin(int y) const { return rowMin_[y]; }
    int rowEnd(int y) const { return rowMax_[y] < 0 ? rowMin_[y] : std::min(w_, rowMax_[y] + 1); }

    // Gives back the accumulator when it holds more than `maxBytes`: one huge shape must not keep
    // its memory for the small ones that follow.
    void trim(std::size_t maxBytes);

    int x0() const { return x0_; }
    int y0() const { return y0_; }
    int width() const { return w_; }
    int height() const { return h_; }

private:
    void addClippedLine(double ax, double ay, double bx, double by);
    int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;
    std::vector<float> acc_;   // all zero between shapes
    std::vector<int> rowMin_, rowMax_;
};

}  // namespace quillmar::gfx
