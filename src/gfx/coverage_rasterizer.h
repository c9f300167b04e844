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
    // Adds every edge of a closed polygon (the last point joined to the first; nothing when empty).
    void addPolygon(const std::vector<Point>& polygon);
    // Resolves the coverage into 8-bit alpha rows of `stride` bytes (which must start zeroed);
    // `evenOdd` folds the winding. Leaves the accumulator clean for the next shape.
    void resolve(std::uint8_t* out, int stride, bool evenOdd);
    // Resolves one row into `out` (columns [rowBegin(y), rowEnd(y)) are written, in mask
    // columns); rows must be resolved in order, each once.
    void resolveRow(int y, std::uint8_t* out, bool evenOdd);
    // Columns [rowBegin(y), rowEnd(y)) of row y may be covered; outside them coverage is zero.
    // Asked in row order, like resolveRow (a large mask is accumulated a band of rows at a time).
    int rowBegin(int y) {
        accumulateThrough(y);
        return rowMin_[y];
    }
    int rowEnd(int y) {
        accumulateThrough(y);
        return rowMax_[y] < 0 ? rowMin_[y] : std::min(w_, rowMax_[y] + 1);
    }

    // Gives back the accumulator when it holds more than `maxBytes`: one huge shape must not keep
    // its memory for the small ones that follow.
    void trim(std::size_t maxBytes);

    int x0() const { return x0_; }
    int y0() const { return y0_; }
    int width() const { return w_; }
    int height() const { return h_; }

private:
    // An edge clipped to the mask's columns, walked one row at a time: x at the top of row y.
    struct Edge {
        double x, y0, y1, dxdy;
        int y, yEnd;
        float dir;
    };
    void addClippedLine(double ax, double ay, double bx, double by);
    // Adds the edge's rows below `rowLimit` to the accumulator.
    void walk(Edge& e, int rowLimit);
    // Banded masks: accumulates the band holding row y once the rows before it are done.
    void accumulateThrough(int y);

    int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;
    std::vector<float> acc_;  // all zero between shapes; rows [bandBegin_, bandEnd_) of the mask
    std::vector<int> rowMin_, rowMax_;
    // Per row, one bit for each block of 2^blockShift_ columns an edge wrote to: the accumulator
    // is zero in the other blocks, so a run across them resolves to one value without reading it.
    std::vector<std::uint64_t> rowBlocks_;
    int blockShift_ = 3;
    // A mask too large to accumulate whole keeps its edges and accumulates `bandRows_` rows at
    // a time, as they are resolved: the accumulator stays the size of a band.
    bool banded_ = false;
    int bandRows_ = 0, bandBegin_ = 0, bandEnd_ = 0;
    std::vector<Edge> edges_;
};

}  // namespace quillmar::gfx
