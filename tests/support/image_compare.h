#pragma once
// Test helpers: probe pixels of a render and compare two images with a tolerance.

#include <string>

#include "gfx/image.h"

namespace quillmar::gfx {

// The pixel at a point given in points (scaled by the image's scale), un-premultiplied.
Color probe(const Image& image, Point atPoints);

// True when every channel of `a` is within `tolerance` (0...1) of `b`'s.
bool colorsClose(const Color& a, const Color& b, double tolerance = 0.02);

struct ImageDifference {
    bool sameSize = false;
    int differingPixels = 0;      // pixels with any channel off by more than the tolerance
    double maxChannelDelta = 0;   // 0...1 over premultiplied channels
    double meanChannelDelta = 0;
    bool matches(double maxFraction = 0.0) const;
    int totalPixels = 0;
};

ImageDifference compareImages(const Image& a, const Image& b, double tolerance = 2.0 / 255.0);

// Bounding box (pixels) of pixels whose alpha exceeds `alphaThreshold`; empty when none.
Rect opaqueBounds(const Image& image, double alphaThreshold = 0.02);

}  // namespace quillmar::gfx
