#pragma once
// Blends rows of 8-bit coverage, shaded by a colour or a gradient, onto premultiplied ARGB32
// pixels with the normal (source-over) operator. Gradients are sampled from a table built once
// per shape, so per pixel the work is one lookup and one blend.
//
// A gradient so gentle that one step of its 8-bit colours spans several pixels (a large glow, a
// backdrop's sheen) would show as rings or bands: such a gradient is dithered. Its colours are
// kept finer than 8 bits, blended so, and the result rounded at the threshold that a 4 × 4
// ordered (Bayer) matrix gives the pixel: whatever lies beneath, the picture's levels mix where
// the exact value lies between them. Fixed thresholds keep every picture reproducible, and the
// matrix is laid over the whole picture's pixels, so a picture drawn in bands of rows (or a layer
// drawn in pieces) comes out as drawn whole.

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/affine_transform.h"
#include "gfx/shading.h"

namespace quillmar::gfx {

class SpanCompositor {
public:
    // Prepares for one shape; `toDevice` maps the shading's user space to target pixels, whose
    // top-left corner is pixel (originX, originY) of the whole picture (the dither follows the
    // picture's pixels). False when there is nothing to paint or the shading cannot be handled here.
    bool prepare(const Shading& shading, double opacity, const AffineTransform& toDevice, int originX = 0,
                 int originY = 0);
    // Blends columns [from, to) of target row y; `coverage[x]` is the coverage of column x.
    void blendRow(std::uint32_t* row, const std::uint8_t* coverage, int y, int from, int to) const;
    // Whether the prepared gradient is dithered.
    bool dithers() const { return dither_; }

private:
  // The portable (SSE2 or scalar) blend, and an eight-column one for processors with AVX2;
  // both give the same pixels.
  void blendRowBaseline(std::uint32_t* row, const std::uint8_t* coverage, int y, int from, int to) const;
#if defined(__x86_64__) && defined(__GNUC__)
  __attribute__((target("avx2"))) int blendRowAvx2(std::uint32_t* row, const std::uint8_t* coverage, int y,
                                                   int from, int to) const;
#endif
  enum class Mode { solid, linear, radial } mode_ = Mode::solid;
  bool pad_ = true;
  std::uint32_t solid_ = 0;
  std::array<std::uint32_t, 1024> lut_{};
  float last_ = 0;
  // A dithered gradient's table: premultiplied alpha, red, green and blue on the 0...255 scale.
  bool dither_ = false;
  std::vector<std::array<float, 4>> fineLut_;
  int originX_ = 0, originY_ = 0;
  // Linear: table position = ta·x + tb·y + tc. Radial: inverse transform and circle.
  double ta_ = 0, tb_ = 0, tc_ = 0;
  AffineTransform inv_;
  double cx_ = 0, cy_ = 0, k_ = 0, off_ = 0;
  // Builds the table (or the dithered one) of n entries for a gradient `pixels` long.
  void prepareTables(const Gradient& gradient, double opacity, double pixels, int n);
  // Blends a dithered gradient over columns [from, to) of row y; `position(x)` gives column x's
  // place in the table.
  template <class Position>
  void blendDithered(std::uint32_t* row, const std::uint8_t* coverage, int y, int from, int to,
                     Position&& position) const;
};

}  // namespace quillmar::gfx
