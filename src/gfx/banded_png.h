#pragma once
// Draws a picture straight to a PNG file a band of rows at a time: only one band's surface
// (and each layer's piece near it) exists at once, so a picture of a whole screen costs a
// fraction of its full surface in memory. The file is byte for byte the one a whole
// RenderTarget of the same size would write, with one exception: an image resampled at a
// fractional scale without a kept tile (over 512 pixels a side, or taken for moving) may differ
// by a level in the rows around a band's edge, as Pixman samples in fixed point from where the
// band's surface starts. `draw` is called once for every band (and all of them again should a
// band turn out to have transparent pixels after earlier ones were written without alpha), so it
// must draw the same each time.

#include <functional>
#include <string>

#include "gfx/graphics_context.h"

namespace quillmar::gfx {

// Rows in a band: at 2,560 pixels wide, 328 kB of surface. A filtered layer's piece also takes
// the blur's reach above and below the band (a window's shadow: some 70 rows each way), so the
// pieces, not the band, are most of the memory; narrower bands cost time for little more.
constexpr int kPngBandRows = 32;

// `size` in points at `scale`, as for RenderTarget. False with `error` set to why (the caller
// names the file) when the file cannot be written.
bool writePngInBands(const std::string& path, Size size, double scale,
                     const std::function<void(GraphicsContext&)>& draw, std::string* error = nullptr,
                     int bandRows = kPngBandRows);

}  // namespace quillmar::gfx
