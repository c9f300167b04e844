#pragma once
// Blends rows of 8-bit coverage, shaded by a colour or a gradient, onto premultiplied ARGB32
// pixels with the normal (source-over) operator. Gradients are sampled from a table built once
// per shape, so per pixel the work is one lookup and one blend.

#include <array>
#include <cstdint>

#include "gfx/affine_transform.h"
#include "gfx/shading.h"

namespace quillmar::gfx {

class SpanCompositor {
public:
    // Prepares for one shape; `toDevice` maps the shading's user space to target pixels.
    // False when there is nothing to paint or the shading cannot be handled here.
    bool prepare(const Shading& shading, double opacity, const AffineTransform& toDevice);
    // Blends columns [from, to) of target row y; `coverage[x]` is the coverage of column x.
    void blendRow(std::uint32_t* row, const std::uint8_t* coverage, int y, int from, int to) const;

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
  // Linear: table position = ta·x + tb·y + tc. Radial: inverse transform and circle.
  double ta_ = 0, tb_ = 0, tc_ = 0;
  AffineTransform inv_;
  double cx_ = 0, cy_ = 0, k_ = 0, off_ = 0;
};

}  // namespace quillmar::gfx
