#pragma once
// Pixel operations on premultiplied ARGB32 buffers that Cairo lacks: a fast separable Gaussian
// blur (three box passes), a saturation change, and a colour tint of the alpha channel.

#include <cstdint>

#include "gfx/color.h"

namespace quillmar::gfx {

// Blurs in place with a Gaussian of standard deviation `sigma` pixels; outside is transparent.
void gaussianBlur(std::uint32_t* data, int width, int height, int strideBytes, double sigma);
// How many pixels away (along either axis) another pixel can still change one of gaussianBlur's
// results, whatever the buffer's size: a buffer cut that far beyond the pixels wanted gives them
// exactly, provided it is cut at a multiple of 8 rows from the whole buffer's top.
int gaussianBlurReach(double sigma);
// How many blurs gaussianBlur has run on this thread: what a drawing spent on blurs, for tests.
std::uint64_t gaussianBlursRun();

// Moves every pixel's colour toward (amount < 1) or away from (amount > 1) its luminance grey.
void adjustSaturation(std::uint32_t* data, int width, int height, int strideBytes, double amount);

// Replaces every pixel's colour by `tint`, keeping the pixel's alpha (times the tint's alpha).
void tintAlpha(std::uint32_t* data, int width, int height, int strideBytes, const Color& tint);

}  // namespace quillmar::gfx
